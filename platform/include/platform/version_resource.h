// The version resource of a Windows program file, read without Windows: the RT_VERSION
// entry of a PE32 or PE32+ file's resource section, and the walk over its
// VS_VERSIONINFO block that VerQueryValueA makes. 16-bit (NE) files are not read.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

/// Reads `buffer.size()` bytes of the file from `offset`; false when they are not all there.
using ReadFileBytes = std::function<bool(std::uint64_t offset, std::span<char> buffer)>;

enum class VersionResourceError {
    None,
    /// No "MZ" header, or no "PE" header where it points: not a 32-bit program file.
    NotPortableExecutable,
    /// A program file without a resource section or without a version resource.
    NoVersionResource,
    /// Headers or resource entries that point outside the file or contradict each other.
    Malformed,
    /// The file could not be read.
    ReadFailed,
};

struct VersionResource {
    VersionResourceError Error = VersionResourceError::None;
    /// What was wrong, for messages and tests; empty on success.
    std::string Reason;
    /// The VS_VERSIONINFO block as the file holds it.
    std::string Block;
};

/// Blocks larger than this are refused as malformed: real ones are a few kilobytes.
inline constexpr std::uint32_t MaxVersionBlockSize = 1u << 20;

/// Finds the version resource (type 16; the name 1 when there is one, else the first; the
/// neutral language, else US English, else the first) in a file of `fileSize` bytes.
VersionResource ReadVersionResource(const ReadFileBytes& read, std::uint64_t fileSize);
/// The same over bytes in memory.
VersionResource ReadVersionResource(std::span<const char> file);

/// A value in a VS_VERSIONINFO block: where its data starts in the block and its
/// length as the block gives it (characters for text, bytes for binary data).
struct VersionValue {
    std::size_t Offset = 0;
    std::uint32_t Length = 0;
    bool IsText = false;
};

/// Follows a VerQueryValueA path ("\", "\VarFileInfo\Translation",
/// "\StringFileInfo\040904E4\FileVersion"; names compared ignoring case) through a
/// 32-bit (UTF-16) block, never reading past `block`'s end nor its own stated length.
/// A block found without a value of its own gives the length 0. Nothing for a path that
/// names no block or a block that is not sound.
std::optional<VersionValue> FindVersionValue(std::span<const char> block,
                                             std::string_view subBlock);

/// UTF-16 text (little-endian) as code page 1252; characters it lacks become '?'.
std::string Utf16ToAnsi(std::span<const char> text);

} // namespace platform
