// Zoom, pan, history, scrolling and Find on a control over recording surfaces, with
// a 100 x 100 drawing shown at one pixel per unit.
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "control_fixture.h"
#include "support/temp_file.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace plandra::test {
namespace {

using Call = platform::RecordingPictureBox::Call;
using Shape = platform::RecordingPictureBox::Shape;
constexpr int Invert = platform::drawmode::Invert;

std::string Text(std::string_view layer, std::string_view x, std::string_view y,
                 std::string_view text) {
    return CrLfLines({"0", "TEXT", "8", layer, "10", x, "20", y, "40", "2", "1", text});
}

// Texts 1 to 5: "abc" (A), "  ABC " (B), "Abc" (A), "ab c" (A), "ABC" (B).
std::string SquareDrawing() {
    return CrLfLines({"0", "SECTION", "2",       "HEADER",   "9",   "$EXTMIN", "10",  "0", "20",
                      "0", "9",       "$EXTMAX", "10",       "100", "20",      "100", "0", "ENDSEC",
                      "0", "SECTION", "2",       "ENTITIES", "0",   "LINE",    "8",   "0", "10",
                      "0", "20",      "0",       "11",       "100", "21",      "100"}) +
           Text("A", "10", "10", "abc") + Text("B", "20", "20", "  ABC ") +
           Text("A", "30", "30", "Abc") + Text("A", "40", "40", "ab c") +
           Text("B", "90", "90", "ABC") + CrLfLines({"0", "ENDSEC", "0", "EOF"});
}

class DXFZoomTest : public ::testing::Test {
public:
    DXFZoomTest() : File(SquareDrawing()) { Dxf.InitProperties(); }

    void Show() {
        Dxf.SetFileName(File.Name());
        ASSERT_EQ(Dxf.Regen(dxfMergeNew), -1);
        Host.Surface.Calls.clear();
        Host.Surface.Shapes.clear();
    }
    RealRect Window() const {
        RealRect w;
        Dxf.GetCurrentZoom(w.Left, w.Top, w.Right, w.Bottom);
        return w;
    }
    static void Drag(DXF& dxf, ZoomFunctionEnum function, float x1, float y1, float x2, float y2) {
        dxf.SetZoomFunction(function);
        dxf.ZoomInitiate(x1, y1);
        dxf.ZoomFeedback(x2, y2);
    }
    void Drag(ZoomFunctionEnum function, float x1, float y1, float x2, float y2) {
        Drag(Dxf, function, x1, y1, x2, y2);
    }
    static void ExpectNear(const RealRect& a, const RealRect& b, const char* what) {
        EXPECT_NEAR(a.Left, b.Left, 1E-3) << what;
        EXPECT_NEAR(a.Top, b.Top, 1E-3) << what;
        EXPECT_NEAR(a.Right, b.Right, 1E-3) << what;
        EXPECT_NEAR(a.Bottom, b.Bottom, 1E-3) << what;
    }
    static bool Finite(const RealRect& w) {
        return std::isfinite(w.Left) && std::isfinite(w.Top) && std::isfinite(w.Right) &&
               std::isfinite(w.Bottom);
    }

    HeadlessHost Host;
    TempFile File;
    DXF Dxf{Host.Surfaces(), Host.Host()};
};

TEST_F(DXFZoomTest, BandsAreDrawnAndErasedInInvertModeByFunction) {
    const Shape box1{Call::Box, 10, 10, 20, 30, Invert, false};
    const Shape box2{Call::Box, 10, 10, 40, 50, Invert, false};
    const Shape line1{Call::Line, 10, 10, 20, 30, Invert, false};
    const Shape line2{Call::Line, 10, 10, 40, 50, Invert, false};
    const Shape circle1{Call::Circle, 10, 10, 22, 0, Invert, false};
    const Shape circle2{Call::Circle, 10, 10, 50, 0, Invert, false};
    const struct {
        ZoomFunctionEnum Function;
        std::vector<Shape> Shapes;
    } cases[] = {
        {dxfWindow, {box1, box1, box2}},
        {dxfRedLineRectangle, {box1, box1, box2}},
        {dxfPan, {line1, line1, line2}},
        {dxfRedLineLine, {line1, line1, line2}},
        {dxfRedLineCircle, {circle1, circle1, circle2}},
        {dxfDrillDown, {}},
        {dxfRedLineText, {}},
    };
    for (const auto& c : cases) {
        HeadlessHost host;
        DXF dxf(host.Surfaces(), host.Host());
        Drag(dxf, c.Function, 10.4f, 9.6f, 20, 30);
        EXPECT_FALSE(host.Surface.AutoRedraw()) << c.Function;
        dxf.ZoomFeedback(40, 50);
        EXPECT_EQ(host.Surface.Shapes, c.Shapes) << c.Function;
        EXPECT_EQ(host.Surface.DrawMode(), platform::drawmode::CopyPen);
        EXPECT_TRUE(dxf.Band().ZoomActive);
    }
}

TEST_F(DXFZoomTest, TheLastZoomFunctionSetInTheProcessDecidesTheBandStyle) {
    HeadlessHost otherHost;
    DXF other(otherHost.Surfaces(), otherHost.Host());
    Drag(dxfWindow, 10, 10, 20, 30);
    other.SetZoomFunction(dxfRedLineCircle);
    Dxf.ZoomFeedback(40, 50);
    // The rectangle on the surface goes as it was drawn; the new band is a circle.
    EXPECT_EQ(Host.Surface.Shapes,
              (std::vector<Shape>{{Call::Box, 10, 10, 20, 30, Invert, false},
                                  {Call::Box, 10, 10, 20, 30, Invert, false},
                                  {Call::Circle, 10, 10, 50, 0, Invert, false}}));
}

TEST_F(DXFZoomTest, WindowZoomShowsTheRectangleAndRefusesATinyOne) {
    Show();
    Drag(dxfWindow, 10, 10, 12, 60);
    EXPECT_TRUE(Dxf.ZoomEnd());
    EXPECT_TRUE(Host.Surface.AutoRedraw());
    EXPECT_FALSE(Dxf.Band().ZoomActive);
    EXPECT_TRUE(Host.MessageBox.Boxes.empty());
    ExpectNear(Window(), RealRect{10, 90, 12, 40}, "2 x 50 pixels");
    EXPECT_EQ(Dxf.ZoomHistoryEntries()[0].Left, Window().Left);
    EXPECT_FALSE(Dxf.ZoomEnd()) << "a second release zooms again";

    Dxf.ZoomExtents();
    Drag(dxfWindow, 10, 10, 12, 12);
    EXPECT_FALSE(Dxf.ZoomEnd());
    ASSERT_EQ(Host.MessageBox.Boxes.size(), 1u);
    EXPECT_EQ(Host.MessageBox.Boxes[0].Text,
              "Rectangle selected is too small - please select a larger window");
    EXPECT_EQ(Host.MessageBox.Boxes[0].Caption, "Zoom area");
    EXPECT_EQ(Host.MessageBox.Boxes[0].Type, 48u);
    ExpectNear(Window(), RealRect{0, 100, 100, 0}, "unchanged");
}

TEST_F(DXFZoomTest, FiveZoomsThenFourPreviousWalkBackToTheExtents) {
    Show();
    std::vector<RealRect> shown;
    for (int i = 0; i < 5; ++i) {
        Drag(dxfWindow, 10, 10, 90, 90);
        ASSERT_TRUE(Dxf.ZoomEnd());
        shown.push_back(Window());
    }
    const RealRect expected[] = {shown[3], shown[2], shown[1], RealRect{0, 100, 100, 0}};
    for (const RealRect& window : expected) {
        EXPECT_EQ(Dxf.ZoomPrevious(), IntegerTrue);
        ExpectNear(Window(), window, "after ZoomPrevious");
    }
    for (const RealRect& entry : Dxf.ZoomHistoryEntries()) {
        ExpectNear(entry, RealRect{0, 100, 100, 0}, "history");
    }
}

TEST_F(DXFZoomTest, StationaryZoomKeepsTheDrawingPointUnderTheCursor) {
    const struct {
        float X, Y;
        Integer Button;
        float Width; // of the window after the zoom
    } cases[] = {{50, 50, 1, 50}, {0, 0, 2, 200}, {100, 100, 4, 50}, {25, 75, 0, 50}};
    for (const auto& c : cases) {
        Show();
        const float x = Dxf.IntToRealX(c.X), y = Dxf.IntToRealY(c.Y);
        EXPECT_EQ(Dxf.OnTheSpotZoom(c.X, c.Y, c.Button), IntegerTrue);
        EXPECT_NEAR(Dxf.IntToRealX(c.X), x, 1E-3) << c.X;
        EXPECT_NEAR(Dxf.IntToRealY(c.Y), y, 1E-3) << c.Y;
        EXPECT_NEAR(Window().Right - Window().Left, c.Width, 1E-3) << c.Button;
    }
}

TEST_F(DXFZoomTest, PanMovesTheDrawingWithTheMouse) {
    Show();
    const Long x = Dxf.CvtX(50), y = Dxf.CvtY(50);
    Drag(dxfPan, 20, 20, 30, 20);
    EXPECT_TRUE(Dxf.ZoomEnd());
    EXPECT_EQ(Dxf.CvtX(50), x + 10);
    Drag(dxfPan, 20, 20, 20, 30);
    EXPECT_TRUE(Dxf.ZoomEnd());
    EXPECT_EQ(Dxf.CvtY(50), y + 10);
}

TEST_F(DXFZoomTest, ScrollingMovesTheViewOverTheExtents) {
    Show();
    Dxf.VerticalScroll(10);
    EXPECT_EQ(Dxf.VerticalScroll(20), IntegerTrue);
    ExpectNear(Window(), RealRect{0, 80, 100, -20}, "two steps of a tenth down");
    Dxf.HorizontalScroll(10);
    ExpectNear(Window(), RealRect{10, 80, 110, -20}, "a tenth right");
}

TEST_F(DXFZoomTest, FindWalksTheMatchesAndStartsAgain) {
    Show();
    const Integer layerB = static_cast<Integer>(Dxf.Drawing().Texts[2].LayerID);
    const struct {
        const char* Text;
        Integer Layer;
        Long Found;
    } steps[] = {{"abc", 0, 1},  {"ABC", 0, 2},      {"aBc", 0, 3},      {"abc", 0, 5},
                 {"abc", 0, 1},  {"abc", layerB, 2}, {"abc", layerB, 5}, {"abc", layerB, 2},
                 {"ab c", 0, 4}, {"abc ", 0, 0},     {"", 0, 0},         {"abc", 999, 0}};
    for (const auto& step : steps) {
        std::string text = step.Text;
        EXPECT_EQ(Dxf.Find(text, step.Layer, false), step.Found) << step.Text << step.Layer;
    }
    EXPECT_TRUE(Host.Surface.Calls.empty()) << "no pan was asked for";

    Variant args[] = {std::string("abc"), Integer{0}};
    EXPECT_EQ(Invoke(Dxf, "Find", InvokeKind::Method, args), Variant(Long{1}));
    EXPECT_EQ(args[0], Variant(std::string("ABC")));
    EXPECT_NEAR((Window().Left + Window().Right) / 2, 10, 1E-3);
    EXPECT_NEAR((Window().Top + Window().Bottom) / 2, 10, 1E-3);
    EXPECT_EQ(Host.Screen.GetMousePointer(), platform::MousePointer::Default);
}

// Each bad call: its error (0 for none) and the end of the error's description.
TEST_F(DXFZoomTest, BadInputGivesAResultOrAClearErrorAndKeepsTheViewFinite) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* Name;
        bool Drawn;
        std::function<void(DXF&)> Call;
        std::int32_t Number;
        const char* Description;
    } cases[] = {
        {"scroll above 100", true, [](DXF& d) { d.VerticalScroll(101); }, ControlErrorNumber,
         "Invalid procedure call or argument\r\n ->  VerticalScroll."},
        {"scroll below 0", true, [](DXF& d) { d.HorizontalScroll(-1); }, ControlErrorNumber,
         "Invalid procedure call or argument\r\n ->  HorizontalScroll."},
        {"scroll NaN", true, [&](DXF& d) { d.VerticalScroll(nan); }, ControlErrorNumber,
         "\r\n ->  VerticalScroll."},
        {"percentage 0", false, [](DXF& d) { d.SetOnTheSpotZoomPctLeft(0); }, 380,
         "Invalid property value"},
        {"percentage below 0", false, [](DXF& d) { d.SetOnTheSpotZoomPctRight(-50); }, 380,
         "Invalid property value"},
        {"stationary 0", true, [&](DXF& d) { d.StationaryZoom(5, 5, 0, Host.Surface); },
         ControlErrorNumber, "Invalid procedure call or argument\r\n ->  StationaryZoom."},
        {"NaN cursor", true, [&](DXF& d) { d.OnTheSpotZoom(nan, 5); }, ControlErrorNumber,
         "Overflow\r\n ->  StationaryZoom.\r\n ->  OnTheSpotZoom."},
        {"NaN band point", true, [&](DXF& d) { Drag(d, dxfWindow, 1, 1, nan, 2); },
         ControlErrorNumber, "Overflow\r\n ->  ZoomFeedback."},
        {"feedback without initiate", true, [](DXF& d) { d.ZoomFeedback(5, 5); }, 0, ""},
        {"redline line", true, [&](DXF& d) { Drag(d, dxfRedLineLine, 1, 1, 9, 9), d.ZoomEnd(); },
         ControlErrorNumber,
         "line is not available in this version of the control.\r\n ->  ZoomEnd."},
        {"redline select", true, [&](DXF& d) { Drag(d, dxfRedLineSelect, 1, 1, 9, 9); },
         ControlErrorNumber, "\r\n ->  ZoomInitiate."},
        {"window before drawing", false,
         [&](DXF& d) { Drag(d, dxfWindow, 1, 1, 50, 50), d.ZoomEnd(); }, 0, ""},
        {"pan before drawing", false, [&](DXF& d) { Drag(d, dxfPan, 1, 1, 50, 50), d.ZoomEnd(); },
         0, ""},
        {"drill-down before drawing", false, [](DXF& d) { d.OnTheSpotZoom(5, 5, 2); }, 0, ""},
        {"previous before drawing", false, [](DXF& d) { d.ZoomPrevious(); }, 0, ""},
        {"scroll before drawing", false, [](DXF& d) { d.VerticalScroll(50); }, 0, ""},
    };
    for (const auto& c : cases) {
        HeadlessHost host;
        DXF dxf(host.Surfaces(), host.Host());
        dxf.InitProperties();
        if (c.Drawn) {
            dxf.SetFileName(File.Name());
            ASSERT_EQ(dxf.Regen(dxfMergeNew), -1);
        }
        RealRect before;
        dxf.GetCurrentZoom(before.Left, before.Top, before.Right, before.Bottom);
        std::int32_t number = 0;
        std::string description;
        try {
            c.Call(dxf);
        } catch (const ControlError& error) {
            number = error.Number;
            description = error.Description;
        }
        EXPECT_EQ(number, c.Number) << c.Name;
        EXPECT_TRUE(description.ends_with(c.Description)) << c.Name << ": " << description;
        RealRect after;
        dxf.GetCurrentZoom(after.Left, after.Top, after.Right, after.Bottom);
        EXPECT_TRUE(Finite(after)) << c.Name;
        if (c.Number != 0) {
            ExpectNear(after, before, c.Name);
        }
        EXPECT_EQ(host.Surface.Shapes.size() % 2, 0u) << c.Name << ": a band is left";
        EXPECT_EQ(host.Screen.GetMousePointer(), platform::MousePointer::Default) << c.Name;
    }
}

} // namespace
} // namespace plandra::test
