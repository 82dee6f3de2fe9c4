// The walk over a VS_VERSIONINFO block: each node holds its length, its value's length,
// its type (1 text, 0 binary), a UTF-16 key, its value and its children, each part
// starting on a four-byte boundary.
#include "platform/ansi_text.h"
#include "platform/version_resource.h"

namespace platform {

namespace {

constexpr std::size_t HeaderSize = 6;

std::uint16_t U16(std::span<const char> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

struct Node {
    std::size_t End = 0;
    std::string Key;
    std::size_t ValueStart = 0;
    std::uint32_t ValueLength = 0; ///< In the node's units: characters for text.
    bool IsText = false;
    std::size_t ChildrenStart = 0;
};

/// The node at `at`, which must end by `limit`; nothing when it does not fit.
std::optional<Node> ReadNode(std::span<const char> block, std::size_t at, std::size_t limit) {
    if (at + HeaderSize > limit) {
        return std::nullopt;
    }
    const std::size_t length = U16(block, at);
    if (length < HeaderSize || at + length > limit) {
        return std::nullopt;
    }
    Node node;
    node.End = at + length;
    node.IsText = U16(block, at + 4) == 1;
    std::size_t keyEnd = at + HeaderSize;
    while (keyEnd + 2 <= node.End && U16(block, keyEnd) != 0) {
        keyEnd += 2;
    }
    if (keyEnd + 2 > node.End) {
        return std::nullopt;
    }
    node.Key = Utf16ToAnsi(block.subspan(at + HeaderSize, keyEnd - at - HeaderSize));
    node.ValueStart = std::min(Align4(keyEnd + 2), node.End);
    const std::size_t unit = node.IsText ? 2 : 1;
    const std::size_t room = (node.End - node.ValueStart) / unit;
    node.ValueLength = static_cast<std::uint32_t>(std::min<std::size_t>(U16(block, at + 2), room));
    node.ChildrenStart = std::min(Align4(node.ValueStart + node.ValueLength * unit), node.End);
    return node;
}

} // namespace

std::optional<VersionValue> FindVersionValue(std::span<const char> block,
                                             std::string_view subBlock) {
    if (block.size() < HeaderSize) {
        return std::nullopt;
    }
    std::optional<Node> node =
        ReadNode(block, 0, std::min<std::size_t>(block.size(), U16(block, 0)));
    // A block of 16-bit Windows has no type field and an 8-bit key: not read here.
    if (!node || node->Key != "VS_VERSION_INFO") {
        return std::nullopt;
    }
    for (std::string_view name : SplitBackslashNames(subBlock)) {
        std::optional<Node> found;
        for (std::size_t at = node->ChildrenStart; !found && at < node->End;) {
            std::optional<Node> child = ReadNode(block, at, node->End);
            if (!child) {
                return std::nullopt;
            }
            if (EqualsIgnoringCase(child->Key, name)) {
                found = std::move(child);
            } else {
                at = Align4(child->End);
            }
        }
        if (!found) {
            return std::nullopt;
        }
        node = std::move(found);
    }
    return VersionValue{node->ValueStart, node->ValueLength, node->IsText};
}

std::string Utf16ToAnsi(std::span<const char> text) {
    // Code page 1252's characters 0x80 to 0x9F; the rest of its upper half is Latin-1.
    static constexpr std::uint16_t Upper[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string ansi;
    for (std::size_t at = 0; at + 2 <= text.size(); at += 2) {
        const std::uint16_t c = U16(text, at);
        if (c == 0) {
            break;
        }
        char converted = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            converted = static_cast<char>(c);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (Upper[i] == c) {
                    converted = static_cast<char>(0x80 + i);
                }
            }
        }
        ansi.push_back(converted);
    }
    return ansi;
}

} // namespace platform
