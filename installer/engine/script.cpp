// The compiled script: record sizes and bounds-checked record access.
#include "script.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vorn {

namespace {

constexpr std::array<RecordShape, op::LastAction + 1> Shapes{{
    {43, 2, 1}, // 0 install file(s)
    {0, 0, 0},  // 1 not valid
    {2, 1, 4},  // 2 passed over
    {2, 0, 2},  // 3 display message
    {2, 0, 1},  // 4 Program Manager command
    {1, 3, 0},  // 5 edit INI file
    {19, 0, 0}, // 6 display graphic
    {2, 3, 0},  // 7 execute program
    {2, 0, 0},  // 8 end of block
    {2, 2, 1},  // 9 call DLL function
    {3, 3, 0},  // 10 edit registry
    {2, 1, 0},  // 11 delete file
    {2, 2, 0},  // 12 if / while
    {1, 0, 0},  // 13 else
    {0, 0, 0},  // 14 not valid
    {1, 0, 0},  // 15 start Program Manager conversation
    {1, 0, 0},  // 16 end Program Manager conversation
    {1, 1, 0},  // 17 create directory
    {43, 3, 1}, // 18 install file(s), second form
    {0, 0, 0},  // 19 not valid
    {13, 2, 0}, // 20 custom dialog set
    {2, 2, 0},  // 21 get system information
    {1, 1, 0},  // 22 get temporary file name
    {6, 1, 0},  // 23 play sound or video
    {1, 0, 0},  // 24 exit installation
    {2, 3, 0},  // 25 install ODBC driver
    {2, 2, 0},  // 26 configure ODBC data source
    {1, 0, 0},  // 27 filler byte
    {1, 1, 0},  // 28 add text to log
    {1, 2, 0},  // 29 rename file
    {2, 1, 0},  // 30 set log file
}};

} // namespace

std::optional<RecordShape> ShapeOf(std::uint8_t opcode) {
    if (opcode == op::EndOfScript) {
        return RecordShape{1, 0, 0};
    }
    if (opcode > op::LastAction || Shapes[opcode].FixedBytes == 0) {
        return std::nullopt;
    }
    return Shapes[opcode];
}

bool LanguageGroupsAfterFirstString(std::uint8_t opcode) {
    return opcode == op::InstallFiles || opcode == op::InstallFiles2;
}

void ActionRecord::SetFlags(std::uint8_t flags) {
    if (FixedBytes >= 2) {
        Bytes[1] = flags;
    }
}

std::uint8_t ActionRecord::FixedByte(std::size_t index) const {
    return index < FixedBytes ? Bytes[index] : 0;
}

std::uint16_t ActionRecord::FixedWord(std::size_t index) const {
    return static_cast<std::uint16_t>(FixedByte(index) | (FixedByte(index + 1) << 8));
}

std::uint32_t ActionRecord::FixedDword(std::size_t index) const {
    return static_cast<std::uint32_t>(FixedWord(index)) |
           (static_cast<std::uint32_t>(FixedWord(index + 2)) << 16);
}

std::string_view ActionRecord::NthString(std::size_t n) const {
    // The record was checked when it was made: every string ends inside it.
    std::size_t offset = FixedBytes;
    for (std::size_t i = 0; i < n; ++i) {
        offset += std::strlen(reinterpret_cast<const char*>(Bytes.data() + offset)) + 1;
    }
    return reinterpret_cast<const char*>(Bytes.data() + offset);
}

std::string_view ActionRecord::Once(std::size_t index) const {
    if (index >= Shape.OnceStrings) {
        return {};
    }
    std::size_t groups = std::size_t{Shape.StringsPerLanguage} * Languages;
    bool groupsFirst = LanguageGroupsAfterFirstString(Opcode());
    std::size_t n = (groupsFirst && index > 0) ? index + groups : index;
    return NthString(n);
}

std::string_view ActionRecord::PerLanguage(std::size_t index) const {
    if (index >= Shape.StringsPerLanguage) {
        return {};
    }
    std::size_t before = LanguageGroupsAfterFirstString(Opcode())
                             ? std::min<std::size_t>(Shape.OnceStrings, 1)
                             : Shape.OnceStrings;
    return NthString(before + std::size_t{Shape.StringsPerLanguage} * Language + index);
}

bool ActionRecord::OverwritePerLanguage(std::size_t index, std::size_t offset,
                                        std::string_view text) {
    if (index >= Shape.StringsPerLanguage) {
        return false;
    }
    std::string_view target = PerLanguage(index);
    if (offset > target.size() || text.size() > target.size() - offset ||
        text.find('\0') != std::string_view::npos) {
        return false;
    }
    auto at = static_cast<std::size_t>(reinterpret_cast<const std::uint8_t*>(target.data()) -
                                       Bytes.data()) +
              offset;
    std::memcpy(Bytes.data() + at, text.data(), text.size());
    return true;
}

std::span<const std::uint8_t> ActionRecord::Trailing() const {
    return Bytes.subspan(FixedBytes + StringBytes);
}

Script::Script(std::span<std::uint8_t> bytes, std::uint8_t languages, std::uint8_t language)
    : Bytes(bytes), LanguageCount(languages == 0 ? 1 : languages),
      LanguageIndex(language < LanguageCount ? language : 0) {}

std::optional<std::uint8_t> Script::ByteAt(std::uint32_t offset) const {
    if (offset >= Bytes.size()) {
        return std::nullopt;
    }
    return Bytes[offset];
}

std::optional<ActionRecord> Script::RecordAt(std::uint32_t offset) const {
    if (offset >= Bytes.size()) {
        return std::nullopt;
    }
    std::optional<RecordShape> shape = ShapeOf(Bytes[offset]);
    if (!shape) {
        return std::nullopt;
    }
    std::size_t available = Bytes.size() - offset;
    if (shape->FixedBytes > available) {
        return std::nullopt;
    }
    const std::uint8_t* start = Bytes.data() + offset;
    std::size_t size = shape->FixedBytes;
    std::size_t strings =
        shape->OnceStrings + std::size_t{shape->StringsPerLanguage} * LanguageCount;
    for (std::size_t i = 0; i < strings; ++i) {
        const void* zero = std::memchr(start + size, 0, available - size);
        if (zero == nullptr) {
            return std::nullopt;
        }
        size = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start) + 1;
    }
    std::size_t stringBytes = size - shape->FixedBytes;
    if (Bytes[offset] == op::DisplayGraphic) {
        std::size_t extra = GraphicBytesPerExtraLanguage * (LanguageCount - 1u);
        if (extra > available - size) {
            return std::nullopt;
        }
        size += extra;
    }
    ActionRecord record;
    record.Bytes = Bytes.subspan(offset, size);
    record.RecordOffset = offset;
    record.Shape = *shape;
    record.FixedBytes = shape->FixedBytes;
    record.StringBytes = stringBytes;
    record.Languages = LanguageCount;
    record.Language = LanguageIndex;
    return record;
}

} // namespace vorn
