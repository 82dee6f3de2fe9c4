// The rubber band's recorded calls and bad zoom input that scripts cannot write (NaN,
// the internal stationary zoom) on a control over recording surfaces; the zoom, pan,
// history, scrolling and Find scenarios run as plandra scripts in tests/apps/scenarios.
#include "control/interface/dxf_control.h"
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

// A 100 x 100 drawing shown at one pixel per unit.
std::string SquareDrawing() {
    return CrLfLines({"0",  "SECTION", "2",  "HEADER",  "9",  "$EXTMIN",  "10", "0",
                      "20", "0",       "9",  "$EXTMAX", "10", "100",      "20", "100",
                      "0",  "ENDSEC",  "0",  "SECTION", "2",  "ENTITIES", "0",  "LINE",
                      "8",  "0",       "10", "0",       "20", "0",        "11", "100",
                      "21", "100",     "0",  "ENDSEC",  "0",  "EOF"});
}

class DXFZoomTest : public ::testing::Test {
public:
    DXFZoomTest() : File(SquareDrawing()) { Dxf.InitProperties(); }

    static void Drag(DXF& dxf, ZoomFunctionEnum function, float x1, float y1, float x2, float y2) {
        dxf.SetZoomFunction(function);
        dxf.ZoomInitiate(x1, y1);
        dxf.ZoomFeedback(x2, y2);
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
    Drag(Dxf, dxfWindow, 10, 10, 20, 30);
    other.SetZoomFunction(dxfRedLineCircle);
    Dxf.ZoomFeedback(40, 50);
    // The rectangle on the surface goes as it was drawn; the new band is a circle.
    EXPECT_EQ(Host.Surface.Shapes,
              (std::vector<Shape>{{Call::Box, 10, 10, 20, 30, Invert, false},
                                  {Call::Box, 10, 10, 20, 30, Invert, false},
                                  {Call::Circle, 10, 10, 50, 0, Invert, false}}));
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
        {"scroll NaN", true, [&](DXF& d) { d.VerticalScroll(nan); }, ControlErrorNumber,
         "\r\n ->  VerticalScroll."},
        {"stationary 0", true, [&](DXF& d) { d.StationaryZoom(5, 5, 0, Host.Surface); },
         ControlErrorNumber, "Invalid procedure call or argument\r\n ->  StationaryZoom."},
        {"NaN cursor", true, [&](DXF& d) { d.OnTheSpotZoom(nan, 5); }, ControlErrorNumber,
         "Overflow\r\n ->  StationaryZoom.\r\n ->  OnTheSpotZoom."},
        {"NaN band point", true, [&](DXF& d) { Drag(d, dxfWindow, 1, 1, nan, 2); },
         ControlErrorNumber, "Overflow\r\n ->  ZoomFeedback."},
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
            EXPECT_EQ(after, before) << c.Name;
        }
        EXPECT_EQ(host.Surface.Shapes.size() % 2, 0u) << c.Name << ": a band is left";
        EXPECT_EQ(host.Screen.GetMousePointer(), platform::MousePointer::Default) << c.Name;
    }
}

} // namespace
} // namespace plandra::test
