// Selecting redline markup with the mouse.
#include "redline_selection.h"

#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "control/database/layer_lookup.h"
#include "control/view/text_painting.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace plandra {

namespace {

constexpr Long LineType = 0;
constexpr Long CircleType = 1;
constexpr Long TextType = 2;

// The rounded cursor; one the surface cannot have is refused before the scan.
Long CursorPixel(float value) {
    if (!(value > -2147483648.0f && value < 2147483648.0f)) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    return static_cast<Long>(RoundHalfEven(value));
}

// True when (x, y) lies in the rectangle with its corners ordered, left and top edges
// inside, right and bottom edges outside.
bool Inside(const platform::Rect& rect, Long x, Long y) {
    return x >= std::min(rect.left, rect.right) && x < std::max(rect.left, rect.right) &&
           y >= std::min(rect.top, rect.bottom) && y < std::max(rect.top, rect.bottom);
}

// The cheap part of the hit test, taken before any pixel is read or text measured: the
// cursor in the box of the two corners widened by the one pixel MakeTestRect may add.
bool NearBox(Long x1, Long y1, Long x2, Long y2, Long x, Long y) {
    const std::int64_t px = x, py = y;
    return px >= std::int64_t{std::min(x1, x2)} - 1 && px <= std::max(x1, x2) &&
           py >= std::int64_t{std::min(y1, y2)} - 1 && py <= std::max(y1, y2);
}

class Scanner {
public:
    Scanner(std::string& strError, const RedlineScene& scene, Long x, Long y, float X, float Y)
        : Error(strError), Scene(scene), CursorX(x), CursorY(y), X(X), Y(Y) {}

    // Tests one entity; true when the scan is over (a hit, or a hit test that failed).
    bool Test(Long type, Long index, Long x1, Long y1, Long x2, Long y2, Long layerID) {
        if (!NearBox(x1, y1, x2, y2, CursorX, CursorY)) {
            return false;
        }
        platform::Rect rect;
        if (RedlineEntityHit(Error, Scene, x1, y1, x2, y2, X, Y, layerID, rect)) {
            Result.Found = RedlineHit{type, index, rect};
            return true;
        }
        Result.Failed = !Error.empty();
        return Result.Failed;
    }

    bool Lines() {
        const DrawingDatabase& database = Scene.Database;
        const ViewTransform& transform = Scene.Transform;
        for (Long i = 1; i <= database.LineCount; ++i) {
            const LineRec& line = database.Lines[i];
            if (line.Redline == IntegerFalse) {
                continue;
            }
            auto from = transform.PixelPoint(line.X1, line.Y1);
            auto to = transform.PixelPoint(line.X2, line.Y2);
            if (from && to && Test(LineType, i, from->x, from->y, to->x, to->y, line.LayerID)) {
                return true;
            }
        }
        return false;
    }

    bool Circles() {
        const DrawingDatabase& database = Scene.Database;
        const ViewTransform& transform = Scene.Transform;
        for (Long i = 1; i <= database.ArcCount; ++i) {
            const ArcRec& arc = database.Arcs[i];
            if (arc.Redline == IntegerFalse) {
                continue;
            }
            auto topLeft = transform.PixelPoint(arc.CenterX - arc.Radius, arc.CenterY + arc.Radius);
            auto bottomRight =
                transform.PixelPoint(arc.CenterX + arc.Radius, arc.CenterY - arc.Radius);
            if (topLeft && bottomRight &&
                Test(CircleType, i, topLeft->x, topLeft->y, bottomRight->x, bottomRight->y,
                     arc.LayerID)) {
                return true;
            }
        }
        return false;
    }

    bool Texts() {
        const DrawingDatabase& database = Scene.Database;
        const ViewTransform& transform = Scene.Transform;
        for (Long i = 1; i <= database.TextCount; ++i) {
            const TextRec& text = database.Texts[i];
            if (text.Redline == IntegerFalse) {
                continue;
            }
            auto at = transform.PixelPoint(text.X, text.Y);
            auto pixelHeight =
                TextPixelHeight(text.Height, text.FontScalar, transform.PixelsPerUnit);
            // A text the pass does not draw has no pixel of its colour to be hit on.
            if (!at || !pixelHeight || !IsDrawnTextHeight(*pixelHeight)) {
                continue;
            }
            std::string_view characters = text.Text.Trimmed();
            // No face sets a text wider than two ems a character or higher than two
            // ems, so only texts whose box could reach the cursor are measured.
            const std::int64_t em = *pixelHeight;
            const std::int64_t reachX =
                std::int64_t{at->x} + 2 * em * static_cast<std::int64_t>(characters.size()) + 2;
            const std::int64_t reachY = std::int64_t{at->y} - 2 * em - 2;
            if (CursorX < std::int64_t{at->x} - 1 || CursorX > reachX || CursorY > at->y + 1 ||
                CursorY < reachY) {
                continue;
            }
            Long width = 0;
            Long height = 0;
            if (!GetStringDimensions(Error, Scene.picPlandra, characters, *pixelHeight, width,
                                     height)) {
                Result.Failed = true;
                return true;
            }
            const Long x2 = static_cast<Long>(
                std::clamp<std::int64_t>(std::int64_t{at->x} + width, INT32_MIN, INT32_MAX));
            const Long y2 = static_cast<Long>(
                std::clamp<std::int64_t>(std::int64_t{at->y} - height, INT32_MIN, INT32_MAX));
            if (Test(TextType, i, at->x, at->y, x2, y2, text.LayerID)) {
                return true;
            }
        }
        return false;
    }

    RedlineScan Result;

private:
    std::string& Error;
    const RedlineScene& Scene;
    Long CursorX;
    Long CursorY;
    float X;
    float Y;
};

} // namespace

bool RedlineEntityHit(std::string& strError, const RedlineScene& scene, Long x1, Long y1, Long x2,
                      Long y2, float X, float Y, Long LayerID, platform::Rect& rect) {
    strError.clear();
    try {
        ViewTransform::MakeTestRect({platform::Point{x1, y1}, platform::Point{x2, y2}}, rect);
        const Long x = CursorPixel(X);
        const Long y = CursorPixel(Y);
        if (!Inside(rect, x, y)) {
            return false;
        }
        // The colour the pass draws the layer in, not the stored layer colour: they
        // differ for black on black, white on white and when everything prints black.
        const Long drawn = LayerDrawColor(scene.Database, scene.Options, LayerID, 0);
        return scene.picPlandra.Point(x, y) == static_cast<platform::ColorRef>(drawn);
    } catch (const ControlError& error) {
        strError = "An error ocurred in RedlineEntityHit. The message is: " + error.Description;
        return false;
    }
}

RedlineScan FindRedlineEntity(std::string& strError, const RedlineScene& scene, float X, float Y) {
    strError.clear();
    Scanner scanner(strError, scene, CursorPixel(X), CursorPixel(Y), X, Y);
    if (!scanner.Lines() && !scanner.Circles()) {
        scanner.Texts();
    }
    return scanner.Result;
}

} // namespace plandra
