// Selecting redline markup on a real raster: the click must land on a pixel of the
// entity's colour, and the handles go to the corners of the entity's test rectangle.
#include "control/interface/dxf_control.h"
#include "control/view/text_painting.h"
#include "platform/headless/headless_child_window.h"
#include "platform/headless/headless_message_box.h"
#include "platform/headless/headless_registry.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/headless_shell.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

struct RunningContainer final : ControlContainer {
    bool UserMode() const override { return true; }
    void PropertyChanged(std::string_view) override {}
};

// A 100 x 100 raster showing drawing units 0 to 100, a circle of radius 10 around
// (50, 50) and a text at (20, 20), both on a red layer.
class RedlineSelection : public ::testing::Test {
protected:
    RedlineSelection() {
        Dxf.InitProperties();
        Dxf.Layers()->Add(IntegerTrue, 0x0000FF, "RED", IntegerFalse, true);
        Dxf.DXFAddCircle(50, 50, 60, 50, "RED");
        Dxf.DXFAddText(20, 20, "Mark", "RED", dxfRealWorld, 10.0);
        Dxf.ShowWindow(RealRect{0, 100, 100, 0});
        Dxf.SetZoomFunction(dxfRedLineSelect);
    }
    // Where handle i stands: 7 pixels wide, so 4 to the left of and above its corner.
    std::array<int, 8> HandlePlaces() const {
        std::array<int, 8> places{};
        for (int i = 0; i < 4; ++i) {
            places[2 * i] = Handles[i].Left() + 4;
            places[2 * i + 1] = Handles[i].Top() + 4;
        }
        return places;
    }

    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 100, 100};
    platform::OffscreenPictureBox StatusBar{Gdi, 100, 20};
    platform::HeadlessChildWindow SurfaceWindow{100, 100}, StatusBarWindow{100, 20, false};
    platform::HeadlessChildWindow Handles[4] = {
        {7, 7, false}, {7, 7, false}, {7, 7, false}, {7, 7, false}};
    RunningContainer Container;
    platform::ScriptedDialogs Dialogs;
    platform::HeadlessMessageBox MessageBox;
    platform::HeadlessRegistry Registry;
    platform::HeadlessShell Shell;
    DXF Dxf{DXFSurfaces{Screen,
                        Gdi,
                        Surface,
                        SurfaceWindow,
                        StatusBar,
                        StatusBarWindow,
                        {&Handles[0], &Handles[1], &Handles[2], &Handles[3]}},
            DXFHost{Container, nullptr, Dialogs, MessageBox, Registry, Shell}};
};

TEST_F(RedlineSelection, HandlesSurroundASelectedCircleAndText) {
    // The circle's box runs from pixel (40, 40) to (60, 60); its test rectangle starts one
    // pixel in. Its centre is white: no selection there.
    EXPECT_TRUE(Dxf.ZoomInitiate(50, 50));
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNone);
    EXPECT_TRUE(Dxf.ZoomInitiate(59, 50));
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNewCircle);
    EXPECT_EQ(HandlePlaces(), (std::array{41, 41, 60, 41, 41, 60, 60, 60}));
    EXPECT_TRUE(Handles[3].Visible());

    // The text's box: from its insertion pixel (20, 80) by its measured size, up.
    std::string error;
    Long width = 0, height = 0;
    ASSERT_TRUE(GetStringDimensions(error, Surface, "Mark", 10, width, height));
    int x = 21, y = 80;
    while (Surface.Point(x, y) != 0x0000FF && ++x < 20 + width) {
        y = 80 - (x % height);
    }
    EXPECT_TRUE(Dxf.ZoomInitiate(static_cast<float>(x), static_cast<float>(y)));
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNewText);
    EXPECT_EQ(HandlePlaces(), (std::array{21, 81, 20 + width, 81, 21, 80 - height, 20 + width,
                                          80 - height}));

    // A redraw hides the handles and keeps the selection.
    Dxf.DXFRefresh();
    EXPECT_FALSE(Handles[0].Visible());
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNewText);
}

} // namespace
} // namespace plandra
