// One test scene drawn through any GdiService, and the pixels it must give.
#include "gdi_test_scene.h"

#include "platform/gdi_objects.h"

#include <array>
#include <string_view>

namespace platform::test {

namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Black = 0x000000;
constexpr ColorRef Red = Rgb(255, 0, 0);
constexpr ColorRef Green = Rgb(0, 255, 0);
constexpr ColorRef Blue = Rgb(0, 0, 255);
constexpr ColorRef Yellow = Rgb(255, 255, 0);
constexpr ColorRef Magenta = Rgb(255, 0, 255);

void Line(GdiService& gdi, HDC dc, int style, int width, ColorRef color, Point from, Point to) {
    ScopedSelection pen(gdi, dc, OwnObject(gdi, gdi.CreatePen(style, width, color)));
    gdi.MoveToEx(dc, from.x, from.y, nullptr);
    gdi.LineTo(dc, to.x, to.y);
}

} // namespace

void DrawTestScene(GdiService& gdi, HDC dc) {
    auto white = OwnObject(gdi, gdi.CreateSolidBrush(White));
    gdi.FillRect(dc, Rect{0, 0, SceneWidth, SceneHeight}, white.Get());
    HGDIOBJ oldBrush = gdi.SelectObject(dc, gdi.GetStockObject(stock::NullBrush));

    Line(gdi, dc, ps::Solid, 1, Red, {2, 2}, {12, 2});
    Line(gdi, dc, ps::Solid, 1, Green, {2, 5}, {2, 15});
    Line(gdi, dc, ps::Solid, 1, Blue, {20, 2}, {29, 11});
    Line(gdi, dc, ps::Solid, 1, Black, {30, 20}, {45, 25});
    Line(gdi, dc, ps::Solid, 1, Black, {12, 30}, {6, 24}); // drawn right to left, upward

    gdi.SetBkColor(dc, Green);
    Line(gdi, dc, ps::Dash, 1, Black, {0, 40}, {60, 40});
    gdi.SetBkMode(dc, Transparent);
    Line(gdi, dc, ps::Dot, 1, Black, {0, 44}, {30, 44});
    Line(gdi, dc, ps::DashDot, 1, Black, {0, 46}, {30, 46});
    gdi.SetBkMode(dc, Opaque);

    {
        ScopedSelection pen(gdi, dc, OwnObject(gdi, gdi.CreatePen(ps::Solid, 1, Black)));
        gdi.Ellipse(dc, 40, 0, 61, 21);
        gdi.Arc(dc, 0, 50, 21, 71, 20, 60, 10, 50);
    }

    auto blue = OwnObject(gdi, gdi.CreateSolidBrush(Blue));
    const std::array<Point, 4> square = {{{30, 50}, {40, 50}, {40, 60}, {30, 60}}};
    auto squareRegion = OwnObject(gdi, gdi.CreatePolygonRgn(square, Alternate));
    gdi.FillRgn(dc, squareRegion.Get(), blue.Get());
    // A five-pointed star drawn in one stroke: ALTERNATE leaves its centre empty.
    const std::array<Point, 5> star = {{{60, 45}, {69, 74}, {45, 56}, {75, 56}, {51, 74}}};
    auto starRegion = OwnObject(gdi, gdi.CreatePolygonRgn(star, Alternate));
    gdi.FillRgn(dc, starRegion.Get(), blue.Get());

    gdi.SetPixel(dc, 0, 0, Magenta);
    gdi.SetROP2(dc, r2::XorPen);
    Line(gdi, dc, ps::Solid, 1, Red, {0, 30}, {5, 30});
    gdi.SetROP2(dc, r2::CopyPen);
    Line(gdi, dc, ps::Solid, 5, Yellow, {50, 30}, {74, 30});

    gdi.SelectObject(dc, oldBrush);
}

std::vector<ExpectedPixel> TestSceneExpectations() {
    return {
        {2, 2, Red, "line start"},
        {11, 2, Red, "pixel before the line end"},
        {12, 2, White, "line end is not painted"},
        {1, 2, White, "before the line start"},
        {2, 14, Green, "vertical line"},
        {2, 15, White, "vertical line end"},
        {20, 2, Blue, "diagonal start"},
        {28, 10, Blue, "diagonal"},
        {29, 11, White, "diagonal end"},
        {31, 20, Black, "shallow line, a third of a pixel down"},
        {32, 21, Black, "shallow line, two thirds down"},
        {32, 20, White, "shallow line, two thirds down"},
        {34, 21, Black, "shallow line, four thirds down"},
        {35, 22, Black, "shallow line, five thirds down"},
        {44, 25, Black, "shallow line, fourteen thirds down"},
        {45, 25, White, "shallow line end"},
        {12, 30, Black, "reversed diagonal start"},
        {7, 25, Black, "reversed diagonal"},
        {6, 24, White, "reversed diagonal end"},
        {0, 40, Black, "dash"},
        {17, 40, Black, "dash, 18 pixels"},
        {18, 40, Green, "opaque gap in the background colour"},
        {23, 40, Green, "gap, 6 pixels"},
        {24, 40, Black, "second dash"},
        {0, 44, Black, "dot"},
        {2, 44, Black, "dot, 3 pixels"},
        {3, 44, White, "transparent gap"},
        {6, 44, Black, "second dot"},
        {8, 46, Black, "dash of dash-dot, 9 pixels"},
        {9, 46, White, "gap of dash-dot"},
        {15, 46, Black, "dot of dash-dot"},
        {17, 46, Black, "dot of dash-dot, 3 pixels"},
        {18, 46, White, "gap after the dot"},
        {40, 10, Black, "ellipse left"},
        {60, 10, Black, "ellipse right: last column of the box"},
        {61, 10, White, "ellipse box excludes its right edge"},
        {50, 0, Black, "ellipse top"},
        {50, 20, Black, "ellipse bottom: last row of the box"},
        {50, 21, White, "ellipse box excludes its bottom edge"},
        {50, 10, White, "hollow brush leaves the inside"},
        {17, 53, Black, "arc's upper right quarter"},
        {17, 67, White, "arc runs counter-clockwise: no lower right quarter"},
        {3, 53, White, "no upper left quarter"},
        {30, 50, Blue, "region includes its top-left corner"},
        {39, 59, Blue, "region's last pixel"},
        {40, 55, White, "region excludes its right edge"},
        {35, 60, White, "region excludes its bottom edge"},
        {60, 50, Blue, "star's top point"},
        {50, 57, Blue, "star's left point"},
        {60, 60, White, "star's centre stays empty"},
        {0, 0, Magenta, "SetPixel"},
        {2, 30, Rgb(0, 255, 255), "R2_XORPEN of red on white"},
        {62, 30, Yellow, "5-pixel pen, centre"},
        {62, 28, Yellow, "5-pixel pen, two up"},
        {62, 32, Yellow, "5-pixel pen, two down"},
        {62, 26, White, "5-pixel pen, four up"},
        {62, 34, White, "5-pixel pen, four down"},
    };
}

namespace {

struct TextPlacement {
    std::string_view Text;
    int X, Y;
    int Escapement;
    unsigned Align;
    Rect Ink; ///< every letter pixel lies in here (right and bottom excluded)
    const char* Why;
};

// Letters 20 pixels high (cell height) without descenders: "HH" is about 30 wide.
constexpr int CellHeight = 20;

int CountColour(GdiService& gdi, HDC dc, const Rect& box, ColorRef color) {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            count += gdi.GetPixel(dc, x, y) == color;
        }
    }
    return count;
}

} // namespace

std::vector<std::string> TextSceneFailures(GdiService& gdi, HDC dc) {
    const TextPlacement placements[] = {
        {"HH", 40, 40, 0, ta::Left | ta::Baseline, {40, 20, 80, 41}, "left on the baseline"},
        {"HH", 40, 40, 0, ta::Right | ta::Baseline, {0, 20, 41, 41}, "right-aligned"},
        {"HH", 40, 40, 900, ta::Left | ta::Baseline, {20, 0, 41, 41}, "escapement 900: upward"},
        {"HH", 40, 40, 1800, ta::Left | ta::Baseline, {0, 40, 41, 61}, "escapement 1800"},
        {"HH", 40, 40, 0, ta::Center | ta::Baseline, {20, 20, 61, 41}, "centred"},
    };
    std::vector<std::string> failures;
    const Rect whole{0, 0, SceneWidth, SceneHeight};
    auto white = OwnObject(gdi, gdi.CreateSolidBrush(White));
    for (const TextPlacement& placement : placements) {
        gdi.FillRect(dc, whole, white.Get());
        FontRequest request;
        request.Height = CellHeight;
        request.Escapement = placement.Escapement;
        request.Weight = 100;
        request.OutPrecision = 6;
        request.Quality = 2;
        request.FaceName = "Arial";
        {
            ScopedSelection font(gdi, dc, OwnObject(gdi, gdi.CreateFontA(request)));
            gdi.SetBkMode(dc, Transparent);
            gdi.SetTextAlign(dc, placement.Align);
            gdi.SetTextColor(dc, Red);
            gdi.TextOutA(dc, placement.X, placement.Y, placement.Text);
        }
        int inside = CountColour(gdi, dc, placement.Ink, Red);
        int everywhere = CountColour(gdi, dc, whole, Red);
        if (inside < 40) {
            failures.push_back(std::string(placement.Why) + ": only " + std::to_string(inside) +
                               " letter pixels");
        }
        if (everywhere != inside) {
            failures.push_back(std::string(placement.Why) + ": " +
                               std::to_string(everywhere - inside) + " pixels outside the box");
        }
    }
    gdi.SetBkMode(dc, Opaque);

    FontRequest request;
    request.Height = CellHeight;
    request.FaceName = "Courier New";
    ScopedSelection font(gdi, dc, OwnObject(gdi, gdi.CreateFontA(request)));
    Size two;
    Size four;
    if (!gdi.GetTextExtentPoint32A(dc, "HH", &two) ||
        !gdi.GetTextExtentPoint32A(dc, "HHHH", &four)) {
        failures.push_back("GetTextExtentPoint32A failed");
    } else {
        if (two.cy != CellHeight) {
            failures.push_back("extent height " + std::to_string(two.cy) + ", not the cell height");
        }
        if (four.cx != 2 * two.cx || two.cx < 16 || two.cx > 30) {
            failures.push_back("fixed-pitch widths " + std::to_string(two.cx) + " and " +
                               std::to_string(four.cx));
        }
    }
    return failures;
}

} // namespace platform::test
