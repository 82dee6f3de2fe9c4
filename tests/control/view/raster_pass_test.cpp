// The drawing pass onto a real raster: the pixels a plan's entities leave behind.
// Where bulge arcs bow and texts turn is proven on the recorded calls of the pass and
// by the raster's own arc and text tests.
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

// A 100 x 100 surface on white showing drawing units 0 to 10: pixel x = 10 X,
// pixel y = 100 - 10 Y.
class RasterFixture : public ::testing::Test {
protected:
    RasterFixture() {
        Database.InitDB(true);
        Database.Layers().Add(IntegerTrue, Red, "RED", IntegerFalse, false);
        Database.Extents = RealRect{0, 10, 10, 0};
    }
    template <typename Record> void Add(const Record& record) { Database.Append(record, 50); }
    void Draw() { ASSERT_TRUE(View.ZoomExtents()); }

    DrawingDatabase Database;
    DrawingOptions Options;
    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 100, 100};
    DrawingView View{Database, Options, ViewSurfaces{Screen, Gdi, Surface}};
};

TEST_F(RasterFixture, EntitiesLeaveTheirLayerColoursOnTheSurface) {
    Database.Layers().Add(IntegerTrue, Black, "BLACK", IntegerFalse, false);
    Database.Layers().Add(IntegerFalse, Red, "OFF", IntegerFalse, false);
    Add(LineRec{1, 1, 9, 1, 1, 0, 0}); // pixels (10, 90) to (89, 90)
    Add(LineRec{1, 5, 9, 5, 2, 0, 0}); // black layer on a black surface: white
    Add(LineRec{1, 8, 9, 8, 3, 0, 0}); // switched off
    Add(SolidRec{2, 2, 4, 2, 4, 4, 2, 4, 1, 0});
    Add(PolySegRec{6, 3, 9, 3, 0.5f, 2, 0, 0});
    Add(ArcRec{7, 7, 1, 0, 0, 1, 0, 0});
    Options.BackColor = Black;
    Surface.SetBackColor(Black);
    Draw();
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
        EXPECT_EQ(Surface.Point(c.X, c.Y), static_cast<platform::ColorRef>(c.Color))
            << c.Why << " at " << c.X << ", " << c.Y;
    }
    EXPECT_EQ(Surface.Refreshes(), 1);
}

TEST_F(RasterFixture, FilledAreasFillByTheAlternateRuleSoInnerRingsAreHoles) {
    FillRec fill;
    // A square 1 to 9 holding two square holes (2 to 4 and 6 to 8 across), the second
    // holding an island (6.5 to 7.5).
    auto square = [&](float low, float high) {
        fill.Points.insert(fill.Points.end(), {{low, low}, {high, low}, {high, high}, {low, high}});
        fill.RingSizes.push_back(4);
    };
    square(1, 9);
    square(2, 4);
    square(6, 8);
    square(6.5f, 7.5f);
    fill.LayerID = 1;
    Add(fill);
    Draw();
    const struct {
        int X, Y;
        Long Color;
    } cases[] = {{15, 85, Red}, {30, 70, White}, {50, 50, Red}, {62, 38, White},
                 {70, 30, Red}, {95, 50, White}, {45, 75, Red}};
    for (const auto& c : cases) {
        EXPECT_EQ(Surface.Point(c.X, c.Y), static_cast<platform::ColorRef>(c.Color))
            << c.X << ", " << c.Y;
    }
}

} // namespace
} // namespace plandra
