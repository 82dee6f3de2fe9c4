// The log's lines as the uninstaller reads them: a line ends at a carriage return,
// every line feed is dropped wherever it stands, empty lines are skipped, and a line
// keeps at most 65,535 characters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace vorn {

/// The bytes of a log, read front to back.
class LogByteSource {
public:
    virtual ~LogByteSource() = default;

    /// Fills the front of `buffer`; returns how many bytes it filled, 0 at the end.
    virtual std::size_t Read(std::span<char> buffer) = 0;
};

/// Reads an open stream; a read error counts as the end of the log.
class StreamByteSource final : public LogByteSource {
public:
    explicit StreamByteSource(std::istream& stream) : Stream(stream) {}
    std::size_t Read(std::span<char> buffer) override;

private:
    std::istream& Stream;
};

class LogLineSource {
public:
    /// The longest line the reader keeps; the rest of a longer line is dropped. Logs
    /// carry whole registry and INI values, up to the 30,720 bytes of a binary value as
    /// hexadecimal text: a line cut shorter would put back a value cut short.
    static constexpr std::size_t MaxLineLength = 65535;

    /// Reads the bytes as the source hands them out.
    explicit LogLineSource(LogByteSource& bytes);
    /// Reads a log held whole in memory, in place; the text must outlive the source.
    explicit LogLineSource(std::string_view text);

    /// Moves to the next non-empty line; false at the end of the log.
    bool Next();

    /// Makes the next call of Next give the current line again, for a follow-on line
    /// that turned out to be a record of its own.
    void PutBack() { PutBackPending = true; }

    /// The current line; it stays valid until the next call of Next.
    std::string_view Line() const { return Current; }

    /// Byte offset in the log of the line's first character.
    std::uint64_t Offset() const { return LineOffset; }

private:
    bool Refill();
    void Take(const char* first, const char* last);

    LogByteSource* Bytes = nullptr;
    std::unique_ptr<char[]> Storage;
    const char* Buffer = nullptr;
    std::size_t Position = 0;
    std::size_t Filled = 0;
    std::uint64_t BufferOffset = 0;
    bool AtEnd = false;

    // A line that spans two reads or holds line feeds is put together here; any other
    // is used where it stands in the buffer.
    std::vector<char> LineChars = std::vector<char>(MaxLineLength);
    std::string_view Current;
    std::size_t LineLength = 0;
    std::uint64_t LineOffset = 0;
    bool HasLine = false;
    bool PutBackPending = false;
};

} // namespace vorn
