// Text at drawing time: pixel height, the measured box and the GDI text calls.
#pragma once

#include "control/database/entity_records.h"
#include "platform/gdi.h"
#include "platform/picture_box.h"

#include <optional>
#include <string>
#include <string_view>

namespace plandra {

/// Height x FontScalar x PixelsPerUnit rounded half to even; no value beyond 32 bits.
std::optional<Long> TextPixelHeight(float Height, float FontScalar, float PixelsPerUnit);

/// The drawing pass draws no text whose pixel height is below 2 or exactly 50000.
inline bool IsDrawnTextHeight(Long pixelHeight) {
    return pixelHeight >= 2 && pixelHeight != 50000;
}

/// Measures `text` on `surface` in the surface's own face at `pixelHeight`: width =
/// TextWidth, height = 0.66 x TextHeight, both rounded half to even. The surface is
/// left with that font size. Returns False with a message in `strError` on failure.
bool GetStringDimensions(std::string& strError, platform::PictureBox& surface,
                         std::string_view text, Long pixelHeight, Long& width, Long& height);

/// What the text routine needs of a text or attribute record.
struct TextDrawing {
    std::string_view Text;     ///< code page 1252, trimmed
    std::string_view FontName; ///< trimmed
    int X = 0, Y = 0;          ///< the insertion pixel, on the baseline
    Long PixelHeight = 0;
    float Rotation = 0; ///< degrees, counter-clockwise
    Long HorzAlign = 0;
    platform::ColorRef Color = 0;
};

/// The escapement of a rotation: whole degrees (half to even) in tenths.
int EscapementOf(float rotation);

/// The SetTextAlign value of a DXF horizontal alignment, always on the baseline.
unsigned TextAlignOf(Long HorzAlign);

/// Draws one text with its own font, made and deleted around it. Returns True.
bool DrawTextString(platform::GdiService& gdi, platform::HDC dc, const TextDrawing& text);

} // namespace plandra
