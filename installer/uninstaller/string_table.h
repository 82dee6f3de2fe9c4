// The uninstaller's user-visible texts, by number, each replaceable from the settings
// file beside the program.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace rescind {

/// String numbers the program and the removal engine use.
namespace text {
inline constexpr int LogsFilter = 1;
inline constexpr int MessageCaption = 2;
inline constexpr int CannotOpenLog = 3;
inline constexpr int InvalidLog = 4;
inline constexpr int Uninstall = 25;
inline constexpr int InterbaseRunning = 28;
inline constexpr int RemovingFile = 29;
inline constexpr int RemovingSystemFile = 30;
inline constexpr int RemovingDirectory = 31;
inline constexpr int RemovingEmptyDirectories = 32;
inline constexpr int RemovingIniFile = 33;
inline constexpr int EditingIniFile = 34;
inline constexpr int RemovingKey = 35;
inline constexpr int EditingKey = 36;
inline constexpr int RemovingIcon = 37;
inline constexpr int SharedFileQuestion = 38;
inline constexpr int SharedFileAdvice = 39;
inline constexpr int Unregistering = 40;
inline constexpr int RemovingSubSystem = 44;
inline constexpr int RemovingKeyTree = 56;
inline constexpr int ExecutingProgram = 57;
inline constexpr int DeletingService = 58;
inline constexpr int RemoveSharedComponent = 62;
inline constexpr int AdminNeeded = 67;
inline constexpr int RebootNeeded = 68;
/// The status-file template ("^" for a line break); no built-in text of its own.
inline constexpr int StatusTemplate = 1000;
/// The heading of the list of what was left behind, and the refusal of an unsafe log.
inline constexpr int LeftBehindHeading = 1001;
inline constexpr int UnsafeLog = 1002;
} // namespace text

/// The string-table entry, empty for numbers the table does not hold.
std::string_view BuiltInString(int number);

/// Texts by number: the settings file's override when there is one, else the built-in.
struct StringTable {
    /// The override of a number, with its line-break marks already replaced.
    std::function<std::optional<std::string>(int number)> Overrides;

    std::string Text(int number) const;
};

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
/// The pattern with its first "%s" replaced by `text`.
std::string FormatWithText(std::string_view pattern, std::string_view text);

} // namespace rescind
