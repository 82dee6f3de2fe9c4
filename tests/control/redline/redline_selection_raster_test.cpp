// The control's redline members on a real raster: a click must land on a pixel of the
// entity's colour, the handles go to the corners of its test rectangle, and texts take
// the default height and pixel positions through the view.
#include "control/interface/control_fixture.h"
#include "control/view/text_painting.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <array>
#include <gtest/gtest.h>

namespace plandra::test {
namespace {

// 100 x 100 pixels showing drawing units 0 to 100: a circle of radius 10 around
// (50, 50) and a text at (20, 20), both on a red layer.
class RedlineOnRaster : public ::testing::Test {
protected:
    RedlineOnRaster() {
        Dxf.InitProperties();
        Dxf.Layers()->Add(IntegerTrue, 0x0000FF, "RED", IntegerFalse, true);
        Dxf.DXFAddCircle(50, 50, 60, 50, "RED");
        Dxf.DXFAddText(20, 20, "Mark", "RED", dxfRealWorld, 10.0);
        Dxf.ShowWindow(RealRect{0, 100, 100, 0});
        Dxf.SetZoomFunction(dxfRedLineSelect);
    }
    // Where each handle's corner is: handles are 7 pixels wide, so 4 right and down.
    std::array<int, 8> HandleCorners() const {
        std::array<int, 8> corners{};
        for (int i = 0; i < 4; ++i) {
            corners[2 * i] = Host.Handles[i].Left() + 4;
            corners[2 * i + 1] = Host.Handles[i].Top() + 4;
        }
        return corners;
    }

    HeadlessHost Host;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 100, 100}, StatusBar{Gdi, 100, 20};
    DXF Dxf{DXFSurfaces{Host.Screen, Gdi, Surface, Host.SurfaceWindow, StatusBar,
                        Host.StatusBarWindow, Host.Surfaces().picHandle},
            Host.Host()};
};

TEST_F(RedlineOnRaster, HandlesSurroundASelectedCircleAndText) {
    // The circle's box runs from pixel (40, 40) to (60, 60); its white centre selects
    // nothing, its rightmost pixel selects it.
    EXPECT_TRUE(Dxf.ZoomInitiate(50, 50));
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNone);
    EXPECT_TRUE(Dxf.ZoomInitiate(59, 50));
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNewCircle);
    EXPECT_EQ(HandleCorners(), (std::array{41, 41, 60, 41, 41, 60, 60, 60}));

    // The text's box: from its insertion pixel (20, 80) by its measured size, upward.
    std::string error;
    Long width = 0, height = 0;
    ASSERT_TRUE(GetStringDimensions(error, Surface, "Mark", 10, width, height));
    int x = 21, y = 80;
    while (Surface.Point(x, y) != 0x0000FF && ++x < 20 + width) {
        y = 80 - (x % height);
    }
    EXPECT_TRUE(Dxf.ZoomInitiate(static_cast<float>(x), static_cast<float>(y)));
    EXPECT_EQ(Dxf.GetRedlineEntitySelected(), Variant(Long{1}));
    EXPECT_EQ(HandleCorners(),
              (std::array{21, 81, 20 + width, 81, 21, 80 - height, 20 + width, 80 - height}));

    // A redraw hides the handles and keeps the selection.
    Dxf.DXFRefresh();
    EXPECT_FALSE(Host.Handles[0].Visible());
    EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNewText);
}

TEST_F(RedlineOnRaster, DefaultHeightPixelPointAndDeletingWithoutASelection) {
    Dxf.SetRedlineTextHeight(2.5f);
    const TextRec& text = Dxf.Drawing().Texts[Dxf.DXFAddText(30, 40, "P", "RED", dxfPixel)];
    EXPECT_EQ((std::array{text.X, text.Y, text.Height}), (std::array{30.f, 60.f, 2.5f}));
    // Nothing is marked, yet the surface is drawn again.
    std::string strError = "old";
    Surface.Cls();
    EXPECT_TRUE(Dxf.RedlineDeleteEntity(strError));
    EXPECT_EQ(strError + std::to_string(Surface.Point(59, 50)), std::to_string(0x0000FF));
}

} // namespace
} // namespace plandra::test
