// Reads a DXF file as text lines.
#include "dxf_line_source.h"

#include "control/database/control_error.h"

#include <algorithm>
#include <cstring>

namespace plandra {

namespace {

constexpr std::size_t BufferSize = 1 << 20;

// The length as a Long, as the file functions have always reported it: files of
// 2 GB and more are beyond it.
std::uint64_t FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    long size = std::ftell(file);
    std::rewind(file);
    return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

} // namespace

DxfLineSource DxfLineSource::Open(const std::string& fileName) {
    platform::UniqueStdioFile file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        throw ControlError::Runtime(RuntimeError::FileNotFound);
    }
    const std::uint64_t length = FileSize(file.Get());
    return DxfLineSource(std::move(file), length);
}

DxfLineSource::DxfLineSource(platform::UniqueStdioFile file, std::uint64_t length)
    : File(std::move(file)), FileLength(length),
      Buffer(static_cast<std::size_t>(std::min<std::uint64_t>(BufferSize, length + 1))) {}

bool DxfLineSource::Refill() {
    if (Begin < End) {
        std::memmove(Buffer.data(), Buffer.data() + Begin, End - Begin);
    }
    End -= Begin;
    Begin = 0;
    std::size_t read = std::fread(Buffer.data() + End, 1, Buffer.size() - End, File.Get());
    End += read;
    return read > 0;
}

void DxfLineSource::SkipLineFeedAfterCarriageReturn() {
    if (Begin == End) {
        Refill();
    }
    if (Begin < End && Buffer[Begin] == '\n') {
        ++Begin;
        ++Consumed;
    }
}

std::string_view DxfLineSource::ReadLineView() {
    if (AtEnd()) {
        throw ControlError::Runtime(RuntimeError::InputPastEndOfFile);
    }
    if (Begin == End) {
        Refill();
    }
    // Most lines lie whole in the buffer: hand out a view of them.
    const char* start = Buffer.data() + Begin;
    if (const auto* carriageReturn =
            static_cast<const char*>(std::memchr(start, '\r', End - Begin))) {
        auto length = static_cast<std::size_t>(carriageReturn - start);
        Begin += length + 1;
        Consumed += length + 1;
        if (Begin < End) {
            if (Buffer[Begin] == '\n') {
                ++Begin;
                ++Consumed;
            }
            return {start, length};
        }
        LongLine.assign(start, length);
        SkipLineFeedAfterCarriageReturn();
        return LongLine;
    }
    // The line goes on past the buffer: gather it.
    LongLine.clear();
    for (;;) {
        if (Begin == End && !Refill()) {
            // The file is shorter than it was when opened: the line ends here.
            Consumed = FileLength;
            return LongLine;
        }
        start = Buffer.data() + Begin;
        const auto* carriageReturn =
            static_cast<const char*>(std::memchr(start, '\r', End - Begin));
        if (carriageReturn == nullptr) {
            LongLine.append(start, End - Begin);
            Consumed += End - Begin;
            Begin = End;
            if (AtEnd()) {
                return LongLine;
            }
            continue;
        }
        auto length = static_cast<std::size_t>(carriageReturn - start);
        LongLine.append(start, length);
        Begin += length + 1;
        Consumed += length + 1;
        SkipLineFeedAfterCarriageReturn();
        return LongLine;
    }
}

std::string_view DxfLineSource::ReadBlock() {
    if (AtEnd() || (Begin == End && !Refill())) {
        return {};
    }
    const auto size =
        static_cast<std::size_t>(std::min<std::uint64_t>(End - Begin, FileLength - Consumed));
    const std::string_view block(Buffer.data() + Begin, size);
    Begin = End;
    Consumed += size;
    return block;
}

void DxfLineSource::ReadLine(std::string& line) {
    line.assign(ReadLineView());
}

} // namespace plandra
