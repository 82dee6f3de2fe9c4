// The answer file of option /M=: lines "name = value" that preset variables for the
// set-variable built-in.
#pragma once

#include "engine.h"

#include <optional>
#include <string_view>
#include <vector>

namespace platform {
class FileService;
}

namespace vorn {

/// Answer files above this size are refused rather than read.
inline constexpr std::size_t MaxAnswerFileSize = 1 << 20;

/// The lines of `text` that hold an equals sign, name and value trimmed of blanks; other
/// lines are passed over.
std::vector<AnswerLine> ParseAnswerText(std::string_view text);

/// Reads and parses the file; nullopt when it cannot be read or is too large.
std::optional<std::vector<AnswerLine>> ReadAnswerFile(platform::FileService& files,
                                                      std::string_view path);

} // namespace vorn
