// The progress bar's percentage, shortened text and painting.
#include "progress_display.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace vorn {

int ProgressPercent(const ProgressFigures& figures) {
    std::int64_t total = figures.TotalBytes;
    std::int64_t done = 0;
    if ((figures.OptionFlags & progress_option::CounterOnly) != 0) {
        done = figures.BytesCopied;
    } else if ((figures.OptionFlags & progress_option::ScriptPosition) != 0) {
        done = figures.ScriptDone;
        total = figures.ScriptTotal;
    } else {
        done = std::int64_t{figures.BytesCopied} + figures.ArchiveOffset - figures.ArchiveBase;
    }
    while (done > 2000000) {
        done /= 10;
        total /= 10;
    }
    total = std::max<std::int64_t>(total, 1);
    done = std::max<std::int64_t>(done, 0);
    std::int64_t percent = done * 100 / total;
    // Half a percent rounds up; an exact figure stays (below a total of 200, half a
    // percent is less than one unit, and nothing done must not show as 1 %).
    const std::int64_t remainder = done * 100 % total;
    if (remainder != 0 && remainder >= total / 200 && percent < 100) {
        ++percent;
    }
    // More done than the header announced still shows a full bar, not an overflowing one.
    return static_cast<int>(std::min<std::int64_t>(percent, 100));
}

std::string ShortenedPathText(std::string_view text, int room,
                              const std::function<int(std::string_view)>& widthOf) {
    if (widthOf(text) <= room) {
        return std::string(text);
    }
    // Keep the root ("C:\" or "\\server\") and as many of the last parts as fit.
    std::size_t root = text.find('\\', text.starts_with("\\\\") ? 2 : 0);
    if (root != std::string_view::npos) {
        std::string_view head = text.substr(0, root + 1);
        for (std::size_t cut = text.find('\\', root + 1); cut != std::string_view::npos;
             cut = text.find('\\', cut + 1)) {
            std::string candidate = std::string(head) + "..." + std::string(text.substr(cut));
            if (widthOf(candidate) <= room) {
                return candidate;
            }
        }
    }
    for (std::size_t skip = 1; skip < text.size(); ++skip) {
        std::string candidate = "..." + std::string(text.substr(skip));
        if (widthOf(candidate) <= room) {
            return candidate;
        }
    }
    return "...";
}

void PaintProgressBar(platform::GdiService& gdi, platform::HDC dc, platform::Rect bar, int percent,
                      platform::ColorRef buttonFace, bool frame) {
    if (frame) {
        auto* black =
            static_cast<platform::HBRUSH>(gdi.GetStockObject(platform::stock::BlackBrush));
        for (platform::Rect edge :
             {platform::Rect{bar.left, bar.top, bar.right, bar.top + 1},
              platform::Rect{bar.left, bar.bottom - 1, bar.right, bar.bottom},
              platform::Rect{bar.left, bar.top, bar.left + 1, bar.bottom},
              platform::Rect{bar.right - 1, bar.top, bar.right, bar.bottom}}) {
            gdi.FillRect(dc, edge, black);
        }
        bar = {bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
    }
    if (bar.right <= bar.left || bar.bottom <= bar.top) {
        return;
    }
    percent = std::clamp(percent, 0, 100);
    char text[8];
    std::snprintf(text, sizeof text, "%3d%%", percent);
    platform::Size extent;
    gdi.GetTextExtentPoint32A(dc, text, &extent);
    const int x = bar.left + (bar.right - bar.left - extent.cx) / 2;
    const int y = bar.top + (bar.bottom - bar.top - extent.cy) / 2;
    const int split = bar.left + (bar.right - bar.left) * percent / 100;
    gdi.SetTextAlign(dc, platform::ta::Left | platform::ta::Top);
    gdi.SetBkMode(dc, platform::Opaque);
    const platform::Rect done{bar.left, bar.top, split, bar.bottom};
    const platform::Rect rest{split, bar.top, bar.right, bar.bottom};
    for (auto [part, back, fore] : {std::tuple{done, ProgressDoneColour, buttonFace},
                                    std::tuple{rest, buttonFace, ProgressDoneColour}}) {
        if (part.right <= part.left) {
            continue;
        }
        gdi.SetBkColor(dc, back);
        gdi.SetTextColor(dc, fore);
        gdi.ExtTextOutA(dc, x, y, platform::eto::Opaque | platform::eto::Clipped, &part, text);
    }
}

} // namespace vorn
