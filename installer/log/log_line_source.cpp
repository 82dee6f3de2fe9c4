// The log's lines as the uninstaller reads them.
#include "log_line_source.h"

#include <algorithm>
#include <cstring>
#include <istream>

namespace vorn {

namespace {

constexpr std::size_t ReadSize = 256 * 1024;

} // namespace

std::size_t StreamByteSource::Read(std::span<char> buffer) {
    if (!Stream) {
        return 0;
    }
    Stream.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    return static_cast<std::size_t>(Stream.gcount());
}

LogLineSource::LogLineSource(LogByteSource& bytes)
    : Bytes(&bytes), Storage(std::make_unique_for_overwrite<char[]>(ReadSize)),
      Buffer(Storage.get()) {}

LogLineSource::LogLineSource(std::string_view text) : Buffer(text.data()), Filled(text.size()) {}

bool LogLineSource::Refill() {
    if (AtEnd || Bytes == nullptr) {
        AtEnd = true;
        return false;
    }
    BufferOffset += Filled;
    Position = 0;
    Filled = Bytes->Read({Storage.get(), ReadSize});
    AtEnd = Filled == 0;
    return !AtEnd;
}

void LogLineSource::Take(const char* first, const char* last) {
    while (first != last && LineLength < MaxLineLength) {
        const char* lineFeed = static_cast<const char*>(
            std::memchr(first, '\n', static_cast<std::size_t>(last - first)));
        const char* stop = lineFeed != nullptr ? lineFeed : last;
        if (first != stop && LineLength == 0) {
            LineOffset = BufferOffset + static_cast<std::uint64_t>(first - Buffer);
        }
        std::size_t room = MaxLineLength - LineLength;
        std::size_t count = std::min(room, static_cast<std::size_t>(stop - first));
        std::copy_n(first, count, LineChars.data() + LineLength);
        LineLength += count;
        first = lineFeed != nullptr ? lineFeed + 1 : last;
    }
}

bool LogLineSource::Next() {
    if (PutBackPending) {
        PutBackPending = false;
        return HasLine;
    }
    LineLength = 0;
    for (;;) {
        if (Position == Filled && !Refill()) {
            // The last line needs no carriage return.
            Current = {LineChars.data(), LineLength};
            HasLine = LineLength > 0;
            return HasLine;
        }
        const char* first = Buffer + Position;
        const char* last = Buffer + Filled;
        if (LineLength == 0) {
            // The line feed of a CR LF end leads the next line: drop it here.
            while (first != last && *first == '\n') {
                ++first;
            }
        }
        const char* carriageReturn = static_cast<const char*>(
            std::memchr(first, '\r', static_cast<std::size_t>(last - first)));
        const char* end = carriageReturn != nullptr ? carriageReturn : last;
        auto length = static_cast<std::size_t>(end - first);
        if (carriageReturn != nullptr && LineLength == 0 &&
            std::memchr(first, '\n', length) == nullptr) {
            // Most lines lie whole in the buffer without a line feed: use them in place.
            Position = static_cast<std::size_t>(carriageReturn - Buffer) + 1;
            if (length == 0) {
                continue;
            }
            LineOffset = BufferOffset + static_cast<std::uint64_t>(first - Buffer);
            Current = {first, std::min(length, MaxLineLength)};
            HasLine = true;
            return true;
        }
        Take(first, end);
        if (carriageReturn == nullptr) {
            Position = Filled;
            continue;
        }
        Position = static_cast<std::size_t>(carriageReturn - Buffer) + 1;
        if (LineLength > 0) {
            Current = {LineChars.data(), LineLength};
            HasLine = true;
            return true;
        }
    }
}

} // namespace vorn
