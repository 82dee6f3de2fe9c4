// Where the log writer's text goes: the interim log file, or memory for tools and tests.
#pragma once

#include <string>
#include <string_view>

namespace vorn {

class LogSink {
public:
    virtual ~LogSink() = default;

    /// Appends the text as one write; false when it could not be written (disk full).
    virtual bool Append(std::string_view text) = 0;
};

/// A sink that keeps everything written to it.
class MemoryLogSink final : public LogSink {
public:
    bool Append(std::string_view text) override {
        Text.append(text);
        return true;
    }

    std::string Text;
};

} // namespace vorn
