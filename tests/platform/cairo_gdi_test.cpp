// The cairo raster device context: GDI's pixel rules, clipping of far-away shapes,
// object lifetimes, and the offscreen picture box.
#include "gdi_test_scene.h"
#include "platform/gdi_objects.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace platform {
namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Black = 0;

// Each kind of object has its own handle; all of them pass where any object does.
static_assert(!std::is_convertible_v<HPEN, HBRUSH> && !std::is_convertible_v<HRGN, HBRUSH> &&
              !std::is_convertible_v<HBRUSH, HRGN> && !std::is_convertible_v<HGDIOBJ, HPEN>);
static_assert(std::is_convertible_v<HPEN, HGDIOBJ> && std::is_convertible_v<HFONT, HGDIOBJ> &&
              std::is_convertible_v<HBITMAP, HGDIOBJ>);

// A memory device context with a bitmap of its own, cleared to white.
class RasterFixture : public ::testing::Test {
protected:
    explicit RasterFixture(int width = 64, int height = 64)
        : Bitmap(OwnObject(Gdi, Gdi.CreateDIBSection(nullptr, width, height))),
          Dc(OwnDc(Gdi, Gdi.CreateCompatibleDC(nullptr))), Width(width), Height(height) {
        Old = Gdi.SelectObject(Dc.Get(), Bitmap.Get());
        Clear();
    }
    ~RasterFixture() override { Gdi.SelectObject(Dc.Get(), Old); }

    void Clear() {
        auto white = OwnObject(Gdi, Gdi.CreateSolidBrush(White));
        Gdi.FillRect(Dc.Get(), Rect{0, 0, Width, Height}, white.Get());
    }

    void Line(Point from, Point to, int style = ps::Solid) {
        ScopedSelection pen(Gdi, Dc.Get(), OwnObject(Gdi, Gdi.CreatePen(style, 1, Black)));
        Gdi.MoveToEx(Dc.Get(), from.x, from.y, nullptr);
        Gdi.LineTo(Dc.Get(), to.x, to.y);
    }

    /// The image as rows split by '/', each cut after its last ink, the rows after the last
    /// ink left out: '#' black, 'o' any other colour.
    std::string Rows() {
        std::string rows;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const ColorRef pixel = Gdi.GetPixel(Dc.Get(), x, y);
                rows += pixel == Black ? '#' : pixel == White ? '.' : 'o';
            }
            rows.erase(rows.find_last_not_of('.') + 1);
            rows += '/';
        }
        return rows.erase(rows.find_last_not_of('/') + 1);
    }

    std::set<std::pair<int, int>> BlackPixels() {
        std::set<std::pair<int, int>> pixels;
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                if (Gdi.GetPixel(Dc.Get(), x, y) == Black) {
                    pixels.insert({x, y});
                }
            }
        }
        return pixels;
    }

    CairoGdi Gdi;
    UniqueGdiObject<HBITMAP> Bitmap;
    UniqueDeviceContext Dc;
    HGDIOBJ Old = nullptr;
    int Width, Height;
};

class CairoGdiTest : public RasterFixture {};

TEST_F(CairoGdiTest, TestScenesHaveGdisPixelsAndLetters) {
    // The scenes need 80 x 80 pixels: a service of their own beside the fixture's,
    // which also proves that one service going leaves the other's cairo whole.
    CairoGdi gdi;
    auto bitmap =
        OwnObject(gdi, gdi.CreateDIBSection(nullptr, test::SceneWidth, test::SceneHeight));
    auto dc = OwnDc(gdi, gdi.CreateCompatibleDC(nullptr));
    HGDIOBJ old = gdi.SelectObject(dc.Get(), bitmap.Get());
    test::DrawTestScene(gdi, dc.Get());
    for (const test::ExpectedPixel& pixel : test::TestSceneExpectations()) {
        EXPECT_EQ(gdi.GetPixel(dc.Get(), pixel.X, pixel.Y), pixel.Color)
            << pixel.Why << " at " << pixel.X << ", " << pixel.Y;
    }
    EXPECT_EQ(test::TextSceneFailures(gdi, dc.Get()), std::vector<std::string>{});
    gdi.SelectObject(dc.Get(), old);
}

// Every step of a line, unclipped, by the rule the raster uses.
std::set<std::pair<int, int>> ReferenceLine(Point from, Point to, int width, int height) {
    std::set<std::pair<int, int>> pixels;
    long long dx = to.x - from.x, dy = to.y - from.y;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    long long steps = xMajor ? std::llabs(dx) : std::llabs(dy);
    long long minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const long long tie = (xMajor ? dy : dx) >= 0 ? 1 : 0;
    for (long long i = 0; i < steps; ++i) {
        long long offset = (2 * i * minor + steps - tie) / (2 * steps);
        long long x, y;
        if (xMajor) {
            x = from.x + (dx > 0 ? i : -i);
            y = from.y + (dy >= 0 ? offset : -offset);
        } else {
            y = from.y + (dy > 0 ? i : -i);
            x = from.x + (dx >= 0 ? offset : -offset);
        }
        if (x >= 0 && y >= 0 && x < width && y < height) {
            pixels.insert({static_cast<int>(x), static_cast<int>(y)});
        }
    }
    return pixels;
}

TEST_F(CairoGdiTest, LinesCutToTheImageKeepEveryPixelOfTheWholeLine) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-150, 210);
    for (int i = 0; i < 400; ++i) {
        Point from{coordinate(random), coordinate(random)};
        Point to{coordinate(random), coordinate(random)};
        Clear();
        Line(from, to);
        ASSERT_EQ(BlackPixels(), ReferenceLine(from, to, Width, Height))
            << from.x << "," << from.y << " to " << to.x << "," << to.y;
    }
}

TEST_F(CairoGdiTest, LinePixelsHalfwayBetweenTwoRowsTakeTheSmallerCoordinateAsGdiDoes) {
    // Distances of each step from the major axis, as real GDI draws these lines.
    const struct {
        Point Delta;
        std::vector<int> Offsets;
    } cases[] = {
        {{10, 5}, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}},  {{10, -5}, {0, 1, 1, 2, 2, 3, 3, 4, 4, 5}},
        {{-10, 5}, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}}, {{-10, -5}, {0, 1, 1, 2, 2, 3, 3, 4, 4, 5}},
        {{5, 10}, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}},  {{5, -10}, {0, 0, 1, 1, 2, 2, 3, 3, 4, 4}},
        {{-5, 10}, {0, 1, 1, 2, 2, 3, 3, 4, 4, 5}}, {{-5, -10}, {0, 1, 1, 2, 2, 3, 3, 4, 4, 5}},
    };
    const Point start{30, 30};
    for (const auto& c : cases) {
        Clear();
        Line(start, Point{start.x + c.Delta.x, start.y + c.Delta.y});
        const bool xMajor = std::abs(c.Delta.x) > std::abs(c.Delta.y);
        std::set<std::pair<int, int>> expected;
        for (int i = 0; i < 10; ++i) {
            const int major = (xMajor ? c.Delta.x : c.Delta.y) > 0 ? i : -i;
            const int minor = (xMajor ? c.Delta.y : c.Delta.x) > 0 ? c.Offsets[i] : -c.Offsets[i];
            expected.insert(xMajor ? std::pair{start.x + major, start.y + minor}
                                   : std::pair{start.x + minor, start.y + major});
        }
        EXPECT_EQ(BlackPixels(), expected) << c.Delta.x << "," << c.Delta.y;
    }
}

TEST_F(CairoGdiTest, FarShapesDrawTheSamePixelsEitherSideOf2To28) {
    // Lines and polygon edges are clipped in 64 bits up to 2^28 and in 128 bits beyond:
    // a row, a diagonal and a triangle reaching just inside, just outside and far outside
    // that bound cover the same pixels of the image; a line right of the image draws none.
    std::vector<std::set<std::pair<int, int>>> lines;
    std::vector<std::set<std::pair<int, int>>> triangles;
    for (int far : {(1 << 28) - 1, (1 << 28) + 1, 2000000000}) {
        Clear();
        Line({-far, 10}, {far, 10});
        Line({-far, -far}, {far, far});
        Line({far, -far}, {far - 5, far});
        lines.push_back(BlackPixels());
        Clear();
        const std::array<Point, 3> triangle = {{{-far, -far}, {far, far}, {-far, far}}};
        auto black = OwnObject(Gdi, Gdi.CreateSolidBrush(Black));
        auto region = OwnObject(Gdi, Gdi.CreatePolygonRgn(triangle, Alternate));
        Gdi.FillRgn(Dc.Get(), region.Get(), black.Get());
        triangles.push_back(BlackPixels());
    }
    for (int x = 0; x < Width; ++x) {
        EXPECT_TRUE(lines[0].contains({x, 10}) && lines[0].contains({x, x})) << x;
    }
    EXPECT_EQ(lines[0].size(), static_cast<std::size_t>(2 * Width - 1));
    EXPECT_GT(triangles[0].size(), static_cast<std::size_t>(Width));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], lines[0]) << i;
        EXPECT_EQ(triangles[i], triangles[0]) << i;
    }
}

TEST_F(CairoGdiTest, EllipsesOfAnySizeAndCornerOrderDrawTheSameOutline) {
    ScopedSelection pen(Gdi, Dc.Get(), OwnObject(Gdi, Gdi.CreatePen(ps::Solid, 1, Black)));
    Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::NullBrush));
    Gdi.Ellipse(Dc.Get(), 10, 10, 31, 41);
    auto forward = BlackPixels();
    Clear();
    Gdi.Ellipse(Dc.Get(), 31, 41, 10, 10);
    EXPECT_EQ(BlackPixels(), forward);
    Clear();
    // A circle around the whole image (and far beyond it) leaves it untouched.
    Gdi.Ellipse(Dc.Get(), -2000000000, -2000000000, 2000000000, 2000000000);
    Gdi.Ellipse(Dc.Get(), 5, 5, 5, 30); // no width: nothing
    Gdi.Ellipse(Dc.Get(), 3, 4, 4, 5);  // one pixel: nothing, as GDI
    EXPECT_TRUE(BlackPixels().empty());
}

TEST_F(CairoGdiTest, EllipseAndArcOutlinesTakeTheGdiPixels) {
    ScopedSelection pen(Gdi, Dc.Get(), OwnObject(Gdi, Gdi.CreatePen(ps::Solid, 1, Black)));
    Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::NullBrush));
    // What GDI draws in boxes from (0, 0), rows split by '/': odd, even and flat boxes,
    // and arcs counter-clockwise from the start ray up to the pixel before the end ray's.
    const struct {
        int Right, Bottom;
        std::vector<Point> Arc; ///< Empty for Ellipse.
        std::string Rows;
    } cases[] = {
        {5, 5, {}, ".###/#...#/#...#/#...#/.###"},
        {9,
         9,
         {},
         "...###/.##...##/.#.....#/#.......#/#.......#/#.......#/.#.....#/.##...##/...###"},
        {2, 3, {}, "##/##/##"},
        {8, 3, {}, "..####/##....##/..####"},
        {5, 5, {{9, 2}, {-4, 2}}, ".###/....#/....#"},
        {6, 6, {{3, -5}, {3, 11}}, "..##/.#/#/#/.#/..#"},
        {10,
         8,
         {{0, 0}, {0, 0}},
         "...####/.#.....##/#........#/#........#/#........#/#........#/.##....##/...####"},
    };
    for (const auto& c : cases) {
        Clear();
        if (c.Arc.empty()) {
            Gdi.Ellipse(Dc.Get(), 0, 0, c.Right, c.Bottom);
        } else {
            Gdi.Arc(Dc.Get(), 0, 0, c.Right, c.Bottom, c.Arc[0].x, c.Arc[0].y, c.Arc[1].x,
                    c.Arc[1].y);
        }
        EXPECT_EQ(Rows(), c.Rows) << c.Right << "x" << c.Bottom << " " << c.Arc.size();
    }
}

TEST_F(CairoGdiTest, HugeEllipsesAndArcsAreTracedRowByRowOnTheImage) {
    // A circle of radius 100,000 whose leftmost point is (10, 32): on the image its
    // outline is column 10 and its inside everything right of it. The arc runs
    // counter-clockwise from the ray through (10, 0) to the ray through (10, 32), both
    // included.
    constexpr int R = 100000;
    const Rect box{10, 32 - R, 10 + 2 * R, 32 + R};
    auto draw = [&](int style, bool arc) {
        Clear();
        ScopedSelection pen(Gdi, Dc.Get(), OwnObject(Gdi, Gdi.CreatePen(style, 1, Black)));
        if (arc) {
            Gdi.Arc(Dc.Get(), box.left, box.top, box.right, box.bottom, 10, 0, 10, 32);
        } else {
            Gdi.Ellipse(Dc.Get(), box.left, box.top, box.right, box.bottom);
        }
        return BlackPixels();
    };
    auto column = [](int from, int to) {
        std::set<std::pair<int, int>> pixels;
        for (int y = from; y <= to; ++y) {
            pixels.insert({10, y});
        }
        return pixels;
    };
    Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::NullBrush));
    EXPECT_EQ(draw(ps::Solid, false), column(0, Height - 1));
    EXPECT_EQ(draw(ps::Solid, true), column(0, 32));
    for (bool arc : {false, true}) {
        auto dashed = draw(ps::Dash, arc);
        auto solid = draw(ps::Solid, arc);
        EXPECT_TRUE(std::includes(solid.begin(), solid.end(), dashed.begin(), dashed.end()));
        EXPECT_GT(dashed.size(), 0u);
        EXPECT_LT(dashed.size(), solid.size());
    }
    auto black = OwnObject(Gdi, Gdi.CreateSolidBrush(Black));
    Gdi.SelectObject(Dc.Get(), black.Get());
    EXPECT_EQ(draw(ps::Null, false).size(), static_cast<std::size_t>((Width - 10) * Height));
}

TEST_F(CairoGdiTest, FarPolygonAndRegionsFillOnlyWhatIsInside) {
    constexpr int Far = 2000000000;
    const std::array<Point, 4> huge = {{{-Far, -Far}, {Far, -Far}, {Far, Far}, {-Far, Far}}};
    auto black = OwnObject(Gdi, Gdi.CreateSolidBrush(Black));
    auto region = OwnObject(Gdi, Gdi.CreatePolygonRgn(huge, Alternate));
    Gdi.FillRgn(Dc.Get(), region.Get(), black.Get());
    EXPECT_EQ(BlackPixels().size(), static_cast<std::size_t>(Width * Height));
}

TEST_F(CairoGdiTest, PolygonFillsTakeTheGdiPixels) {
    const auto black = static_cast<HBRUSH>(Gdi.GetStockObject(stock::BlackBrush));
    Gdi.SelectObject(Dc.Get(), black);
    // What GDI draws, '#' brush, 'o' pen, by a polygon region's fill mode or, where it is
    // 0, by Polygon with the pen style: a ring with a hole joined to it both ways (as
    // hatches are drawn), a self-crossing star by each rule, and thin shapes whose edges
    // cross rows between pixels.
    const struct {
        int FillMode, PenStyle;
        std::vector<Point> Corners;
        std::string Rows;
    } cases[] = {
        {Alternate,
         ps::Null,
         {{0, 0}, {12, 0}, {12, 10}, {0, 10}, {0, 0}, {4, 2}, {7, 4}, {4, 8}, {4, 2}, {0, 0}},
         "############/############/############/####..######/####...#####/####...#####/"
         "####..######/####.#######/############/############"},
        {Alternate,
         ps::Null,
         {{5, 0}, {9, 9}, {0, 3}, {10, 3}, {1, 9}},
         "/.....#/.....#/####...###/..##...##/.......#/...##.##/..##..###/..#.....#"},
        {Winding,
         ps::Null,
         {{5, 0}, {9, 9}, {0, 3}, {10, 3}, {1, 9}},
         "/.....#/.....#/##########/..#######/...#####/...#####/..##..###/..#.....#"},
        {0, ps::Null, {{4, 7}, {1, 0}, {6, 7}, {2, 4}, {3, 2}}, "//..#//..#/....#/.....#"},
        {0,
         ps::Solid,
         {{9, 3}, {7, 8}, {6, 5}, {7, 9}},
         "///.........o/.........o/......o.o/......o.o/......ooo/.......o/.......o"},
    };
    for (const auto& c : cases) {
        Clear();
        ScopedSelection pen(Gdi, Dc.Get(),
                            OwnObject(Gdi, Gdi.CreatePen(c.PenStyle, 1, Rgb(128, 128, 128))));
        if (c.FillMode != 0) {
            auto region = OwnObject(Gdi, Gdi.CreatePolygonRgn(c.Corners, c.FillMode));
            Gdi.FillRgn(Dc.Get(), region.Get(), black);
        } else {
            Gdi.Polygon(Dc.Get(), c.Corners);
        }
        EXPECT_EQ(Rows(), c.Rows) << c.FillMode << " " << c.Corners.size();
    }
}

TEST_F(CairoGdiTest, RectInRegionTakesCornersInEitherOrderAndExcludesTouchingEdges) {
    auto region = OwnObject(Gdi, Gdi.CreateRectRgn(0, 0, 100, 50));
    struct Case {
        Rect Tested;
        bool Inside;
    };
    const Case cases[] = {
        {{10, 10, 20, 20}, true},    {{20, 20, 10, 10}, true}, {{-10, -10, 1, 1}, true},
        {{100, 10, 120, 20}, false}, {{-5, 10, 0, 20}, false}, {{10, 50, 20, 60}, false},
        {{50, 60, 60, 49}, true},    {{5, 5, 5, 5}, true},     {{-3, 80, 200, -40}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Gdi.RectInRegion(region.Get(), c.Tested), c.Inside)
            << c.Tested.left << "," << c.Tested.top << "," << c.Tested.right << ","
            << c.Tested.bottom;
    }
}

TEST_F(CairoGdiTest, PixelsAndQueriesAnswerLikeGdi) {
    EXPECT_EQ(Gdi.SetPixel(Dc.Get(), 3, 4, Rgb(1, 2, 3)), Rgb(1, 2, 3));
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 3, 4), Rgb(1, 2, 3));
    EXPECT_EQ(Gdi.SetPixel(Dc.Get(), -1, 4, Black), ClrInvalid);
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 64, 0), ClrInvalid);
    EXPECT_EQ(Gdi.GetDeviceCaps(Dc.Get(), caps::HorzRes), 64);
    EXPECT_EQ(Gdi.GetDeviceCaps(Dc.Get(), caps::LogPixelsY), 96);
    EXPECT_EQ(Gdi.SetROP2(Dc.Get(), r2::Not), r2::CopyPen);
    Line({0, 1}, {10, 1}); // R2_NOT inverts whatever is there
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 4, 1), Black);
    Line({0, 1}, {10, 1});
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 4, 1), White);
    EXPECT_EQ(Gdi.SetROP2(Dc.Get(), r2::CopyPen), r2::Not);
    EXPECT_EQ(Gdi.SetROP2(Dc.Get(), 0), 0);
}

TEST_F(CairoGdiTest, ObjectDeletedWhileSelectedLivesUntilItIsDeselected) {
    HPEN pen = Gdi.CreatePen(ps::Solid, 1, Black);
    HGDIOBJ old = Gdi.SelectObject(Dc.Get(), pen);
    EXPECT_TRUE(Gdi.DeleteObject(pen));
    Gdi.MoveToEx(Dc.Get(), 0, 0, nullptr);
    EXPECT_TRUE(Gdi.LineTo(Dc.Get(), 5, 0)); // still drawing with it
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 4, 0), Black);
    EXPECT_EQ(Gdi.SelectObject(Dc.Get(), old), pen); // freed now (the leak checker sees it)
    EXPECT_TRUE(Gdi.DeleteObject(Gdi.GetStockObject(stock::BlackPen)));
    // A bitmap is selected into one device context at a time.
    auto other = OwnDc(Gdi, Gdi.CreateCompatibleDC(nullptr));
    EXPECT_EQ(Gdi.SelectObject(other.Get(), Bitmap.Get()), nullptr);
}

TEST_F(CairoGdiTest, ObjectsMadeAgainAfterDeletionKeepNothingOfTheirPast) {
    // A pen freed when it is deselected goes back only once, however often the one
    // made from it is selected again.
    HPEN pen = Gdi.CreatePen(ps::Solid, 1, Black);
    HGDIOBJ old = Gdi.SelectObject(Dc.Get(), pen);
    Gdi.DeleteObject(pen);
    Gdi.SelectObject(Dc.Get(), old);
    auto again = OwnObject(Gdi, Gdi.CreatePen(ps::Dot, 1, Black));
    Gdi.SelectObject(Dc.Get(), Gdi.SelectObject(Dc.Get(), again.Get()));
    auto other = OwnObject(Gdi, Gdi.CreatePen(ps::Solid, 1, Black));
    EXPECT_NE(again.Get(), other.Get());

    // A rectangle made from a deleted polygon region is a plain rectangle.
    const std::array<Point, 3> triangle = {{{0, 0}, {40, 0}, {0, 40}}};
    Gdi.DeleteObject(Gdi.CreatePolygonRgn(triangle, Alternate));
    auto square = OwnObject(Gdi, Gdi.CreateRectRgn(10, 10, 20, 20));
    auto black = OwnObject(Gdi, Gdi.CreateSolidBrush(Black));
    Gdi.FillRgn(Dc.Get(), square.Get(), black.Get());
    EXPECT_EQ(BlackPixels().size(), 100u);
    EXPECT_FALSE(Gdi.RectInRegion(square.Get(), Rect{0, 0, 5, 5}));
}

TEST(OffscreenPictureBox, ClearsToItsBackColourAndReadsPixelsInItsScale) {
    CairoGdi gdi;
    OffscreenPictureBox box(gdi, 40, 20);
    EXPECT_EQ(box.Point(0, 0), White);
    box.SetBackColor(Rgb(10, 20, 30));
    EXPECT_EQ(box.Point(39, 19), Rgb(10, 20, 30));
    EXPECT_EQ(box.Point(40, 0), ClrInvalid);
    box.FillBox(2, 3, 5, 6, Black);
    EXPECT_EQ(box.Point(2, 3), Black);
    EXPECT_EQ(box.Point(5, 6), Black); // both corners belong to the box
    EXPECT_EQ(box.Point(6, 6), Rgb(10, 20, 30));

    box.SetScaleMode(scale::Points);
    EXPECT_DOUBLE_EQ(box.ScaleWidth(), 30);
    EXPECT_DOUBLE_EQ(box.ScaleHeight(), 15);
    EXPECT_EQ(box.Point(3, 3), Black); // pixel (4, 4)
    box.SetScaleMode(scale::Millimeters);
    EXPECT_NEAR(box.ScaleWidth(), 40 * 25.4 / 96, 1E-9);
    box.SetScaleMode(scale::Pixels);
    EXPECT_DOUBLE_EQ(box.Height(), 20);

    box.Cls();
    EXPECT_EQ(box.Point(2, 3), Rgb(10, 20, 30));
}

TEST(OffscreenPictureBox, PrintWritesBlackTextAndMovesToTheNextLine) {
    CairoGdi gdi;
    OffscreenPictureBox box(gdi, 200, 60);
    double width = box.TextWidth("Zoom out of range");
    double height = box.TextHeight("Zoom out of range");
    EXPECT_GT(width, 60);
    EXPECT_LT(width, 140);
    EXPECT_GT(height, 8);
    EXPECT_LT(height, 20);
    box.SetFontSize(16.5);
    EXPECT_NEAR(box.TextWidth("Zoom out of range"), 2 * width, 0.2 * width);
    box.SetFontSize(8.25);

    box.SetCurrentX(10);
    box.SetCurrentY(20);
    box.Print("Zoom out of range");
    EXPECT_EQ(box.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(box.CurrentY(), 20 + height);
    int black = 0, other = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            ColorRef pixel = box.Point(x, y);
            if (pixel == Black) {
                ++black;
                EXPECT_GE(x, 10);
                EXPECT_LE(x, 10 + width + 1);
                EXPECT_GE(y, 20);
                EXPECT_LE(y, 20 + height + 1);
            } else if (pixel != White) {
                ++other;
            }
        }
    }
    EXPECT_GT(black, 40);
    EXPECT_EQ(other, 0); // no antialiasing: only the ink and the background
}

TEST(OffscreenPictureBox, WritesItsImageAsPng) {
    CairoGdi gdi;
    OffscreenPictureBox box(gdi, 30, 10);
    auto path = std::filesystem::temp_directory_path() / "offscreen-picture-box-test.png";
    ASSERT_TRUE(box.WritePng(path.string()));
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::filesystem::remove(path);
    EXPECT_FALSE(box.WritePng("/nonexistent-folder/x.png"));
}

// A 2 x 2 bitmap of 8 bits, bottom-up: the top row red, blue; the bottom row green, black.
TEST_F(RasterFixture, StretchDIBitsScalesRowsFromTheBottomAndOrsWithSourcePaint) {
    std::vector<std::uint8_t> info(40 + 4 * 4, 0);
    for (auto [at, value] : {std::pair{0, 40}, {4, 2}, {8, 2}, {12, 1}, {14, 8}, {32, 4}}) {
        info[at] = static_cast<std::uint8_t>(value);
    }
    const std::uint8_t palette[] = {0, 0, 255, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0};
    std::copy(std::begin(palette), std::end(palette), info.begin() + 40);
    const std::uint8_t rows[] = {2, 3, 0, 0, 0, 1, 0, 0}; // bottom row first, 4-byte strides
    ASSERT_EQ(
        Gdi.StretchDIBits(Dc.Get(), 10, 10, 8, 8, 0, 0, 2, 2, rows, info.data(), rop::SrcCopy), 8);
    struct Probe {
        int X, Y;
        ColorRef Colour;
    };
    for (Probe probe : {Probe{10, 10, 0x0000FF}, Probe{17, 13, 0xFF0000}, Probe{12, 16, 0x00FF00},
                        Probe{17, 17, Black}, Probe{18, 10, White}}) {
        EXPECT_EQ(Gdi.GetPixel(Dc.Get(), probe.X, probe.Y), probe.Colour)
            << probe.X << "," << probe.Y;
    }
    // The source's bottom row alone, ORed onto the red square.
    Gdi.StretchDIBits(Dc.Get(), 10, 10, 4, 4, 0, 0, 1, 1, rows, info.data(), rop::SrcPaint);
    EXPECT_EQ(Gdi.GetPixel(Dc.Get(), 11, 11), 0x00FFFFu);
}

} // namespace
} // namespace platform
