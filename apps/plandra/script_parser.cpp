// The language of `plandra script`: a hand-written scanner over one line.
#include "script_parser.h"

#include "platform/ansi_text.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace plandra::cli {

namespace {

using platform::Variant;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

std::string Shown(char c) {
    char text[16];
    if (static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F) {
        std::snprintf(text, sizeof text, "'%c'", c);
    } else {
        std::snprintf(text, sizeof text, "byte 0x%02X", static_cast<unsigned char>(c));
    }
    return text;
}

// Reads one line from left to right; every method leaves Position on the first
// character it did not take.
class LineScanner {
public:
    explicit LineScanner(std::string_view text) : Text(text) {}

    bool AtEnd() {
        SkipBlanks();
        return Position == Text.size();
    }
    char Peek() const { return Position < Text.size() ? Text[Position] : '\0'; }
    bool Take(char c) {
        SkipBlanks();
        if (Peek() != c) {
            return false;
        }
        ++Position;
        return true;
    }
    void SkipBlanks() {
        while (Position < Text.size() && IsBlank(Text[Position])) {
            ++Position;
        }
    }
    std::size_t At() const { return Position; }
    std::string_view Rest() const { return Text.substr(Position); }

    [[noreturn]] void Unexpected(std::string_view expected) {
        SkipBlanks();
        if (Position == Text.size()) {
            throw ScriptSyntaxError("expected " + std::string(expected) +
                                    " at the end of the line");
        }
        throw ScriptSyntaxError("expected " + std::string(expected) + ", found " +
                                Shown(Text[Position]));
    }

    std::string Name() {
        SkipBlanks();
        if (!IsNameStart(Peek())) {
            Unexpected("a member name");
        }
        std::size_t start = Position;
        while (Position < Text.size() && IsNameChar(Text[Position])) {
            ++Position;
        }
        return std::string(Text.substr(start, Position - start));
    }

    // A member path: names joined by dots, each name may take arguments in parentheses
    // written right after it.
    std::vector<ScriptMember> Path() {
        std::vector<ScriptMember> path;
        for (;;) {
            ScriptMember member{Name(), {}};
            if (Peek() == '(') {
                ++Position;
                if (!Take(')')) {
                    member.Args = Values();
                    if (!Take(')')) {
                        Unexpected("',' or ')'");
                    }
                }
            }
            path.push_back(std::move(member));
            if (Peek() != '.') {
                return path;
            }
            ++Position;
        }
    }

    // One or more values separated by commas.
    std::vector<Variant> Values() {
        std::vector<Variant> values;
        do {
            values.push_back(Value());
        } while (Take(','));
        return values;
    }

    Variant Value() {
        SkipBlanks();
        char c = Peek();
        if (c == '"') {
            return QuotedText();
        }
        if (IsNameStart(c)) {
            std::string word = Name();
            if (platform::EqualsIgnoringCase(word, "True")) {
                return platform::VariantBool{true};
            }
            if (platform::EqualsIgnoringCase(word, "False")) {
                return platform::VariantBool{false};
            }
            throw ScriptSyntaxError("'" + word +
                                    "' is not a value: write a number, True, False or a "
                                    "string in quotes");
        }
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
            return Number();
        }
        Unexpected("a value");
    }

    std::string QuotedText() {
        ++Position;
        std::string text;
        for (;;) {
            std::size_t quote = Text.find('"', Position);
            if (quote == std::string_view::npos) {
                throw ScriptSyntaxError("a string without its closing quote");
            }
            text.append(Text.substr(Position, quote - Position));
            Position = quote + 1;
            if (Peek() != '"') {
                return text;
            }
            text += '"';
            ++Position;
        }
    }

    Variant Number() {
        std::size_t start = Position;
        if (Peek() == '-' || Peek() == '+') {
            ++Position;
        }
        bool whole = true;
        bool digits = false;
        while (Position < Text.size()) {
            char c = Text[Position];
            if (c >= '0' && c <= '9') {
                digits = true;
            } else if (c == '.' || c == 'e' || c == 'E') {
                whole = false;
                if ((c == 'e' || c == 'E') && Position + 1 < Text.size() &&
                    (Text[Position + 1] == '-' || Text[Position + 1] == '+')) {
                    ++Position;
                }
            } else {
                break;
            }
            ++Position;
        }
        std::string_view written = Text.substr(start, Position - start);
        if (!digits) {
            throw ScriptSyntaxError("'" + std::string(written) + "' is not a number");
        }
        // from_chars takes no plus sign.
        std::string_view number = written.front() == '+' ? written.substr(1) : written;
        if (whole) {
            std::int64_t value = 0;
            auto [end, error] =
                std::from_chars(number.data(), number.data() + number.size(), value);
            if (error == std::errc() && end == number.data() + number.size()) {
                if (value >= std::numeric_limits<std::int16_t>::min() &&
                    value <= std::numeric_limits<std::int16_t>::max()) {
                    return static_cast<std::int16_t>(value);
                }
                if (value >= std::numeric_limits<std::int32_t>::min() &&
                    value <= std::numeric_limits<std::int32_t>::max()) {
                    return static_cast<std::int32_t>(value);
                }
            }
        }
        double value = 0;
        auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (error == std::errc::result_out_of_range) {
            throw ScriptSyntaxError("the number " + std::string(written) + " is out of range");
        }
        if (error != std::errc() || end != number.data() + number.size()) {
            throw ScriptSyntaxError("'" + std::string(written) + "' is not a number");
        }
        return value;
    }

private:
    std::string_view Text;
    std::size_t Position = 0;
};

ScriptCommand ParseRender(LineScanner& scanner) {
    ScriptCommand command;
    command.Kind = ScriptCommandKind::Render;
    scanner.SkipBlanks();
    if (scanner.Peek() == '"') {
        command.FileName = scanner.QuotedText();
        if (!scanner.AtEnd()) {
            scanner.Unexpected("the end of the line");
        }
    } else {
        command.FileName = std::string(scanner.Rest());
        while (!command.FileName.empty() && IsBlank(command.FileName.back())) {
            command.FileName.pop_back();
        }
    }
    if (command.FileName.empty()) {
        throw ScriptSyntaxError("!render needs the name of the picture to write");
    }
    return command;
}

} // namespace

ScriptCommand ParseScriptLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.size() > MaxScriptLineLength) {
        throw ScriptSyntaxError("the line is longer than " + std::to_string(MaxScriptLineLength) +
                                " bytes");
    }
    LineScanner scanner(line);
    if (scanner.AtEnd() || scanner.Peek() == '#') {
        return {};
    }
    if (scanner.Take('!')) {
        std::string directive = scanner.Name();
        if (directive != "render") {
            throw ScriptSyntaxError("unknown directive !" + directive + " (only !render exists)");
        }
        if (scanner.At() < line.size() && !IsBlank(line[scanner.At()])) {
            scanner.Unexpected("a blank after !render");
        }
        return ParseRender(scanner);
    }

    ScriptCommand command;
    command.Kind = scanner.Take('?') ? ScriptCommandKind::Get : ScriptCommandKind::Call;
    scanner.SkipBlanks();
    const std::size_t pathStart = scanner.At();
    command.Path = scanner.Path();
    command.PathText = std::string(line.substr(pathStart, scanner.At() - pathStart));
    command.Args = std::move(command.Path.back().Args);
    command.Path.back().Args.clear();
    const bool parenthesized = !command.Args.empty() || line[scanner.At() - 1] == ')';

    if (command.Kind == ScriptCommandKind::Get) {
        if (!scanner.AtEnd()) {
            scanner.Unexpected("the end of the line");
        }
        return command;
    }
    if (scanner.Take('=')) {
        if (parenthesized) {
            throw ScriptSyntaxError("a property to set takes no arguments");
        }
        command.Kind = ScriptCommandKind::Let;
        command.Args = {scanner.Value()};
    } else if (!scanner.AtEnd()) {
        if (parenthesized) {
            scanner.Unexpected("the end of the line after the arguments in parentheses");
        }
        if (!IsBlank(line[scanner.At() - 1])) {
            scanner.Unexpected("a blank, '=', '.' or '('");
        }
        command.Args = scanner.Values();
    }
    if (!scanner.AtEnd()) {
        scanner.Unexpected("',' or the end of the line");
    }
    return command;
}

} // namespace plandra::cli
