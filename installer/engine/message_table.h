// The message table: the 45 texts of the chosen language that the engine shows by index.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

/// Indexes of the messages the interpreter and the message box use.
namespace msg {
inline constexpr std::size_t RunAborted = 1;
inline constexpr std::size_t WriteFailure = 2;
inline constexpr std::size_t ProgramNotStarted = 5;
inline constexpr std::size_t LibraryNotLoaded = 6;
inline constexpr std::size_t InternalError = 7;
inline constexpr std::size_t ErrorTitle = 17;
inline constexpr std::size_t QuestionTitle = 18;
inline constexpr std::size_t OkCaption = 27;
inline constexpr std::size_t CancelCaption = 28;
inline constexpr std::size_t ConfirmExit = 31;
inline constexpr std::size_t YesCaption = 35;
inline constexpr std::size_t NoCaption = 36;
inline constexpr std::size_t AlternativeYesCaption = 38;
inline constexpr std::size_t AlternativeNoCaption = 39;
inline constexpr std::size_t AlternativeCancelCaption = 40;
inline constexpr std::size_t RegistryWriteFailed = 44;
} // namespace msg

/// The engine's own texts for when no message table exists yet.
inline constexpr std::string_view DefaultErrorText = "Internal Error";
inline constexpr std::string_view DefaultErrorTitle = "Installation Aborted!";

class MessageTable {
public:
    static constexpr std::size_t Count = 45;

    /// The texts in index order; missing ones are empty, extra ones ignored.
    explicit MessageTable(const std::vector<std::string>& texts);
    MessageTable(const MessageTable&) = delete;
    MessageTable& operator=(const MessageTable&) = delete;

    /// The text at `index`, empty beyond the table.
    std::string_view Text(std::size_t index) const;
    /// Zero-terminated text at `index`, for library functions.
    const char* CText(std::size_t index) const;
    /// The 45 zero-terminated texts as library functions receive them.
    const char* const* Pointers() const { return TextPointers.data(); }

private:
    std::array<std::string, Count> Texts;
    std::array<const char*, Count> TextPointers{};
};

/// A message with a "%s" in it, as sprintf would fill it: the first "%s" takes the
/// argument, "%%" gives "%"; any other "%" is copied as it stands, so a script's text
/// can never make the formatting read arguments that are not there. Cut to `size` - 1.
std::string FormatMessageText(std::string_view format, std::string_view argument, std::size_t size);
/// The same with several arguments: each "%s" takes the next one in turn; a "%s" beyond
/// the last argument gives nothing.
std::string FormatMessageText(std::string_view format, std::span<const std::string_view> arguments,
                              std::size_t size);

} // namespace vorn
