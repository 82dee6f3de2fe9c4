// The DXF reader: one forward pass over a file's lines into the drawing database.
#pragma once

#include "control/database/control_error.h"
#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "dxf_line_source.h"

#include <platform/message_box.h>
#include <platform/picture_box.h>
#include <platform/screen.h>

#include <array>
#include <optional>
#include <string>

namespace plandra {

/// The surfaces and screen a read reports on.
struct ReaderSurfaces {
    platform::Screen& Screen;
    /// Shows the progress bar while reading; may be null.
    platform::PictureBox* StatusBar = nullptr;
    /// The drawing surface, cleared when an entity reader fails; may be null.
    platform::PictureBox* DrawingSurface = nullptr;
    /// Shows the reader's warnings, such as a polyline without vertices; may be null.
    platform::MessageBoxService* MessageBox = nullptr;
};

/// Reads DXF files into a database. Every failure is raised as a ControlError whose
/// description carries the trail of the procedures it passed through.
class DxfReader {
public:
    DxfReader(DrawingDatabase& database, DrawingOptions& options,
              std::array<RealRect, 4>& prevZoomStack, ReaderSurfaces surfaces);

    /// Reads `FileName` into the database. Returns the last entity reader's result:
    /// True normally, False when a reader stopped the read.
    bool LoadDXF(const std::string& FileName);

    /// True when some line of the file, trimmed of blanks, is "SECTION". Starts the
    /// test with the line the last read left behind.
    bool MakeSureFileIsDXF(const std::string& FileName);

private:
    bool ReadLines();
    void ShowProgress();
    void FinishRead();
    bool ActOnLine();

    bool LoadEntity();
    bool DXFMinExtents();
    bool DXFMaxExtents();
    bool DXFNewLayer();
    bool DXFLine();
    bool DXFPoint();
    bool DXFCircle();
    bool DXFEllipse();
    bool DXFSolid();
    bool DXF3DFace();
    bool DXFPoly();
    bool DXFText(std::string_view EntityName);
    bool DXFAttrib();
    bool DXFAttDef();

    /// Group 50, or for fit-aligned texts the slope from the insertion point to the
    /// alignment point (groups 11, 21) in degrees.
    float FitRotation(Long horzAlign, float x, float y) const;
    /// The face name and height factor the font map gives the text style of group 7.
    void MapFont(FixedString<20>& fontName, float& fontScalar) const;

    /// Reads the entity's groups and runs the reader's work under its name in the
    /// error trail; a failure also clears the drawing surface.
    template <typename Work>
    bool EntityReader(std::string_view name, Work&& work);
    void ClearAfterFailure();

    float Coordinate(Long code) const;
    Long EntityColor(Long layerID) const;
    void ResetPointer();

    DrawingDatabase& Database;
    DrawingOptions& Options;
    std::array<RealRect, 4>& PrevZoomStack;
    ReaderSurfaces Surfaces;

    std::optional<DxfLineSource> Source;
    bool LayerTableSeen = false;
    float NextStep = 0;
    float StepSize = 0;
};

template <typename Work>
bool DxfReader::EntityReader(std::string_view name, Work&& work) {
    return WithErrorTrail(name, [this] { ClearAfterFailure(); }, [&] {
        LoadEntity();
        work();
        return true;
    });
}

} // namespace plandra
