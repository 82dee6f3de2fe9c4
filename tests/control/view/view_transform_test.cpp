// Fitting a window to the surface and converting between drawing units and pixels.
#include "control/database/control_error.h"
#include "support/control_error_of.h"
#include "view_fixture.h"

#include <cmath>
#include <limits>
#include <optional>
#include <tuple>
#include <utility>

namespace plandra {
namespace {

using platform::MousePointer;

class ViewTransformTest : public test::ViewFixture {
protected:
    ViewTransformTest() {
        Layer = AddLayer(0x000000);
        Add(PointRec{1, 1, Layer, 0});
    }
    Long Layer;
};

TEST_F(ViewTransformTest, WindowGrowsUpOrRightToTheSurfaceShapeKeepingLeftAndBottom) {
    struct Case {
        RealRect Requested;
        double SurfaceWidth, SurfaceHeight;
        RealRect Fitted;
        float PixelsPerUnit;
    };
    const Case cases[] = {
        // Wider than the surface: the height grows from the bottom.
        {{0, 1, 10, 0}, 100, 100, {0, 10, 10, 0}, 10},
        // Same shape: the top stays and the right is worked out from the height.
        {{0, 10, 10, 0}, 100, 100, {0, 10, 10, 0}, 10},
        // Taller than the surface: the width grows to the right.
        {{0, 10, 1, 0}, 100, 100, {0, 10, 10, 0}, 10},
        {{5, 20, 15, 10}, 200, 100, {5, 20, 25, 10}, 10},
        {{-4, 3, 4, -3}, 90, 30, {-4, 3, 14, -3}, 5},
    };
    for (const Case& c : cases) {
        platform::RecordingPictureBox surface(c.SurfaceWidth, c.SurfaceHeight);
        surface.Dc = Surface.Dc;
        DrawingView view(Database, Options, ViewSurfaces{Screen, Gdi, surface});
        EXPECT_TRUE(view.Zoom(c.Requested));
        const ViewTransform& t = view.Transform;
        EXPECT_EQ(std::tuple(t.ViewWindow, t.PixelsPerUnit, t.SurfaceWidth, t.SurfaceHeight,
                             t.ViewOriginX, t.ViewOriginY),
                  std::tuple(c.Fitted, c.PixelsPerUnit, static_cast<Long>(c.SurfaceWidth),
                             static_cast<Long>(c.SurfaceHeight), c.Fitted.Left, c.Fitted.Bottom))
            << c.Requested.Left;
    }
}

TEST_F(ViewTransformTest, PixelConversionsFlipYAndRoundHalfToEven) {
    // Back to drawing units, everything is 0 before the first pass.
    EXPECT_EQ(std::pair(View.Transform.IntToRealX(50), View.Transform.IntToRealY(50)),
              std::pair(0.0f, 0.0f));
    ASSERT_TRUE(View.Zoom({0, 1, 10, 0}));
    const ViewTransform& t = View.Transform;
    EXPECT_EQ(t.CvtX(0), 0);
    EXPECT_EQ(t.CvtY(0), 100); // one row below the last visible row
    EXPECT_EQ(t.CvtX(10), 100);
    EXPECT_EQ(t.CvtY(10), 0);
    EXPECT_EQ(t.CvtX(0.25f), 2);   // 2.5
    EXPECT_EQ(t.CvtX(0.75f), 8);   // 7.5
    EXPECT_EQ(t.CvtY(9.75f), 2);   // 100 - 97.5
    EXPECT_EQ(t.CvtX(-0.25f), -2); // left of the surface is fine
    EXPECT_EQ(t.CvtX(-0.75f), -8); // -7.5
    for (float x : {0.0f, 0.3f, 1.234f, 5.5f, 9.99f}) {
        EXPECT_NEAR(t.IntToRealX(t.CvtX(x)), x, 0.05f) << x;
        EXPECT_NEAR(t.IntToRealY(t.CvtY(x)), x, 0.05f) << x;
    }
    float left, top, right, bottom;
    EXPECT_TRUE(t.GetCurrentZoom(left, top, right, bottom));
    EXPECT_EQ((RealRect{left, top, right, bottom}), (RealRect{0, 10, 10, 0}));
}

TEST_F(ViewTransformTest, ConversionOutsideThe32BitRangeRaisesItsOwnErrorAndResetsThePointer) {
    ASSERT_TRUE(View.Zoom({0, 1, 10, 0}));
    struct Case {
        float X, Y;
        bool ErrorInX;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (Case c :
         {Case{3E8f, 0, true}, Case{nan, 0, true}, Case{0, -3E8f, false}, Case{0, inf, false}}) {
        Screen.SetMousePointer(MousePointer::Hourglass);
        const ControlError error = test::ErrorOf(
            [&] { c.ErrorInX ? View.Transform.CvtX(c.X) : View.Transform.CvtY(c.Y); });
        EXPECT_EQ(std::tuple(error.Number, error.Description),
                  std::tuple(ControlErrorNumber, c.ErrorInX ? "Error in CvtX." : "Error in CvtY."));
        EXPECT_EQ(Screen.GetMousePointer(), MousePointer::Default);
    }
    EXPECT_EQ(View.Transform.CvtX(2E8f), 2000000000);
}

TEST_F(ViewTransformTest, PixelsAtTheEndsOfThe32BitRangeAreRoundedBeforeTheyAreRefused) {
    constexpr float TwoTo31 = 2147483648.0f;
    constexpr Long Max = std::numeric_limits<Long>::max();
    constexpr Long Min = std::numeric_limits<Long>::min();
    struct Case {
        float Origin, X;
        std::optional<Long> Pixel;
    };
    const Case cases[] = {
        {0.75f, TwoTo31, Max},          // 2^31 - 0.75 rounds down into the range
        {0.5f, TwoTo31, std::nullopt},  // 2^31 - 0.5 rounds to the even 2^31
        {0.25f, TwoTo31, std::nullopt}, // 2^31 - 0.25 rounds up out of it
        {-0.25f, -TwoTo31, Min},        // -2^31 + 0.25
        {-0.5f, -TwoTo31, Min},         // -2^31 + 0.5 rounds to the even -2^31
        {0, -TwoTo31, std::nullopt},    // -2^31 itself is refused
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Origin);
        // One pixel per unit; with no surface height, pixel y = ViewOriginY - Y.
        ViewTransform& t = View.Transform;
        t.SetViewTransform(0, c.Origin, -c.Origin, 1, nullptr);
        EXPECT_EQ(t.PixelX(c.X), c.Pixel);
        EXPECT_EQ(t.PixelY(-c.X), c.Pixel);
        // A point is refused when either of its coordinates is.
        std::optional<platform::Point> alongX = t.PixelPoint(c.X, 0);
        std::optional<platform::Point> alongY = t.PixelPoint(0, -c.X);
        EXPECT_EQ(alongX.has_value(), c.Pixel.has_value());
        EXPECT_EQ(alongY.has_value(), c.Pixel.has_value());
        if (c.Pixel && alongX && alongY) {
            EXPECT_EQ(alongX->x, *c.Pixel);
            EXPECT_EQ(alongY->y, *c.Pixel);
        }
    }
}

TEST_F(ViewTransformTest, TestRectangleStartsOnePixelInAndWidensWhenEmpty) {
    struct Case {
        platform::Point A, B;
        platform::Rect Expected;
    };
    constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    const Case cases[] = {
        {{5, 5}, {6, 6}, {4, 4, 6, 6}},
        {{5, 5}, {9, 9}, {6, 6, 9, 9}},
        {{10, 50}, {40, 20}, {11, 51, 40, 20}}, // corners are not put in order
        {{7, 3}, {8, 30}, {6, 4, 8, 30}},
        {{Max, 0}, {Max, 10}, {Max, 1, Max, 10}}, // no wrap to the far side
    };
    for (const Case& c : cases) {
        platform::Rect rect;
        EXPECT_TRUE(ViewTransform::MakeTestRect({c.A, c.B}, rect));
        EXPECT_EQ(rect, c.Expected) << c.A.x << "," << c.A.y;
    }
}

TEST_F(ViewTransformTest, WindowOrSurfaceWithoutWidthOrHeightDrawsNothingAndKeepsTheView) {
    ASSERT_TRUE(View.Zoom({0, 1, 10, 0}));
    for (RealRect window : {RealRect{3, 8, 3, 2}, RealRect{1, 4, 9, 4}, RealRect{2, 2, 2, 2}}) {
        Gdi.Calls.clear();
        Screen.History.clear();
        EXPECT_FALSE(View.Zoom(window));
        EXPECT_TRUE(Gdi.Calls.empty());
        EXPECT_TRUE(Surface.Texts.empty());
        EXPECT_EQ(View.Transform.ViewWindow, (RealRect{0, 10, 10, 0}));
        EXPECT_EQ(View.Transform.PixelsPerUnit, 10);
        EXPECT_EQ(Screen.History,
                  (std::vector<MousePointer>{MousePointer::Hourglass, MousePointer::Default}));
    }
    // Nor does a surface without pixels.
    platform::RecordingPictureBox hidden(0, 0);
    hidden.Dc = Surface.Dc;
    Gdi.Calls.clear();
    DrawingView view(Database, Options, ViewSurfaces{Screen, Gdi, hidden});
    EXPECT_FALSE(view.Zoom({0, 1, 10, 0}));
    EXPECT_EQ(view.Transform.ViewWindow, RealRect{});
    EXPECT_TRUE(hidden.Texts.empty());
    EXPECT_TRUE(Gdi.Calls.empty());
}

TEST_F(ViewTransformTest, ScaleOutOfRangeWritesTheMessageCentredAndKeepsTheMapping) {
    ASSERT_TRUE(View.Zoom({0, 1, 10, 0}));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const RealRect windows[] = {
        {0, 0.00001f, 0.00001f, 0}, // 10,000,000 pixels per unit
        {0, 1E9f, 1E9f, 0},         // 0.0000001 pixels per unit
        {nan, 1, 10, 0},            // NaN from a damaged file
        {0, inf, 10, 0},
        {-1E30f, 1E30f, 1E30f, -1E30f}, // the extents of an empty read
    };
    for (const RealRect& window : windows) {
        Surface.Texts.clear();
        Gdi.Calls.clear();
        EXPECT_FALSE(View.Zoom(window));
        ASSERT_EQ(Surface.Texts.size(), 1u);
        EXPECT_EQ(std::tuple(Surface.Texts[0].Text, Surface.Texts[0].X, Surface.Texts[0].Y),
                  std::tuple("Zoom out of range", (100 - 17 * 8) / 2.0, 50.0));
        EXPECT_TRUE(Gdi.Calls.empty());
        EXPECT_EQ(std::pair(View.Transform.PixelsPerUnit, View.Transform.ViewOriginX),
                  std::pair(10.0f, 0.0f));
        EXPECT_EQ(Screen.GetMousePointer(), MousePointer::Default);
    }
    // The fitted window is kept even when its scale is refused.
    EXPECT_EQ(View.Transform.ViewWindow, (RealRect{-1E30f, 1E30f, 1E30f, -1E30f}));
    // The scale limits themselves are accepted.
    EXPECT_TRUE(View.Zoom({0, 0.0001f, 0.0001f, 0})); // 100 px over 0.0001 units: 1,000,000
    EXPECT_EQ(View.Transform.PixelsPerUnit, 100 / 0.0001f);
    EXPECT_TRUE(View.Zoom({0, 1E8f, 1E8f, 0})); // 0.000001
    EXPECT_EQ(View.Transform.PixelsPerUnit, 100 / 1E8f);
}

} // namespace
} // namespace plandra
