// Pixel-exact drawing of width-1 pens and plain fills.
#include "pixel_raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace platform::raster {

namespace {

// Lines between 32-bit coordinates need products beyond 64 bits when they are clipped;
// this code is built for 64-bit Linux only, where the compilers offer 128 bits.
using Wide = __int128;

// GDI's stock dash patterns for width-1 pens, in pixels: on, off, on, off ...
struct DashPattern {
    int Period;
    std::array<bool, 24> On;
};

constexpr DashPattern MakePattern(std::initializer_list<int> runs) {
    DashPattern pattern{0, {}};
    bool on = true;
    for (int run : runs) {
        for (int i = 0; i < run; ++i) {
            pattern.On[static_cast<std::size_t>(pattern.Period++)] = on;
        }
        on = !on;
    }
    return pattern;
}

constexpr std::array<DashPattern, 5> Patterns = {
    MakePattern({24}),               // solid
    MakePattern({18, 6}),            // dash
    MakePattern({3, 3}),             // dot
    MakePattern({9, 6, 3, 6}),       // dash dot
    MakePattern({9, 3, 3, 3, 3, 3}), // dash dot dot
};

bool IsDashed(int style) {
    return style >= ps::Dash && style <= ps::DashDotDot;
}

// A binary raster operation: the mix mode's four bits say which combinations of pen
// bit and destination bit give a set bit.
std::uint32_t Mix(int rop2, std::uint32_t pen, std::uint32_t destination) {
    unsigned op = static_cast<unsigned>(rop2 - 1) & 0xF;
    std::uint32_t result = 0;
    if (op & 8) {
        result |= pen & destination;
    }
    if (op & 4) {
        result |= pen & ~destination;
    }
    if (op & 2) {
        result |= ~pen & destination;
    }
    if (op & 1) {
        result |= ~pen & ~destination;
    }
    return result & 0xFFFFFF;
}

// Paints pixel number `step` of a pen's path at (x, y), which is inside the image.
class PenPainter {
public:
    PenPainter(const Target& target, const PenPaint& pen)
        : Image(target), Pen(pen), Pattern(Patterns[IsDashed(pen.Style) ? pen.Style : 0]),
          Dashed(IsDashed(pen.Style)) {}

    void Paint(int x, int y, std::int64_t step) const {
        std::uint32_t& pixel = Image.At(x, y);
        std::uint32_t ink = Pen.Ink;
        if (Dashed && !Pattern.On[static_cast<std::size_t>(step % Pattern.Period)]) {
            if (!Pen.OpaqueGaps) {
                return;
            }
            ink = Pen.Background;
        }
        pixel = Pen.Rop2 == r2::CopyPen ? ink : Mix(Pen.Rop2, ink, pixel);
    }

private:
    const Target& Image;
    const PenPaint& Pen;
    const DashPattern& Pattern;
    bool Dashed;
};

template <typename Int> Int CeilDiv(Int numerator, Int denominator) {
    Int quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator > 0) {
        ++quotient;
    }
    return quotient;
}

// The minor-axis offset of step i is q(i) = floor((2 i a + b - tie) / 2b): the ideal
// offset i a / b rounded, halves toward the smaller screen coordinate as GDI does (tie is
// 1 where the offset grows the coordinate, else 0). The first step whose offset reaches k:
template <typename Int> Int FirstStepReaching(Int k, Int a, Int b, Int tie, Int never) {
    if (k <= 0) {
        return 0;
    }
    if (a == 0) {
        return never;
    }
    return CeilDiv(2 * b * k - b + tie, 2 * a);
}

} // namespace

namespace {

// The pixels of a clipped line, stepped along with pointers: Bresenham's decision value
// says when the minor coordinate moves on.
struct LineWalk {
    std::uint32_t* Pixel = nullptr;
    std::ptrdiff_t MajorStep = 0;
    std::ptrdiff_t MinorStep = 0;
    std::int64_t Count = 0;
    std::int64_t Remainder = 0;
    std::int64_t TwiceA = 0;
    std::int64_t TwiceB = 0;
    int DashIndex = 0;
};

template <bool Dashed> void Walk(LineWalk walk, const PenPaint& pen) {
    const DashPattern& pattern = Patterns[Dashed ? pen.Style : 0];
    bool copy = pen.Rop2 == r2::CopyPen;
    for (;;) {
        std::uint32_t ink = pen.Ink;
        bool paint = true;
        if constexpr (Dashed) {
            if (!pattern.On[static_cast<std::size_t>(walk.DashIndex)]) {
                ink = pen.Background;
                paint = pen.OpaqueGaps;
            }
            if (++walk.DashIndex == pattern.Period) {
                walk.DashIndex = 0;
            }
        }
        if (paint) {
            *walk.Pixel = copy ? ink : Mix(pen.Rop2, ink, *walk.Pixel);
        }
        // Stops on the last pixel: the next step may lie outside the image.
        if (--walk.Count == 0) {
            return;
        }
        walk.Pixel += walk.MajorStep;
        walk.Remainder += walk.TwiceA;
        if (walk.Remainder >= walk.TwiceB) {
            walk.Remainder -= walk.TwiceB;
            walk.Pixel += walk.MinorStep;
        }
    }
}

// Coordinates within this bound keep every product of the clipping below 2^62, so the
// line can be clipped in 64 bits; beyond it 128 bits are needed.
constexpr std::int64_t NarrowBound = std::int64_t{1} << 28;

bool IsNarrow(std::int64_t value) {
    return value > -NarrowBound && value < NarrowBound;
}

// The line clipped and walked with the clipping worked out in `Int`, which must hold the
// products of the coordinates' differences without overflow.
template <typename Int>
void ClippedLine(const Target& target, Point from, Point to, const PenPaint& pen) {
    std::int64_t dx = std::int64_t{to.x} - from.x;
    std::int64_t dy = std::int64_t{to.y} - from.y;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    std::int64_t majorStart = xMajor ? from.x : from.y;
    std::int64_t minorStart = xMajor ? from.y : from.x;
    std::int64_t majorDelta = xMajor ? dx : dy;
    std::int64_t minorDelta = xMajor ? dy : dx;
    std::int64_t majorLimit = xMajor ? target.Width : target.Height;
    std::int64_t minorLimit = xMajor ? target.Height : target.Width;
    std::int64_t steps = std::llabs(majorDelta);
    if (steps == 0) {
        return;
    }
    int majorSign = majorDelta > 0 ? 1 : -1;
    int minorSign = minorDelta >= 0 ? 1 : -1;
    Int a = std::llabs(minorDelta);
    Int b = steps;

    // Steps whose major coordinate lies on the image.
    Int first = 0;
    Int last = steps - 1;
    if (majorSign > 0) {
        first = std::max<Int>(first, -majorStart);
        last = std::min<Int>(last, majorLimit - 1 - majorStart);
    } else {
        first = std::max<Int>(first, majorStart - (majorLimit - 1));
        last = std::min<Int>(last, majorStart);
    }
    // Steps whose minor coordinate does: the offset must lie in [low, high].
    Int low = minorSign > 0 ? -minorStart : minorStart - (minorLimit - 1);
    Int high = minorSign > 0 ? minorLimit - 1 - minorStart : minorStart;
    if (high < 0) {
        return;
    }
    Int never = Int{steps} + 1;
    const Int tie = minorSign > 0 ? 1 : 0;
    first = std::max(first, FirstStepReaching(low, a, b, tie, never));
    last = std::min(last, FirstStepReaching(high + 1, a, b, tie, never) - 1);
    if (first > last) {
        return;
    }

    Int numerator = 2 * first * a + b - tie;
    LineWalk walk;
    walk.Count = static_cast<std::int64_t>(last - first) + 1;
    walk.Remainder = static_cast<std::int64_t>(numerator % (2 * b));
    walk.TwiceA = static_cast<std::int64_t>(2 * a);
    walk.TwiceB = static_cast<std::int64_t>(2 * b);
    std::int64_t offset = static_cast<std::int64_t>(numerator / (2 * b));
    std::int64_t major = majorStart + majorSign * static_cast<std::int64_t>(first);
    std::int64_t minor = minorStart + minorSign * offset;
    int x = static_cast<int>(xMajor ? major : minor);
    int y = static_cast<int>(xMajor ? minor : major);
    walk.Pixel = &target.At(x, y);
    walk.MajorStep = xMajor ? majorSign : majorSign * target.Stride;
    walk.MinorStep = xMajor ? minorSign * target.Stride : minorSign;
    walk.DashIndex = static_cast<int>(first % Patterns[IsDashed(pen.Style) ? pen.Style : 0].Period);
    if (IsDashed(pen.Style)) {
        Walk<true>(walk, pen);
    } else {
        Walk<false>(walk, pen);
    }
}

} // namespace

void CosmeticLine(const Target& target, Point from, Point to, const PenPaint& pen) {
    if (pen.Style == ps::Null || target.Width <= 0 || target.Height <= 0) {
        return;
    }
    // Nearly every line of a drawing lies near the picture: 64-bit division is several
    // times cheaper than 128-bit, and both give the same pixels.
    if (IsNarrow(from.x) && IsNarrow(from.y) && IsNarrow(to.x) && IsNarrow(to.y) &&
        IsNarrow(target.Width) && IsNarrow(target.Height)) {
        ClippedLine<std::int64_t>(target, from, to, pen);
    } else {
        ClippedLine<Wide>(target, from, to, pen);
    }
}

namespace {

// The pixels of an ellipse's inside on one row: x from Left to Right; empty when
// Left > Right.
struct Span {
    std::int64_t Left = 1;
    std::int64_t Right = 0;
    bool Empty() const { return Left > Right; }
};

// The inside of the ellipse inscribed in a box, row by row. Its extreme pixels are the
// box's first and last column and row, so the radii reach half a pixel beyond them.
class EllipseRows {
public:
    explicit EllipseRows(Rect box)
        : Top(box.top), Bottom(std::int64_t{box.bottom} - 1),
          CenterX((double(box.left) + double(box.right) - 1) / 2),
          CenterY((double(box.top) + double(box.bottom) - 1) / 2),
          RadiusX((double(box.right) - double(box.left)) / 2),
          RadiusY((double(box.bottom) - double(box.top)) / 2) {}

    Span Row(std::int64_t y) const {
        if (y < Top || y > Bottom) {
            return {};
        }
        double dy = (static_cast<double>(y) - CenterY) / RadiusY;
        double half = RadiusX * std::sqrt(std::max(0.0, 1 - dy * dy));
        return {static_cast<std::int64_t>(std::ceil(CenterX - half)),
                static_cast<std::int64_t>(std::floor(CenterX + half))};
    }

    std::int64_t Top, Bottom;
    double CenterX, CenterY, RadiusX, RadiusY;
};

// Counter-clockwise as seen on the screen: the angle grows upward (toward smaller y).
double ScreenAngle(double x, double y, double centerX, double centerY) {
    return std::atan2(centerY - y, x - centerX);
}

// Whether a pixel lies in the counter-clockwise sweep from the ray through one point
// to the ray through another, both from the centre, by cross products (upward on the
// screen counts as positive); equal rays sweep the whole turn.
class ArcSweep {
public:
    ArcSweep() = default;
    ArcSweep(const Point* arc, double centerX, double centerY)
        : CenterX(centerX), CenterY(centerY), StartX(arc[0].x - centerX),
          StartY(centerY - arc[0].y), EndX(arc[1].x - centerX), EndY(centerY - arc[1].y),
          Limited(true) {
        double turn = Cross(StartX, StartY, EndX, EndY);
        Whole = turn == 0 && StartX * EndX + StartY * EndY > 0;
        Narrow = turn > 0;
    }

    bool Contains(double x, double y) const {
        if (!Limited || Whole) {
            return true;
        }
        double px = x - CenterX;
        double py = CenterY - y;
        bool afterStart = Cross(StartX, StartY, px, py) >= 0;
        bool beforeEnd = Cross(px, py, EndX, EndY) >= 0;
        // Up to half a turn a pixel must be after the start and before the end; beyond
        // it, only a pixel that is neither lies outside.
        return Narrow ? afterStart && beforeEnd : afterStart || beforeEnd;
    }

private:
    static double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

    double CenterX = 0, CenterY = 0;
    double StartX = 0, StartY = 0, EndX = 0, EndY = 0;
    bool Limited = false;
    bool Whole = false;
    bool Narrow = false;
};

double Around(double angle) {
    constexpr double Turn = 2 * std::numbers::pi;
    angle = std::fmod(angle, Turn);
    return angle < 0 ? angle + Turn : angle;
}

// The outline GDI draws for the ellipse inscribed in a box, as a closed path of pixels
// counter-clockwise on the screen from the middle of the right side. Its lower right
// quarter, from the middle of the right side down to the middle of the bottom, is
// stepped by Alois Zingl's integer ellipse algorithm, which picks GDI's pixels; the
// other quarters are its mirror images. Each step costs a few integer operations, so
// boxes up to OutlineLimit pixels a side take this path.
class GdiOutline {
public:
    static constexpr std::int64_t OutlineLimit = 1 << 16;

    /// `quarter` holds the points of the lower right quarter; it is the caller's so that
    /// its room serves one ellipse after another.
    GdiOutline(Rect box, std::vector<Point>& quarter)
        : Width(std::int64_t{box.right} - box.left), Height(std::int64_t{box.bottom} - box.top),
          Left(box.left + Width / 2), Right(box.right - 1 - Width / 2), Top(box.top + Height / 2),
          Bottom(box.bottom - 1 - Height / 2), Quarter(quarter) {
        Quarter.clear();
        const std::int64_t a = Width - 1;
        const std::int64_t b = Height - 1;
        std::int64_t dx = 4 * b * b * (1 - a);
        std::int64_t dy = 4 * a * a * (1 + b % 2);
        std::int64_t error = dx + dy + a * a * (b % 2);
        std::int64_t x = a;
        std::int64_t y = Height / 2;
        while (x >= Width / 2) {
            Quarter.push_back(Point{static_cast<std::int32_t>(x - Width / 2),
                                    static_cast<std::int32_t>(y - Height / 2)});
            const std::int64_t twice = 2 * error;
            if (twice >= dx) {
                --x;
                dx += 8 * b * b;
                error += dx;
            }
            if (twice <= dy) {
                ++y;
                dy += 8 * a * a;
                error += dy;
            }
        }
    }

    std::int64_t Count() const { return 4 * static_cast<std::int64_t>(Quarter.size()); }

    /// Walks the path point by point from point `i` on, 0 <= i, without a division per
    /// point; the path repeats every Count() points.
    class Cursor {
    public:
        Cursor(const GdiOutline& outline, std::int64_t i)
            : Outline(outline), Size(static_cast<std::int64_t>(outline.Quarter.size())),
              Quarter((i / Size) % 4), Index(i % Size) {}
        std::pair<std::int64_t, std::int64_t> At() const { return Outline.At(Quarter, Index); }
        void Next() {
            if (++Index == Size) {
                Index = 0;
                Quarter = (Quarter + 1) % 4;
            }
        }

    private:
        const GdiOutline& Outline;
        std::int64_t Size;
        std::int64_t Quarter;
        std::int64_t Index;
    };

    /// Point `index` of quarter `quarter` (0 to 3) of the path.
    std::pair<std::int64_t, std::int64_t> At(std::int64_t quarter, std::int64_t index) const {
        const auto n = static_cast<std::int64_t>(Quarter.size());
        const Point q = Quarter[static_cast<std::size_t>(quarter % 2 == 0 ? index : n - 1 - index)];
        switch (quarter) {
        case 0:
            return {Left + q.x, Bottom - q.y};
        case 1:
            return {Right - q.x, Bottom - q.y};
        case 2:
            return {Right - q.x, Top + q.y};
        default:
            return {Left + q.x, Top + q.y};
        }
    }

    /// Where an arc's ray from the centre through (x, y) meets the path: the first point
    /// past the ray, counter-clockwise.
    std::int64_t Meet(std::int64_t x, std::int64_t y) const {
        x -= Left;
        y = Top - y;
        const auto n = static_cast<std::int64_t>(Quarter.size());
        // The first quarter point (counted from the right side) that is past the ray,
        // with the ray folded into the lower right quarter.
        const auto firstPast = [&](std::int64_t rayX, std::int64_t rayY, bool onRayCounts) {
            std::int64_t i = 0;
            for (; i < n; ++i) {
                const std::int64_t across = Quarter[static_cast<std::size_t>(i)].x * rayY;
                const std::int64_t along = Quarter[static_cast<std::size_t>(i)].y * rayX;
                if (onRayCounts ? across <= along : across < along) {
                    break;
                }
            }
            return i;
        };
        if (y >= 0) {
            return x >= 0 ? firstPast(x, y, true) : 2 * n - firstPast(-x, y, false);
        }
        return x >= 0 ? 4 * n - firstPast(x, -y, true) : 2 * n + firstPast(-x, -y, false);
    }

    std::int64_t Width, Height;

private:
    std::int64_t Left, Right, Top, Bottom;
    std::vector<Point>& Quarter;
};

// The room of the last outline's quarter and filled rows, kept for the next: a drawing
// has many small circles and arcs, each of which would otherwise allocate.
struct OutlineScratch {
    std::vector<Point> Quarter;
    std::vector<std::pair<std::int64_t, std::int64_t>> Rows;
};

OutlineScratch& ThreadOutlineScratch() {
    thread_local OutlineScratch scratch;
    return scratch;
}

// The ellipse or arc GDI draws with a width-1 pen: an ellipse is its whole path, except
// that a box one or two pixels wide is all outline and a one-pixel box stays empty; an arc
// is the path from where the start ray meets it up to the point before where the end
// ray does, drawn as a polyline through those points, so without its last point.
void DrawGdiOutline(const Target& target, Rect box, const PenPaint& pen, const Point* arc,
                    const std::uint32_t* fill) {
    OutlineScratch& scratch = ThreadOutlineScratch();
    GdiOutline outline(box, scratch.Quarter);
    if (arc == nullptr && outline.Width <= 2) {
        if (outline.Width == 1 && outline.Height == 1) {
            return;
        }
        if (pen.Style == ps::Null) {
            if (fill != nullptr) {
                FillRectangle(target, box, *fill);
            }
            return;
        }
        PenPainter painter(target, pen);
        std::int64_t step = 0;
        for (int y = std::max(box.top, 0); y < std::min(box.bottom, target.Height); ++y) {
            for (int x = box.left; x < box.right; ++x, ++step) {
                if (x >= 0 && x < target.Width) {
                    painter.Paint(x, y, step);
                }
            }
        }
        return;
    }
    std::int64_t first = 0;
    std::int64_t end = outline.Count();
    if (arc != nullptr) {
        first = outline.Meet(arc[0].x, arc[0].y);
        end = outline.Meet(arc[1].x, arc[1].y);
        if (end <= first) {
            end += outline.Count();
        }
        --end; // the polyline's last point
    }
    if (fill != nullptr && arc == nullptr) {
        // Each row from its leftmost to its rightmost outline pixel.
        std::vector<std::pair<std::int64_t, std::int64_t>>& rows = scratch.Rows;
        rows.assign(static_cast<std::size_t>(outline.Height),
                    {std::numeric_limits<std::int64_t>::max(), 0});
        GdiOutline::Cursor cursor(outline, first);
        for (std::int64_t i = first; i < end; ++i, cursor.Next()) {
            const auto [x, y] = cursor.At();
            auto& row = rows[static_cast<std::size_t>(y - box.top)];
            row = {std::min(row.first, x), std::max(row.second, x)};
        }
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (rows[row].first <= rows[row].second) {
                const auto y = static_cast<std::int32_t>(box.top + static_cast<std::int64_t>(row));
                FillRectangle(target,
                              Rect{static_cast<std::int32_t>(rows[row].first), y,
                                   static_cast<std::int32_t>(rows[row].second + 1), y + 1},
                              *fill);
            }
        }
    }
    if (pen.Style == ps::Null) {
        return;
    }
    PenPainter painter(target, pen);
    std::int64_t step = 0;
    GdiOutline::Cursor cursor(outline, first);
    std::pair<std::int64_t, std::int64_t> point = cursor.At();
    for (std::int64_t i = first; i < end; ++i) {
        const auto [x, y] = point;
        cursor.Next();
        point = cursor.At();
        // A point repeated where two quarters meet is drawn once.
        if (point == std::pair{x, y}) {
            continue;
        }
        if (x >= 0 && y >= 0 && x < target.Width && y < target.Height) {
            painter.Paint(static_cast<int>(x), static_cast<int>(y), step);
        }
        ++step;
    }
}

} // namespace

void EllipseOutline(const Target& target, Rect box, const PenPaint& pen, const Point* arc,
                    const std::uint32_t* fill) {
    if (box.left > box.right) {
        std::swap(box.left, box.right);
    }
    if (box.top > box.bottom) {
        std::swap(box.top, box.bottom);
    }
    if (box.left == box.right || box.top == box.bottom || target.Width <= 0 || target.Height <= 0) {
        return;
    }
    if (std::int64_t{box.right} - box.left <= GdiOutline::OutlineLimit &&
        std::int64_t{box.bottom} - box.top <= GdiOutline::OutlineLimit) {
        DrawGdiOutline(target, box, pen, arc, fill);
        return;
    }
    // Larger boxes, which reach far beyond any picture, cost only their rows on the
    // image: their outline is taken row by row from the ellipse's equation.
    EllipseRows rows(box);
    std::int64_t firstRow = std::max<std::int64_t>(rows.Top, 0);
    std::int64_t lastRow = std::min<std::int64_t>(rows.Bottom, target.Height - 1);
    const std::int64_t lastColumn = target.Width - 1;

    if (fill != nullptr && arc == nullptr) {
        for (std::int64_t y = firstRow; y <= lastRow; ++y) {
            Span span = rows.Row(y);
            FillRectangle(target,
                          Rect{static_cast<std::int32_t>(
                                   std::clamp<std::int64_t>(span.Left, 0, target.Width)),
                               static_cast<std::int32_t>(y),
                               static_cast<std::int32_t>(
                                   std::clamp<std::int64_t>(span.Right + 1, 0, target.Width)),
                               static_cast<std::int32_t>(y + 1)},
                          *fill);
        }
    }
    if (pen.Style == ps::Null) {
        return;
    }

    // A pixel of the inside is on the outline when a pixel beside it, above it or
    // below it is outside: per row, the run from each end of the row's span inward to
    // where the rows above and below both reach.
    // A solid arc needs no order, only the test whether a pixel lies within the sweep.
    bool ordered = IsDashed(pen.Style);
    ArcSweep sweepTest;
    if (arc != nullptr && !ordered) {
        sweepTest = ArcSweep(arc, rows.CenterX, rows.CenterY);
    }
    std::vector<Point> outline;
    PenPainter painter(target, pen);
    auto visit = [&](std::int64_t from, std::int64_t to, std::int64_t y) {
        from = std::max<std::int64_t>(from, 0);
        to = std::min(to, lastColumn);
        for (std::int64_t x = from; x <= to; ++x) {
            if (ordered) {
                outline.push_back(
                    Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)});
            } else if (sweepTest.Contains(static_cast<double>(x), static_cast<double>(y))) {
                painter.Paint(static_cast<int>(x), static_cast<int>(y), 0);
            }
        }
    };
    for (std::int64_t y = firstRow; y <= lastRow; ++y) {
        Span span = rows.Row(y);
        if (span.Empty()) {
            continue;
        }
        Span above = rows.Row(y - 1);
        Span below = rows.Row(y + 1);
        if (above.Empty() || below.Empty()) {
            visit(span.Left, span.Right, y);
            continue;
        }
        std::int64_t innerLeft = std::max(above.Left, below.Left);
        std::int64_t innerRight = std::min(above.Right, below.Right);
        std::int64_t leftEnd = std::min(span.Right, std::max(span.Left, innerLeft - 1));
        std::int64_t rightStart = std::max(leftEnd + 1, std::min(span.Right, innerRight + 1));
        visit(span.Left, leftEnd, y);
        visit(rightStart, span.Right, y);
    }
    if (!ordered) {
        return;
    }

    double startAngle = 0;
    double sweep = 2 * std::numbers::pi;
    if (arc != nullptr) {
        startAngle = ScreenAngle(arc[0].x, arc[0].y, rows.CenterX, rows.CenterY);
        double end =
            Around(ScreenAngle(arc[1].x, arc[1].y, rows.CenterX, rows.CenterY) - startAngle);
        if (end != 0) {
            sweep = end;
        }
    }
    std::vector<std::pair<double, Point>> path;
    path.reserve(outline.size());
    for (const Point& point : outline) {
        double along =
            Around(ScreenAngle(point.x, point.y, rows.CenterX, rows.CenterY) - startAngle);
        if (along <= sweep) {
            path.emplace_back(along, point);
        }
    }
    std::sort(path.begin(), path.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::int64_t step = 0;
    for (const auto& [along, point] : path) {
        painter.Paint(point.x, point.y, step++);
    }
}

namespace {

// A polygon edge that is not horizontal, from its upper end (X, Y) down by DX and
// DY > 0; it crosses the rows Top to Bottom - 1 that lie on the image. Direction is +1
// where the polygon runs down the edge, -1 where it runs up.
struct FillEdge {
    std::int64_t X, Y, DX, DY;
    std::int64_t Top, Bottom;
    int Direction;
};

struct PolygonScratch {
    std::vector<FillEdge> Edges;
    std::vector<const FillEdge*> Active;
    std::vector<std::pair<std::int64_t, int>> Crossings;
};

} // namespace

// Each row's crossings are where its edges meet the row, rounded up to whole pixels;
// the pixels from one crossing up to, not including, the next are inside where the
// polygon covers the stretch between them. An edge meets the rows from its upper end's
// down to the one before its lower end's, so the pixels of a top edge are inside and
// those of a bottom edge are not.
void FillPolygon(const Target& target, std::span<const Point> points, bool winding,
                 std::uint32_t pixel) {
    if (target.Width <= 0 || target.Height <= 0) {
        return;
    }
    // The lists keep their room for the next polygon: a drawing fills many small ones.
    thread_local PolygonScratch scratch;
    std::vector<FillEdge>& edges = scratch.Edges;
    std::vector<const FillEdge*>& active = scratch.Active;
    std::vector<std::pair<std::int64_t, int>>& crossings = scratch.Crossings;
    edges.clear();
    active.clear();
    // An edge's run and rise are below 2^31 where every corner is near the image, and
    // then each crossing is found in 64 bits.
    bool narrow = true;
    for (std::size_t i = 0; i < points.size(); ++i) {
        Point from = points[i];
        Point to = points[(i + 1) % points.size()];
        if (from.y == to.y) {
            continue;
        }
        const int direction = to.y > from.y ? 1 : -1;
        if (direction < 0) {
            std::swap(from, to);
        }
        const FillEdge edge{from.x,
                            from.y,
                            std::int64_t{to.x} - from.x,
                            std::int64_t{to.y} - from.y,
                            std::max<std::int64_t>(from.y, 0),
                            std::min<std::int64_t>(to.y, target.Height),
                            direction};
        if (edge.Top < edge.Bottom) {
            edges.push_back(edge);
            narrow =
                narrow && IsNarrow(from.x) && IsNarrow(from.y) && IsNarrow(to.x) && IsNarrow(to.y);
        }
    }
    narrow = narrow && IsNarrow(target.Height);
    std::sort(edges.begin(), edges.end(),
              [](const FillEdge& a, const FillEdge& b) { return a.Top < b.Top; });
    std::size_t next = 0;
    for (std::int64_t y = edges.empty() ? 0 : edges.front().Top;
         next < edges.size() || !active.empty(); ++y) {
        std::erase_if(active, [y](const FillEdge* edge) { return edge->Bottom <= y; });
        for (; next < edges.size() && edges[next].Top == y; ++next) {
            active.push_back(&edges[next]);
        }
        crossings.clear();
        for (const FillEdge* edge : active) {
            const std::int64_t along =
                narrow ? CeilDiv(edge->DX * (y - edge->Y), edge->DY)
                       : static_cast<std::int64_t>(
                             CeilDiv(Wide{edge->DX} * (y - edge->Y), Wide{edge->DY}));
            crossings.emplace_back(edge->X + along, edge->Direction);
        }
        std::sort(crossings.begin(), crossings.end());
        int cover = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            cover = winding ? cover + crossings[i].second : cover ^ 1;
            if (cover != 0) {
                const auto left = std::clamp<std::int64_t>(crossings[i].first, 0, target.Width);
                const auto right =
                    std::clamp<std::int64_t>(crossings[i + 1].first, 0, target.Width);
                std::uint32_t* row = &target.At(0, static_cast<int>(y));
                std::fill(row + left, row + std::max(left, right), pixel);
            }
        }
    }
}

void FillRectangle(const Target& target, Rect rect, std::uint32_t pixel) {
    int left = std::max(std::min(rect.left, rect.right), 0);
    int right = std::min(std::max(rect.left, rect.right), target.Width);
    int top = std::max(std::min(rect.top, rect.bottom), 0);
    int bottom = std::min(std::max(rect.top, rect.bottom), target.Height);
    for (int y = top; y < bottom; ++y) {
        std::fill(&target.At(left, y), &target.At(left, y) + std::max(0, right - left), pixel);
    }
}

} // namespace platform::raster
