// Program Manager's DDE command strings taken apart.
#include "platform/progman_commands.h"

#include "platform/ansi_text.h"

namespace platform {

namespace {

class CommandReader {
public:
    explicit CommandReader(std::string_view text) : Text(text.substr(0, text.find('\0'))) {}

    bool Read(std::vector<ProgmanCommand>& commands, std::string& error) {
        commands.clear();
        SkipBlanks();
        while (Position < Text.size()) {
            ProgmanCommand command;
            if (!ReadCommand(command)) {
                error =
                    "Program Manager command at offset " + std::to_string(Position) + ": " + Fault;
                return false;
            }
            commands.push_back(std::move(command));
            SkipBlanks();
        }
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void SkipBlanks() {
        while (Position < Text.size() && IsBlank(Text[Position])) {
            ++Position;
        }
    }

    bool Failed(const char* fault) {
        Fault = fault;
        return false;
    }

    bool ReadCommand(ProgmanCommand& command) {
        if (Text[Position] != '[') {
            return Failed("\"[\" expected");
        }
        ++Position;
        SkipBlanks();
        const std::size_t nameStart = Position;
        while (Position < Text.size() && Text[Position] != '(' && Text[Position] != ']' &&
               Text[Position] != '[' && Text[Position] != ')' && Text[Position] != '"') {
            ++Position;
        }
        command.Name = std::string(TrimBlanks(Text.substr(nameStart, Position - nameStart)));
        if (command.Name.empty()) {
            return Failed("a command name is missing");
        }
        if (Position < Text.size() && Text[Position] == '(') {
            ++Position;
            if (!ReadArguments(command.Arguments)) {
                return false;
            }
        }
        SkipBlanks();
        if (Position >= Text.size() || Text[Position] != ']') {
            return Failed("\"]\" expected");
        }
        ++Position;
        return true;
    }

    // After the "(": arguments up to the matching ")".
    bool ReadArguments(std::vector<std::string>& arguments) {
        SkipBlanks();
        if (Position < Text.size() && Text[Position] == ')') {
            ++Position;
            return true;
        }
        for (;;) {
            std::string argument;
            if (!ReadArgument(argument)) {
                return false;
            }
            arguments.push_back(std::move(argument));
            if (Position >= Text.size()) {
                return Failed("\")\" expected");
            }
            if (Text[Position++] == ')') {
                return true;
            }
        }
    }

    // One argument, stopping at its "," or ")", which is left for the caller.
    bool ReadArgument(std::string& argument) {
        SkipBlanks();
        if (Position < Text.size() && Text[Position] == '"') {
            const std::size_t close = Text.find('"', Position + 1);
            if (close == std::string_view::npos) {
                return Failed("a quoted argument is not closed");
            }
            argument = std::string(Text.substr(Position + 1, close - Position - 1));
            Position = close + 1;
            SkipBlanks();
            if (Position < Text.size() && Text[Position] != ',' && Text[Position] != ')') {
                return Failed("\",\" or \")\" expected after a quoted argument");
            }
            return true;
        }
        const std::size_t start = Position;
        // Inner parentheses and brackets must close in the order they opened; the depth
        // never exceeds the text's length, so the stack is bounded by the input.
        std::string open;
        while (Position < Text.size()) {
            const char c = Text[Position];
            if (c == '"') {
                return Failed("a quote inside an unquoted argument");
            }
            if (c == '(' || c == '[') {
                open.push_back(c == '(' ? ')' : ']');
            } else if (c == ')' || c == ']') {
                if (open.empty()) {
                    if (c == ']') {
                        return Failed("\")\" expected");
                    }
                    break;
                }
                if (open.back() != c) {
                    return Failed("parentheses and brackets do not match");
                }
                open.pop_back();
            } else if (c == ',' && open.empty()) {
                break;
            }
            ++Position;
        }
        if (!open.empty()) {
            return Failed("an argument's parenthesis or bracket is not closed");
        }
        argument = std::string(TrimBlanks(Text.substr(start, Position - start)));
        return true;
    }

    std::string_view Text;
    std::size_t Position = 0;
    const char* Fault = "";
};

} // namespace

bool ParseProgmanCommands(std::string_view text, std::vector<ProgmanCommand>& commands,
                          std::string& error) {
    return CommandReader(text).Read(commands, error);
}

} // namespace platform
