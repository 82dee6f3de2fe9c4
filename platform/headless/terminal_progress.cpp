// The progress bar on a text stream.
#include "platform/headless/terminal_progress.h"

#include <algorithm>

namespace platform {

namespace {
constexpr int BarWidth = 30;
}

std::string TerminalProgress::Line(std::string_view text, int percent) {
    percent = std::clamp(percent, 0, 100);
    const int filled = percent * BarWidth / 100;
    char figure[8];
    std::snprintf(figure, sizeof figure, "%3d%%", percent);
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(BarWidth - filled), ' ') + "] " +
                       figure;
    if (!text.empty()) {
        // The bar is redrawn in place: the text's lines go on one line.
        line += " ";
        for (char c : text) {
            line += c == '\n' || c == '\r' ? ' ' : c;
        }
    }
    if (line.size() > LineWidth) {
        line.resize(LineWidth);
    }
    return line;
}

void TerminalProgress::Show(std::string_view text, int percent) {
    LastText = text;
    LastPercent = percent;
    Started = true;
    if (!Terminal) {
        return;
    }
    std::string line = Line(text, percent);
    if (Shown && line == Last) {
        return;
    }
    // Back to the line's start, the new line, and blanks over what the old one left.
    const std::size_t clear = Last.size() > line.size() ? Last.size() - line.size() : 0;
    std::fprintf(Stream, "\r%s%s", line.c_str(), std::string(clear, ' ').c_str());
    std::fflush(Stream);
    Last = std::move(line);
    Shown = true;
}

void TerminalProgress::End() {
    if (!Started) {
        return;
    }
    if (Terminal) {
        std::fprintf(Stream, "\n");
    } else {
        std::fprintf(Stream, "%s\n", Line(LastText, LastPercent).c_str());
    }
    std::fflush(Stream);
    Started = false;
    Shown = false;
    Last.clear();
}

} // namespace platform
