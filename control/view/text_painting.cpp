// Text at drawing time.
#include "text_painting.h"

#include "control/database/dxf_number.h"
#include "platform/gdi_objects.h"

namespace plandra {

namespace {

// Font arguments the control always passes: a light weight, OUT_TT_ONLY_PRECIS and
// PROOF_QUALITY, so only outline fonts are used and they scale freely.
constexpr int TextWeight = 100;
constexpr unsigned OutputPrecision = 6;
constexpr unsigned TextQuality = 2;
// The share of TextHeight the visibility test takes as the text's height.
constexpr double MeasuredHeightShare = 0.66;

std::optional<Long> RoundedLong(double value) {
    if (!(value > -2147483648.5 && value < 2147483647.5)) {
        return std::nullopt;
    }
    return static_cast<Long>(RoundHalfEven(value));
}

} // namespace

std::optional<Long> TextPixelHeight(float Height, float FontScalar, float PixelsPerUnit) {
    // The product is taken in single precision, as the record's fields are.
    float pixels = Height * FontScalar * PixelsPerUnit;
    return RoundedLong(pixels);
}

bool GetStringDimensions(std::string& strError, platform::PictureBox& surface,
                         std::string_view text, Long pixelHeight, Long& width, Long& height) {
    int savedMode = surface.ScaleMode();
    surface.SetScaleMode(platform::scale::Points);
    double widthInPoints = surface.ScaleWidth();
    surface.SetScaleMode(platform::scale::Pixels);
    double widthInPixels = surface.ScaleWidth();
    surface.SetScaleMode(savedMode);
    std::optional<Long> measuredWidth;
    std::optional<Long> measuredHeight;
    if (widthInPixels > 0) {
        surface.SetFontSize(pixelHeight * widthInPoints / widthInPixels);
        measuredWidth = RoundedLong(surface.TextWidth(text));
        measuredHeight = RoundedLong(surface.TextHeight(text) * MeasuredHeightShare);
    }
    if (!measuredWidth || !measuredHeight) {
        strError = "An error ocurred in GetStringDimensions. The message is: Overflow";
        return false;
    }
    width = *measuredWidth;
    height = *measuredHeight;
    strError.clear();
    return true;
}

int EscapementOf(float rotation) {
    double degrees = RoundHalfEven(rotation);
    // A rotation past the int range turns nothing sensible; no escapement then.
    if (!(degrees > -214748364.0 && degrees < 214748364.0)) {
        return 0;
    }
    return static_cast<int>(degrees) * 10;
}

unsigned TextAlignOf(Long HorzAlign) {
    unsigned horizontal = platform::ta::Left;
    switch (HorzAlign) {
    case 1:
    case 4:
        horizontal = platform::ta::Center;
        break;
    case 2:
        horizontal = platform::ta::Right;
        break;
    default:
        break;
    }
    return horizontal + platform::ta::Baseline;
}

bool DrawTextString(platform::GdiService& gdi, platform::HDC dc, const TextDrawing& text) {
    platform::FontRequest request;
    request.Height = static_cast<int>(text.PixelHeight);
    request.Escapement = EscapementOf(text.Rotation);
    request.Weight = TextWeight;
    request.OutPrecision = OutputPrecision;
    request.Quality = TextQuality;
    request.FaceName = text.FontName;
    platform::ScopedSelection font(gdi, dc, platform::OwnObject(gdi, gdi.CreateFontA(request)));
    gdi.SetTextAlign(dc, TextAlignOf(text.HorzAlign));
    gdi.SetTextColor(dc, text.Color);
    // A device context starts OPAQUE, which would paint each text's cell in the
    // background colour: white boxes that hide the text on a black surface and cover
    // whatever was drawn beneath. Texts are drawn transparent, as a picture box's
    // text is by default.
    int backgroundMode = gdi.SetBkMode(dc, platform::Transparent);
    gdi.TextOutA(dc, text.X, text.Y, text.Text);
    if (backgroundMode != 0) {
        gdi.SetBkMode(dc, backgroundMode);
    }
    return true;
}

} // namespace plandra
