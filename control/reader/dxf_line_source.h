// Reads a DXF file as text lines, from a large buffer.
#pragma once

#include "platform/stdio_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace plandra {

/// A file opened for sequential text input. A line ends at a carriage return; a line
/// feed right after it belongs to the same line end. A bare line feed is part of
/// the line, as in files written on systems without carriage returns.
class DxfLineSource {
public:
    /// Opens the file; throws "File not found" when it cannot be opened.
    static DxfLineSource Open(const std::string& fileName);

    /// Reads the next line into `line` (without its end); throws "Input past end of
    /// file" when no line is left.
    void ReadLine(std::string& line);

    /// Reads the next line and returns it without its end. The view is valid until
    /// the next read.
    std::string_view ReadLineView();

    /// Hands out the unread bytes as they stand (line ends included) and consumes them:
    /// an empty view at the end. The view is valid until the next read.
    std::string_view ReadBlock();

    bool AtEnd() const { return Consumed >= FileLength; }
    /// Bytes read so far: the 0-based position of the next read.
    std::uint64_t Position() const { return Consumed; }
    std::uint64_t Length() const { return FileLength; }

private:
    DxfLineSource(platform::UniqueStdioFile file, std::uint64_t length);

    bool Refill();
    void SkipLineFeedAfterCarriageReturn();

    platform::UniqueStdioFile File;
    std::uint64_t FileLength;
    std::uint64_t Consumed = 0;
    std::vector<char> Buffer;
    std::size_t Begin = 0;
    std::size_t End = 0;
    /// A line that does not fit in the buffer is gathered here.
    std::string LongLine;
};

} // namespace plandra
