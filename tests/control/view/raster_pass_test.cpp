// The drawing pass onto a real raster: the pixels a plan's entities leave behind.
#include "control/view/drawing_view.h"

#include <gtest/gtest.h>
#include <platform/headless/headless_screen.h>
#include <platform/posix/cairo_gdi.h>
#include <platform/posix/offscreen_picture_box.h>

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
    std::array<RealRect, 4> zoomStack{};
    platform::HeadlessScreen screen;
    platform::CairoGdi gdi;
    platform::OffscreenPictureBox surface(gdi, 100, 100);
    surface.SetBackColor(Black);
    DrawingView view(database, options, zoomStack, ViewSurfaces{screen, gdi, surface});
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

} // namespace
} // namespace plandra
