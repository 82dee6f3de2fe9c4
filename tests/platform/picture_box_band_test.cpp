// Line and Circle in invert mode on the picture box that draws pixels: drawn twice,
// every pixel is back as it was.
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#if defined(_WIN32)
#include "platform/win32/win32_picture_box.h"
using BoxGdi = platform::Win32Gdi;
std::unique_ptr<platform::PictureBox> MakeBox(BoxGdi& gdi, int width, int height) {
    return std::make_unique<platform::Win32PictureBox>(gdi, nullptr, width, height);
}
#else
#include "platform/posix/offscreen_picture_box.h"
using BoxGdi = platform::CairoGdi;
std::unique_ptr<platform::PictureBox> MakeBox(BoxGdi& gdi, int width, int height) {
    return std::make_unique<platform::OffscreenPictureBox>(gdi, width, height);
}
#endif

namespace {

constexpr int Width = 64;
constexpr int Height = 48;

std::vector<platform::ColorRef> Pixels(platform::PictureBox& box) {
    std::vector<platform::ColorRef> pixels;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            pixels.push_back(box.Point(x, y));
        }
    }
    return pixels;
}

TEST(PictureBoxBand, InvertedShapesDrawnTwiceRestoreEveryPixel) {
    BoxGdi gdi;
    auto box = MakeBox(gdi, Width, Height);
    // Stripes of colour under the shapes, so that inverting shows on every pixel.
    for (int x = 0; x < Width; x += 8) {
        box->FillBox(x, 0, x + 3, Height - 1, platform::Rgb(x * 4, 200 - x, 90));
    }
    const std::vector<platform::ColorRef> before = Pixels(*box);
    struct Shape {
        const char* Name;
        double X1, Y1, X2, Y2; // a circle's radius in X2
        int Kind;              // 0 line, 1 box, 2 circle
    };
    const Shape shapes[] = {
        {"line", 3, 5, 50, 40, 0},          {"box", 10, 40, 55, 4, 1},
        {"flat box", 5, 20, 60, 20, 1},     {"thin box", 7, 3, 7, 30, 1},
        {"dot box", 9, 9, 9, 9, 1},         {"circle", 30, 24, 15, 0, 2},
        {"clipped circle", 2, 2, 40, 0, 2}, {"box over the edge", -5, -5, 40, 30, 1},
    };
    for (const Shape& shape : shapes) {
        box->SetDrawMode(platform::drawmode::Invert);
        auto draw = [&] {
            if (shape.Kind == 2) {
                box->Circle(shape.X1, shape.Y1, shape.X2, 0);
            } else {
                box->Line(shape.X1, shape.Y1, shape.X2, shape.Y2, 0, shape.Kind == 1);
            }
        };
        draw();
        EXPECT_NE(Pixels(*box), before) << shape.Name << " drew nothing";
        draw();
        EXPECT_EQ(Pixels(*box), before) << shape.Name;
    }
    EXPECT_EQ(box->DrawMode(), platform::drawmode::Invert);
}

} // namespace
