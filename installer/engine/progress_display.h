// The progress bar's figures and looks: the percentage of the installation done, the
// path text shortened to fit, and the painting of the bar.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vorn {

/// Context option bits that choose what the progress counts.
namespace progress_option {
/// The progress counter alone, against the header's total.
inline constexpr std::uint32_t CounterOnly = 0x10000;
/// The position in the script, against the script's length after the header.
inline constexpr std::uint32_t ScriptPosition = 0x40;
} // namespace progress_option

struct ProgressFigures {
    std::uint32_t OptionFlags = 0;
    /// The header's total bytes to install.
    std::uint32_t TotalBytes = 0;
    std::uint32_t BytesCopied = 0;
    std::uint32_t ArchiveOffset = 0;
    std::uint32_t ArchiveBase = 0;
    /// The current record's offset and the script's end, both counted after the header.
    std::uint32_t ScriptDone = 0;
    std::uint32_t ScriptTotal = 0;
};

/// The percentage done, 0 to 100: large figures are divided by ten until the done part
/// is at most 2,000,000, and a remainder of at least half a percent rounds up.
int ProgressPercent(const ProgressFigures& figures);

/// The text as it is when it fits `room` pixels; else a path with "..." for the
/// directories in its middle, or the end of the text after "...", whichever fits.
std::string ShortenedPathText(std::string_view text, int room,
                              const std::function<int(std::string_view)>& widthOf);

/// The bar's colours: the done part on dark blue, the rest on the button face.
inline constexpr platform::ColorRef ProgressDoneColour = platform::Rgb(0, 0, 127);

/// Paints the bar: a black frame when the bar's own control does not draw one, the done
/// part in dark blue with "%3d%%" in the button-face colour, the rest the other way round.
void PaintProgressBar(platform::GdiService& gdi, platform::HDC dc, platform::Rect bar, int percent,
                      platform::ColorRef buttonFace, bool frame);

} // namespace vorn
