// Program Manager's DDE command strings, "[CreateGroup(Tools)][AddItem(a.exe,A)]", taken
// apart as Program Manager reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ProgmanCommand {
    std::string Name;
    /// Quotes removed from quoted arguments, blanks around unquoted ones trimmed.
    std::vector<std::string> Arguments;
};

/// Reads every "[Name(argument,...)]" of `text` (up to its first zero byte): blanks
/// between commands are skipped; a command may have no parentheses; an argument in
/// double quotes may hold commas, brackets and parentheses; an unquoted one may hold
/// balanced parentheses and brackets ("C:\TOOLS(1)\A.EXE"). On malformed text returns
/// false with `error` naming the fault and its offset, and `commands` holds the commands
/// before it.
bool ParseProgmanCommands(std::string_view text, std::vector<ProgmanCommand>& commands,
                          std::string& error);

} // namespace platform
