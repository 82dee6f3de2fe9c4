// Fuzz target: arbitrary bytes read as Program Manager command strings must give commands
// or a clear error, never a crash, a hang or unbounded memory; commands written back with
// quoted arguments must read back the same.
#include "platform/progman_commands.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<platform::ProgmanCommand> commands;
    std::string error;
    const bool parsed = platform::ParseProgmanCommands(text, commands, error);
    if (parsed != error.empty() || (!parsed && error.find("offset") == std::string::npos)) {
        std::abort();
    }
    std::string written;
    for (const platform::ProgmanCommand& command : commands) {
        if (command.Name.empty()) {
            std::abort();
        }
        // No argument holds a quote, so every one can be written back quoted.
        std::string arguments;
        for (const std::string& argument : command.Arguments) {
            if (argument.find('"') != std::string::npos) {
                std::abort();
            }
            arguments += (arguments.empty() ? "\"" : ",\"") + argument + "\"";
        }
        written += "[" + command.Name + "(" + arguments + ")]";
    }
    std::vector<platform::ProgmanCommand> reread;
    if (!platform::ParseProgmanCommands(written, reread, error) ||
        reread.size() != commands.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < reread.size(); ++i) {
        if (reread[i].Arguments != commands[i].Arguments) {
            std::abort();
        }
    }
    return 0;
}
