// Fuzz target: arbitrary bytes read as plandra script lines must each end in a command
// or a syntax error, never a crash or a hang; a command has a member to reach.
#include "apps/plandra/script_parser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        try {
            plandra::cli::ScriptCommand command = plandra::cli::ParseScriptLine(line);
            const bool member = command.Kind == plandra::cli::ScriptCommandKind::Get ||
                                command.Kind == plandra::cli::ScriptCommandKind::Let ||
                                command.Kind == plandra::cli::ScriptCommandKind::Call;
            if ((member && (command.Path.empty() || command.PathText.empty())) ||
                (command.Kind == plandra::cli::ScriptCommandKind::Let &&
                 command.Args.size() != 1) ||
                (command.Kind == plandra::cli::ScriptCommandKind::Render &&
                 command.FileName.empty())) {
                std::abort();
            }
        } catch (const plandra::cli::ScriptSyntaxError&) {
        }
    }
    return 0;
}
