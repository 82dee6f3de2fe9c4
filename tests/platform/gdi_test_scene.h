// One test scene drawn through any GdiService, and the pixels it must give: the same
// table proves the cairo raster here and real GDI under Wine.
#pragma once

#include "platform/gdi.h"

#include <string>
#include <vector>

namespace platform::test {

inline constexpr int SceneWidth = 80;
inline constexpr int SceneHeight = 80;

struct ExpectedPixel {
    int X, Y;
    ColorRef Color;
    const char* Why;
};

/// Draws the scene onto `dc`, which has an 80 x 80 bitmap selected.
void DrawTestScene(GdiService& gdi, HDC dc);

/// Pixels where GDI's rules leave no choice (no rounding ties), with what they show.
std::vector<ExpectedPixel> TestSceneExpectations();

/// Draws texts in four placements onto `dc` (80 x 80 pixels) and checks where their
/// ink lands and what the text extent says. Glyph shapes differ between font
/// engines, so only the boxes the letters must keep to are checked. Returns the
/// failures found, empty when there are none.
std::vector<std::string> TextSceneFailures(GdiService& gdi, HDC dc);

} // namespace platform::test
