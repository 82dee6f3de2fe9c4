// The drawing pass onto a real raster: the pixels a plan's entities leave behind.
#include "control/view/drawing_view.h"
#include "platform/headless/headless_screen.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

constexpr Long Red = 0x0000FF;
constexpr Long Black = 0x000000;
constexpr Long White = 0xFFFFFF;

TEST(RasterPass, EntitiesLeaveTheirLayerColoursOnTheSurface) {
    DrawingDatabase database;
    database.InitDB(true);
    database.Layers().Add(IntegerTrue, Red, "RED", IntegerFalse, false);
    database.Layers().Add(IntegerTrue, Black, "BLACK", IntegerFalse, false);
    database.Layers().Add(IntegerFalse, Red, "OFF", IntegerFalse, false);
    auto line = [&](LineRec rec) {
        database.AppendEntity(EntityKind::Line, database.Lines, database.LineCount, rec, 50);
    };
    line({1, 1, 9, 1, 1, 0, 0}); // pixels (10, 90) to (89, 90)
    line({1, 5, 9, 5, 2, 0, 0}); // black layer on a black surface: white
    line({1, 8, 9, 8, 3, 0, 0}); // switched off
    database.AppendEntity(EntityKind::Solid, database.Solids, database.SolidCount,
                          SolidRec{2, 2, 4, 2, 4, 4, 2, 4, 1, 0}, 10);
    database.AppendEntity(EntityKind::PolySeg, database.PolySegs, database.PolySegCount,
                          PolySegRec{6, 3, 9, 3, 0.5f, 2, 0, 0}, 50);
    database.AppendEntity(EntityKind::Arc, database.Arcs, database.ArcCount,
                          ArcRec{7, 7, 1, 0, 0, 1, 0, 0}, 10);
    database.Extents = RealRect{0, 10, 10, 0};

    DrawingOptions options;
    options.BackColor = Black;
    platform::HeadlessScreen screen;
    platform::CairoGdi gdi;
    platform::OffscreenPictureBox surface(gdi, 100, 100);
    surface.SetBackColor(Black);
    DrawingView view(database, options, ViewSurfaces{screen, gdi, surface});
    ASSERT_TRUE(view.ZoomExtents());

    struct Case {
        int X, Y;
        Long Color;
        const char* Why;
    };
    const Case cases[] = {
        {10, 90, Red, "line start"},
        {89, 90, Red, "line's last pixel"},
        {90, 90, Black, "line end is left out"},
        {50, 50, White, "black layer on black drawn white"},
        {50, 20, Black, "switched-off layer"},
        {30, 70, Red, "inside the solid"},
        {75, 68, White, "5-pixel-wide segment, two rows up"},
        {75, 72, White, "5-pixel-wide segment, two rows down"},
        {75, 74, Black, "beside the wide segment"},
        {60, 30, Red, "circle's left"},
        {70, 20, Red, "circle's top"},
        {70, 30, Black, "inside the circle: the surface does not fill shapes"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(surface.Point(c.X, c.Y), static_cast<platform::ColorRef>(c.Color))
            << c.Why << " at " << c.X << ", " << c.Y;
    }
    EXPECT_EQ(surface.Refreshes(), 1);
}

// A 100 x 100 surface on white showing drawing units 0 to 10: pixel x = 10 X,
// pixel y = 100 - 10 Y.
class RasterFixture : public ::testing::Test {
protected:
    RasterFixture() {
        Database.InitDB(true);
        Database.Layers().Add(IntegerTrue, Red, "RED", IntegerFalse, false);
        Database.Extents = RealRect{0, 10, 10, 0};
    }
    void Draw() { ASSERT_TRUE(View.ZoomExtents()); }
    /// How many pixels of the rectangle (right and bottom included) are red.
    int RedPixels(int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                count += Surface.Point(x, y) == static_cast<platform::ColorRef>(Red);
            }
        }
        return count;
    }

    DrawingDatabase Database;
    DrawingOptions Options;
    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 100, 100};
    DrawingView View{Database, Options, ViewSurfaces{Screen, Gdi, Surface}};
};

TEST_F(RasterFixture, BulgeArcsBowToTheSideTheirSignGives) {
    struct Case {
        PolySegRec Segment;
        int InkX, InkY;     ///< on the arc
        int EmptyX, EmptyY; ///< where the opposite half circle would be
        const char* Why;
    };
    const Case cases[] = {
        {{2, 5, 8, 5, 0, 1, 0, 1}, 50, 80, 50, 20, "bulge 1: below the chord"},
        {{2, 5, 8, 5, 0, 1, 0, -1}, 50, 20, 50, 80, "bulge -1: above the chord"},
        {{5, 2, 5, 8, 0, 1, 0, 1}, 80, 50, 20, 50, "vertical chord upward, bulge 1: right"},
        {{5, 8, 5, 2, 0, 1, 0, 1}, 20, 50, 80, 50, "vertical chord downward, bulge 1: left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Why);
        Database.PolySegCount = 0;
        Database.SeqCount = 0;
        Database.AppendEntity(EntityKind::PolySeg, Database.PolySegs, Database.PolySegCount,
                              c.Segment, 50);
        Draw();
        EXPECT_GT(RedPixels(c.InkX - 1, c.InkY - 1, c.InkX + 1, c.InkY + 1), 0);
        EXPECT_EQ(RedPixels(c.EmptyX - 3, c.EmptyY - 3, c.EmptyX + 3, c.EmptyY + 3), 0);
    }
}

TEST_F(RasterFixture, TextsStandOnTheirBaselineAndTurnCounterClockwise) {
    struct Case {
        float Rotation;
        Long Align;
        int InkLeft, InkTop, InkRight, InkBottom; ///< where the letters are
        const char* Why;
    };
    // "HH" 2 units (20 pixels) high at pixel (50, 50).
    const Case cases[] = {
        {0, 0, 50, 30, 99, 50, "left-aligned: right of and above the point"},
        {0, 2, 0, 30, 50, 50, "right-aligned: left of it"},
        {90, 0, 30, 0, 50, 50, "turned a quarter: upward, letters to the left"},
        {180, 0, 0, 50, 50, 70, "turned half round: leftward, letters below"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Why);
        Database.TextCount = 0;
        Database.SeqCount = 0;
        TextRec text;
        text.X = 5;
        text.Y = 5;
        text.Text.Assign("HH");
        text.Height = 2;
        text.Rotation = c.Rotation;
        text.HorzAlign = c.Align;
        text.LayerID = 1;
        text.FontName.Assign("Arial");
        text.FontScalar = 1;
        Database.AppendEntity(EntityKind::Text, Database.Texts, Database.TextCount, text, 50);
        Draw();
        int inside = RedPixels(c.InkLeft, c.InkTop, c.InkRight, c.InkBottom);
        EXPECT_GT(inside, 40);
        EXPECT_EQ(RedPixels(0, 0, 99, 99), inside) << "ink outside the expected box";
    }
}

} // namespace
} // namespace plandra
