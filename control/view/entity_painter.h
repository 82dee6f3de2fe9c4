// Draws one entity of the sequence list with GDI calls, as the drawing pass does.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "control/database/layer_lookup.h"
#include "platform/gdi.h"
#include "platform/picture_box.h"
#include "view_transform.h"

#include <cstdint>
#include <vector>

namespace plandra {

/// Draws entities onto one device context with the transform of the current pass.
/// Entities on switched-off layers, deleted records and entities whose pixel
/// coordinates leave the 32-bit range are skipped; bulge arcs whose pixels leave the
/// 16-bit range are skipped too. Texts are measured on the measuring surface.
class EntityPainter {
public:
    EntityPainter(platform::GdiService& gdi, platform::HDC dc, const ViewTransform& transform,
                  platform::HRGN viewRegion, const DrawingDatabase& database,
                  const DrawingOptions& options, platform::PictureBox* measureSurface = nullptr);

    /// Draws the entity one sequence entry names; entries of unknown kinds are skipped.
    void Draw(const SeqEntry& entry);

private:
    void DrawLine(const LineRec& line);
    void DrawPolySeg(const PolySegRec& segment);
    void DrawArc(const ArcRec& arc);
    void DrawEllipse(const EllipseRec& ellipse);
    void DrawSolid(const SolidRec& solid);
    void DrawPoint(const PointRec& point);
    void DrawFill(const FillRec& fill);
    void BulgeDraw(const PolySegRec& segment);
    /// Texts and attributes alike.
    template <typename Record> void DrawText(const Record& record);

    /// The visibility test: the test rectangle of two pixel corners against ViewRegion.
    /// Inline: every entity but a point takes it.
    bool IsVisible(platform::Point corner1, platform::Point corner2) {
        platform::Rect rect;
        ViewTransform::MakeTestRect({corner1, corner2}, rect);
        return Gdi.RectInRegion(ViewRegion, rect);
    }
    /// A line with its own pen, made and deleted around it.
    void StraightLine(platform::Point from, platform::Point to, int style, int width,
                      platform::ColorRef color);
    bool IsOn(Long layerID) const {
        if (layerID >= 1 && layerID < static_cast<Long>(Layers.size())) {
            return Layers[static_cast<std::size_t>(layerID)].On;
        }
        return LayerIsOn(Database, layerID);
    }
    platform::ColorRef Color(Long layerID, Long entityColor) const;

    /// The cosine and sine of an arc end's angle in degrees. Drawings repeat a few end
    /// angles over and over, so the last angle's are kept rather than worked out again.
    class ArcEndDirection {
    public:
        struct Direction {
            double Cos = 0;
            double Sin = 0;
        };
        const Direction& Of(float degrees);

    private:
        /// The angle's bits, so that a kept direction is exactly the one computed.
        std::uint32_t DegreesBits = 0;
        bool Known = false;
        Direction Last;
    };

    platform::GdiService& Gdi;
    platform::HDC Dc;
    const ViewTransform& Transform;
    platform::HRGN ViewRegion;
    const DrawingDatabase& Database;
    const DrawingOptions& Options;
    /// Where texts are measured for the visibility test; without one a text's test
    /// box is its insertion pixel.
    platform::PictureBox* MeasureSurface;

    struct LayerPaint {
        bool On = false;
        platform::ColorRef Color = 0;
    };
    /// Each layer's switch and colour by layer ID, read once for the pass: the layers
    /// do not change while it runs, and a million lookups through the collection cost
    /// more than the drawing of small entities. Index 0 is unused.
    std::vector<LayerPaint> Layers;
    /// The pixels of the filled area being drawn, kept for the next one.
    std::vector<platform::Point> FillPixels;
    ArcEndDirection StartDirections;
    ArcEndDirection EndDirections;
};

} // namespace plandra
