// A progress bar on a text stream: redrawn in place on a terminal, and on a stream that
// is not one (a pipe, a file) only a final line, so that logs stay readable.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace platform {

class TerminalProgress {
public:
    /// Characters of one line, the bar and its figure included.
    static constexpr std::size_t LineWidth = 79;

    TerminalProgress(std::FILE* stream, bool terminal) : Stream(stream), Terminal(terminal) {}

    void Show(std::string_view text, int percent);
    /// Ends the bar with its last state on a line of its own (once).
    void End();

    /// The line for `text` at `percent`: "[#####     ]  50% text", cut to LineWidth.
    static std::string Line(std::string_view text, int percent);

private:
    std::FILE* Stream;
    bool Terminal;
    bool Started = false;
    bool Shown = false;
    std::string Last;
    std::string LastText;
    int LastPercent = 0;
};

} // namespace platform
