// GDI32 through the pass-through: the test scenes drawn into a memory device context
// give the same pixels as the cairo raster.
#include "gdi_test_scene.h"
#include "platform/gdi_objects.h"
#include "platform/win32/win32_gdi.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Win32Gdi, TestScenesHaveTheSamePixelsAndLettersAsTheRaster) {
    Win32Gdi gdi;
    auto dc = OwnDc(gdi, gdi.CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    auto bitmap =
        OwnObject(gdi, gdi.CreateDIBSection(dc.Get(), test::SceneWidth, test::SceneHeight));
    ASSERT_TRUE(bitmap);
    HGDIOBJ old = gdi.SelectObject(dc.Get(), bitmap.Get());
    test::DrawTestScene(gdi, dc.Get());
    for (const test::ExpectedPixel& pixel : test::TestSceneExpectations()) {
        EXPECT_EQ(gdi.GetPixel(dc.Get(), pixel.X, pixel.Y), pixel.Color)
            << pixel.Why << " at " << pixel.X << ", " << pixel.Y;
    }
    EXPECT_EQ(gdi.GetPixel(dc.Get(), test::SceneWidth, 0), ClrInvalid);
    EXPECT_EQ(test::TextSceneFailures(gdi, dc.Get()), std::vector<std::string>{});

    auto region = OwnObject(gdi, gdi.CreateRectRgn(0, 0, 100, 50));
    EXPECT_TRUE(gdi.RectInRegion(region.Get(), Rect{50, 60, 60, 49}));
    EXPECT_FALSE(gdi.RectInRegion(region.Get(), Rect{100, 10, 120, 20}));
    gdi.SelectObject(dc.Get(), old);
}

} // namespace
} // namespace platform
