// The drawing pass as GDI calls: per-kind call sequences, visibility, colours, layers,
// bad coordinates, progress refreshes and the redraw entry points.
#include "control/database/control_error.h"
#include "support/control_error_of.h"
#include "view_fixture.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <tuple>
#include <variant>

namespace plandra {
namespace {

using platform::MousePointer;
using Calls = std::vector<std::string>;

constexpr Long Red = 0x0000FF;
constexpr Long Green = 0x00FF00;
constexpr Long Black = 0x000000;
constexpr Long White = 0xFFFFFF;

// A 100 x 100 pixel surface showing drawing units 0 to 10 in both directions: pixel
// x = 10 X, pixel y = 100 - 10 Y.
constexpr RealRect TenByTen{0, 10, 10, 0};

class DrawingPassTest : public test::ViewFixture {
protected:
    Long Layer = AddLayer(Red);
};

TEST_F(DrawingPassTest, LineIsTestedAgainstTheSurfaceThenDrawnWithItsOwnPen) {
    Add(LineRec{1, 2, 4, 8, Layer, 0, 2});
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(Gdi.Calls, (Calls{
                             "CreateRectRgn(0, 0, 100, 100) -> rgn1",
                             "RectInRegion(rgn1, 11, 81, 40, 20)",
                             "CreatePen(2, 1, 0x0000FF) -> pen1",
                             "SelectObject(dc1, pen1) -> blackpen",
                             "MoveToEx(dc1, 10, 80)",
                             "LineTo(dc1, 40, 20)",
                             "SelectObject(dc1, blackpen) -> pen1",
                             "DeleteObject(pen1)",
                             "DeleteObject(rgn1)",
                         }));
}

TEST_F(DrawingPassTest, EachKindIsDrawnWithItsCallSequence) {
    struct Case {
        const char* Name;
        std::variant<PolySegRec, ArcRec, EllipseRec, SolidRec, PointRec>
            Entity; ///< on layer 0: the test sets it
        Calls Expected;
    };
    auto pen = [](const std::string& create, const std::string& draw) {
        return Calls{create, "SelectObject(dc1, pen1) -> blackpen", draw,
                     "SelectObject(dc1, blackpen) -> pen1", "DeleteObject(pen1)"};
    };
    auto line = [&pen](const std::string& create, const std::string& to) {
        Calls calls = pen(create, "MoveToEx(dc1, 10, 90)");
        calls.insert(calls.begin() + 3, to);
        return calls;
    };
    const Case cases[] = {
        {"segment of width 0.5 at 10 pixels per unit", PolySegRec{1, 1, 9, 1, 0.5f, 0, 0, 0},
         line("CreatePen(0, 5, 0x0000FF) -> pen1", "LineTo(dc1, 90, 90)")},
        {"segment of width 0", PolySegRec{1, 1, 9, 1, 0, 0, 0, 0},
         line("CreatePen(0, 1, 0x0000FF) -> pen1", "LineTo(dc1, 90, 90)")},
        {"segment wider than 16 bits of pixels", PolySegRec{1, 1, 9, 1, 1E6f, 0, 0, 0},
         line("CreatePen(0, 32767, 0x0000FF) -> pen1", "LineTo(dc1, 90, 90)")},
        {"bulged segment: one arc with a solid pen of width 1, whatever its width",
         PolySegRec{1, 1, 9, 1, 0.5f, 0, 0, 0.5f},
         pen("CreatePen(0, 1, 0x0000FF) -> pen1", "Arc(dc1, 0, 10, 100, 110, 10, 90, 90, 90)")},
        {"circle", ArcRec{5, 5, 2, 30, 30, 0, 0, 1},
         pen("CreatePen(1, 1, 0x0000FF) -> pen1", "Ellipse(dc1, 30, 30, 70, 70)")},
        {"arc, counter-clockwise from start to end", ArcRec{5, 5, 2, 0, 90, 0, 0, 3},
         pen("CreatePen(3, 1, 0x0000FF) -> pen1", "Arc(dc1, 30, 30, 70, 70, 70, 50, 50, 30)")},
        {"ellipse along X", EllipseRec{5, 5, 3, 0, 0.5f, 0, 0, 0, 0, 4},
         pen("CreatePen(4, 1, 0x0000FF) -> pen1", "Ellipse(dc1, 20, 35, 80, 65)")},
        {"ellipse along Y", EllipseRec{5, 5, 0, -2, 0.5f, 0, 0, 0, 0, 0},
         pen("CreatePen(0, 1, 0x0000FF) -> pen1", "Ellipse(dc1, 40, 30, 60, 70)")},
        {"slanted ellipse, as wide as twice the X part of its axis",
         EllipseRec{5, 5, 3, 4, 0.5f, 0, 1, 0, 0, 0},
         pen("CreatePen(0, 1, 0x0000FF) -> pen1", "Ellipse(dc1, 20, 35, 80, 65)")},
        {"solid", SolidRec{1, 1, 3, 1, 3, 3, 1, 3, 0, 0},
         Calls{"Polygon(dc1, 10, 90, 30, 90, 30, 70, 10, 70)",
               "CreateSolidBrush(0x0000FF) -> brush1", "SelectObject(dc1, brush1) -> whitebrush",
               "CreatePolygonRgn(10, 90, 30, 90, 30, 70, 10, 70, 1) -> rgn2",
               "FillRgn(dc1, rgn2, brush1)", "DeleteObject(rgn2)",
               "SelectObject(dc1, whitebrush) -> brush1", "DeleteObject(brush1)"}},
        {"point", PointRec{2, 3, 0, 0}, Calls{"SetPixel(dc1, 20, 70, 0x0000FF)"}},
        {"arc with both ends on one pixel", ArcRec{5, 5, 0.01f, 0, 90, 0, 0, 0}, Calls{}},
        {"a tiny circle is drawn", ArcRec{5, 5, 0.01f, 0, 0, 0, 0, 0},
         pen("CreatePen(0, 1, 0x0000FF) -> pen1", "Ellipse(dc1, 50, 50, 50, 50)")},
        {"circle below the surface", ArcRec{5, -20, 3, 0, 0, 0, 0, 0}, Calls{}},
        {"ellipse left of it", EllipseRec{-20, 5, 2, 0, 1, 0, 0, 0, 0, 0}, Calls{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Layer = Restart(Red);
        std::visit(
            [&](auto entity) {
                entity.LayerID = Layer;
                Add(entity);
            },
            c.Entity);
        EXPECT_TRUE(View.Zoom(TenByTen));
        EXPECT_EQ(DrawingCalls(), c.Expected);
        EXPECT_EQ(Gdi.LiveObjects(), 0);
    }
}

TEST_F(DrawingPassTest, ArcsOfOnePassEndOnTheirOwnAnglesWhetherRepeatedOrNot) {
    const float angles[][2] = {{0, 90}, {90, 180}, {0, 180}, {0, 90}, {180, 0}, {180, 0}};
    for (const auto& [start, end] : angles) {
        Add(ArcRec{5, 5, 2, start, end, Layer, 0, 0});
    }
    EXPECT_TRUE(View.Zoom(TenByTen));
    Calls arcs;
    std::ranges::copy_if(DrawingCalls(), std::back_inserter(arcs),
                         [](const std::string& call) { return call.starts_with("Arc("); });
    EXPECT_EQ(arcs, (Calls{
                        "Arc(dc1, 30, 30, 70, 70, 70, 50, 50, 30)",
                        "Arc(dc1, 30, 30, 70, 70, 50, 30, 30, 50)",
                        "Arc(dc1, 30, 30, 70, 70, 70, 50, 30, 50)",
                        "Arc(dc1, 30, 30, 70, 70, 70, 50, 50, 30)",
                        "Arc(dc1, 30, 30, 70, 70, 30, 50, 70, 50)",
                        "Arc(dc1, 30, 30, 70, 70, 30, 50, 70, 50)",
                    }));
}

TEST_F(DrawingPassTest, SwitchedOffLayerHidesEveryKindAndDeletedRecordsAreSkipped) {
    Long off = AddLayer(Green, false);
    Add(LineRec{1, 1, 2, 2, off, 0, 0});
    Add(PolySegRec{1, 1, 2, 2, 0, off, 0, 0});
    Add(PolySegRec{2, 5, 8, 5, 0, off, 0, 1}); // a bulge arc
    Add(ArcRec{5, 5, 1, 0, 0, off, 0, 0});
    Add(ArcRec{5, 5, 1, 0, 90, off, 0, 0});
    Add(EllipseRec{5, 5, 1, 0, 1, 0, 0, off, 0, 0});
    Add(SolidRec{1, 1, 2, 1, 2, 2, 1, 2, off, 0});
    Add(PointRec{1, 1, off, 0});
    Add(LineRec{1, 1, 2, 2, Layer, 0, 0, IntegerFalse, IntegerTrue});
    Add(ArcRec{5, 5, 1, 0, 0, Layer, 0, 0, IntegerFalse, IntegerTrue});
    Add(ArcRec{5, 5, 1, 0, 90, Layer, 0, 0, IntegerFalse, IntegerTrue});
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(), Calls{});
}

TEST_F(DrawingPassTest, ColourComesFromTheLayerWithBlackAndWhiteSwappedAgainstTheBackground) {
    struct Case {
        bool PrintAllBlack;
        Long BackColor, LayerColor, Drawn;
    };
    const Case cases[] = {
        {true, White, Red, Black},    {true, Black, White, Black},     {false, Black, Black, White},
        {false, White, White, Black}, {false, Black, White, White},    {false, White, Black, Black},
        {false, White, Red, Red},     {false, 0x808080, Black, Black},
    };
    for (const Case& c : cases) {
        Options.PrintAllBlack = c.PrintAllBlack;
        Options.BackColor = c.BackColor;
        // The record's own colour takes no part.
        Add(PointRec{1, 1, Restart(c.LayerColor), Green});
        EXPECT_TRUE(View.Zoom(TenByTen));
        char expected[64];
        std::snprintf(expected, sizeof expected, "SetPixel(dc1, 10, 90, 0x%06X)",
                      static_cast<unsigned>(c.Drawn));
        EXPECT_EQ(DrawingCalls(), Calls{expected});
    }
}

TEST_F(DrawingPassTest, LinesOutsideTheSurfaceMakeNoPenAndLinesAcrossItAreDrawnWhole) {
    Add(LineRec{20, 1, 30, 2, Layer, 0, 0}); // right of the surface
    Add(LineRec{-5, 5, 15, 5, Layer, 0, 0}); // across it
    EXPECT_TRUE(View.Zoom(TenByTen));
    Calls drawn = DrawingCalls();
    ASSERT_EQ(drawn.size(), 6u);
    EXPECT_EQ(drawn[2], "MoveToEx(dc1, -50, 50)");
    EXPECT_EQ(drawn[3], "LineTo(dc1, 150, 50)");
}

TEST_F(DrawingPassTest, EntityBeyondThe32BitPixelRangeOrNotANumberIsSkippedAndThePassGoesOn) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Add(LineRec{3E8f, 1, 1, 1, Layer, 0, 0});
    Add(LineRec{1, nan, 1, 1, Layer, 0, 0});
    Add(ArcRec{5, 5, 3E9f, 0, 0, Layer, 0, 0});
    Add(ArcRec{5, 5, 1, nan, 90, Layer, 0, 0});
    Add(EllipseRec{inf, 5, 1, 0, 1, 0, 0, Layer, 0, 0});
    Add(EllipseRec{5, 5, 1, 0, nan, 0, 0, Layer, 0, 0});
    Add(SolidRec{1, 1, -inf, 1, 2, 2, 1, 2, Layer, 0});
    Add(PointRec{1E30f, 1, Layer, 0});
    Add(PolySegRec{1, 1, 1, 1E30f, 0, Layer, 0, 0});
    Add(PointRec{1, 1, Layer, 0});
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(), Calls{"SetPixel(dc1, 10, 90, 0x0000FF)"});
    EXPECT_EQ(Gdi.LiveObjects(), 0);
}

TEST_F(DrawingPassTest, FailedPenDrawsWithTheCurrentPenAndDeletesNothing) {
    Gdi.FailCreatePen = true;
    Add(LineRec{1, 1, 2, 1, Layer, 0, 0});
    EXPECT_TRUE(View.Zoom(TenByTen));
    EXPECT_EQ(DrawingCalls(), (Calls{"CreatePen(0, 1, 0x0000FF) -> null", "MoveToEx(dc1, 10, 90)",
                                     "LineTo(dc1, 20, 90)"}));
}

TEST_F(DrawingPassTest, SurfaceIsShownAfterEveryFurther500thPartOfTheDrawing) {
    struct Case {
        int Entities;
        long RefreshesDuringPass;
    };
    for (Case c : {Case{1200, 2}, Case{1000, 2}, Case{499, 0}, Case{5000, 10}}) {
        Layer = Restart(Red);
        View.Transform.ViewWindow = RealRect{};
        for (int i = 0; i < c.Entities; ++i) {
            Add(PointRec{1, 1, Layer, 0});
        }
        Surface.Calls.clear();
        EXPECT_EQ(View.DXFRefresh(), IntegerFalse); // no window yet: nothing drawn
        Surface.Calls.clear();
        View.Transform.ViewWindow = TenByTen;
        EXPECT_EQ(View.DXFRefresh(), IntegerTrue);
        auto refreshes = std::count(Surface.Calls.begin(), Surface.Calls.end(),
                                    platform::RecordingPictureBox::Call::Refresh);
        EXPECT_EQ(refreshes, c.RefreshesDuringPass + 1) << c.Entities;
        EXPECT_EQ(Surface.Calls.back(), platform::RecordingPictureBox::Call::Refresh);
    }
}

TEST_F(DrawingPassTest, EmptyDatabaseDrawsNothingOnAnyRedraw) {
    Database.InitDB(true);
    EXPECT_FALSE(View.Zoom(TenByTen));
    EXPECT_FALSE(View.ZoomExtents());
    EXPECT_EQ(View.DXFRefresh(), IntegerFalse);
    std::string error = "untouched";
    EXPECT_TRUE(View.Refresh(error));
    EXPECT_EQ(error, "");
    EXPECT_TRUE(Gdi.Calls.empty());
    EXPECT_EQ(Screen.GetMousePointer(), MousePointer::Default);
}

TEST_F(DrawingPassTest, ErrorInThePassCarriesItsTrailAndLeavesNothingBehind) {
    Add(PointRec{1, 1, Layer, 0});
    Add(LineRec{1, 1, 2, 2, 7, 0, 0}); // a layer the host has removed
    const ControlError error = test::ErrorOf([&] { View.Zoom(TenByTen); });
    EXPECT_EQ(std::tuple(error.Number, error.Description),
              std::tuple(ControlErrorNumber, "Invalid procedure call or argument\r\n ->  Zoom."));
    EXPECT_EQ(Screen.History,
              (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
    EXPECT_EQ(Gdi.LiveObjects(), 0);
    EXPECT_EQ(Gdi.Calls.back(), "DeleteObject(rgn1)");

    std::string message;
    View.Transform.ViewWindow = TenByTen;
    Database.Extents = TenByTen;
    EXPECT_FALSE(View.Refresh(message));
    EXPECT_EQ(message, "Error in DXF.Refresh. The error is: Invalid procedure call or "
                       "argument\r\n ->  Zoom.");
    EXPECT_EQ(test::ErrorOf([&] { View.ZoomExtents(); }).Description,
              "Invalid procedure call or argument\r\n ->  Zoom.\r\n ->  ZoomExtents.");
    EXPECT_EQ(Screen.GetMousePointer(), MousePointer::Default);
}

TEST_F(DrawingPassTest, RedrawEntryPointsPrepareTheSurfaceAndShowItAtTheEnd) {
    using Call = platform::RecordingPictureBox::Call;
    Add(PointRec{1, 1, Layer, 0});
    Add(PointRec{9, 9, Layer, 0});
    Database.Extents = RealRect{1, 9, 9, 1};
    Surface.SetScaleMode(platform::scale::Points);

    EXPECT_TRUE(View.ZoomExtents());
    EXPECT_EQ(Surface.Calls, (std::vector<Call>{Call::ZOrder, Call::Cls, Call::Refresh}));
    EXPECT_EQ(Surface.ScaleMode(), platform::scale::Pixels);
    EXPECT_TRUE(Surface.AutoRedraw());
    EXPECT_EQ(View.Transform.ViewWindow, (RealRect{1, 9, 9, 1}));

    Surface.Calls.clear();
    EXPECT_EQ(View.DXFRefresh(), IntegerTrue);
    EXPECT_EQ(Surface.Calls, (std::vector<Call>{Call::Cls, Call::Refresh}));

    Surface.Calls.clear();
    std::string error;
    EXPECT_TRUE(View.Refresh(error));
    EXPECT_EQ(Surface.Calls, (std::vector<Call>{Call::ZOrder, Call::Cls, Call::Refresh}));
    EXPECT_EQ(Screen.GetMousePointer(), MousePointer::Default);
}

} // namespace
} // namespace plandra
