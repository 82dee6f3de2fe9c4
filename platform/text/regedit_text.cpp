// REGEDIT4 text: reading it line by line with errors that name the line, and writing it.
#include "platform/regedit_text.h"

#include "platform/ansi_text.h"

#include <map>

namespace platform {

namespace {

constexpr std::uint32_t RegBinary = 3;
constexpr std::uint32_t RegSz = 1;
constexpr std::uint32_t RegDword = 4;
// REGEDIT breaks hex data into lines of about this many characters.
constexpr std::size_t HexLineWidth = 76;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One to `maxDigits` hexadecimal digits and nothing else.
bool ParseHex(std::string_view digits, std::size_t maxDigits, std::uint32_t& value) {
    if (digits.empty() || digits.size() > maxDigits) {
        return false;
    }
    value = 0;
    for (char c : digits) {
        const int digit = platform::HexDigitValue(c);
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return true;
}

// The quoted text starting at text[pos], a quote; pos ends after the closing quote.
bool ReadQuoted(std::string_view text, std::size_t& pos, std::string& out, std::string& problem) {
    out.clear();
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (pos + 1 == text.size() || (text[pos + 1] != '\\' && text[pos + 1] != '"')) {
                problem = "a backslash in quotes must be followed by \\ or \"";
                return false;
            }
            ++pos;
        }
        out.push_back(text[pos]);
    }
    problem = "a quoted text has no closing quote";
    return false;
}

bool ParseBytes(std::string_view list, std::string& bytes, std::string& problem) {
    bytes.clear();
    list = Trimmed(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = Trimmed(list.substr(0, comma));
        std::uint32_t byte = 0;
        if (!ParseHex(item, 2, byte)) {
            problem = "\"" + std::string(item) + "\" is not a byte of two hexadecimal digits";
            return false;
        }
        bytes.push_back(static_cast<char>(byte));
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
        if (Trimmed(list).empty()) {
            problem = "a byte is missing after the last comma";
            return false;
        }
    }
    return true;
}

// The data after "=": "text", dword:, hex: or hex(N):.
bool ParseData(std::string_view data, RegeditValue& value, std::string& problem) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 0;
        if (!ReadQuoted(data, pos, value.Data, problem)) {
            return false;
        }
        if (!Trimmed(data.substr(pos)).empty()) {
            problem = "text follows the closing quote";
            return false;
        }
        value.Type = RegSz;
        value.Data.push_back('\0');
        return true;
    }
    if (StartsWithIgnoringCase(data, "dword:")) {
        std::uint32_t number = 0;
        if (!ParseHex(Trimmed(data.substr(6)), 8, number)) {
            problem = "dword: must be followed by one to eight hexadecimal digits";
            return false;
        }
        value.Type = RegDword;
        value.Data.clear();
        for (int i = 0; i < 4; ++i) {
            value.Data.push_back(static_cast<char>((number >> (8 * i)) & 0xFF));
        }
        return true;
    }
    if (StartsWithIgnoringCase(data, "hex:")) {
        value.Type = RegBinary;
        return ParseBytes(data.substr(4), value.Data, problem);
    }
    if (StartsWithIgnoringCase(data, "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos ||
            !ParseHex(data.substr(4, close - 4), 8, value.Type)) {
            problem = "hex( must be followed by a type in hexadecimal and \"):\"";
            return false;
        }
        return ParseBytes(data.substr(close + 2), value.Data, problem);
    }
    if (data == "-") {
        problem = "\"=-\" deletes a value; this file only lists values";
        return false;
    }
    problem = "a value must be \"text\", dword:, hex: or hex(type):";
    return false;
}

// A key line's path: a known root, then names that are neither empty nor too long.
bool CheckPath(std::string_view path, std::string& canonical, std::string& problem) {
    if (!path.empty() && path.front() == '-') {
        problem = "[-...] deletes a key; this file only lists keys";
        return false;
    }
    const std::size_t rootEnd = path.find('\\');
    const int root = RegeditRootIndex(path.substr(0, rootEnd));
    if (root < 0) {
        problem = "\"" + std::string(path.substr(0, rootEnd)) + "\" is not a registry root";
        return false;
    }
    canonical = RegeditRootNames[root];
    std::size_t depth = 0;
    std::size_t start = rootEnd;
    while (start != std::string_view::npos) {
        const std::size_t end = path.find('\\', start + 1);
        const std::string_view name = path.substr(start + 1, end - start - 1);
        if (name.empty()) {
            problem = "a key path holds an empty name";
            return false;
        }
        if (name.size() > MaxKeyNameLength) {
            problem = "a key name is longer than 255 characters";
            return false;
        }
        if (!IsRegeditName(name)) {
            problem = "a key name holds a zero or carriage return character";
            return false;
        }
        if (++depth > MaxKeyDepth) {
            problem = "a key path is more than 512 keys deep";
            return false;
        }
        canonical += '\\';
        canonical += name;
        start = end;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

bool WritableAsText(const RegeditValue& value) {
    const std::string& data = value.Data;
    return value.Type == RegSz && !data.empty() && data.find('\0') == data.size() - 1 &&
           data.find_first_of("\r\n") == std::string::npos;
}

void AppendHex(std::string& out, std::uint32_t number, int digits) {
    constexpr char Digits[] = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out.push_back(Digits[(number >> shift) & 0xF]);
    }
}

void AppendValue(std::string& out, const RegeditValue& value) {
    const std::size_t lineStart = out.size();
    out += value.Name.empty() ? std::string("@") : Quoted(value.Name);
    out += '=';
    if (WritableAsText(value)) {
        out += Quoted(std::string_view(value.Data).substr(0, value.Data.size() - 1));
    } else if (value.Type == RegDword && value.Data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = (number << 8) | static_cast<unsigned char>(value.Data[std::size_t(i)]);
        }
        out += "dword:";
        AppendHex(out, number, 8);
    } else {
        if (value.Type == RegBinary) {
            out += "hex:";
        } else {
            out += "hex(";
            int digits = 1;
            while (digits < 8 && (value.Type >> (4 * digits)) != 0) {
                ++digits;
            }
            AppendHex(out, value.Type, digits);
            out += "):";
        }
        std::size_t lineLength = out.size() - lineStart;
        for (std::size_t i = 0; i < value.Data.size(); ++i) {
            if (i > 0) {
                out += ',';
                ++lineLength;
                if (lineLength + 3 > HexLineWidth) {
                    out += "\\\r\n  ";
                    lineLength = 2;
                }
            }
            AppendHex(out, static_cast<unsigned char>(value.Data[i]), 2);
            lineLength += 2;
        }
    }
    out += "\r\n";
}

} // namespace

bool IsRegeditName(std::string_view name) {
    return name.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

int RegeditRootIndex(std::string_view rootName) {
    for (int i = 0; i < 5; ++i) {
        if (EqualsIgnoringCase(rootName, RegeditRootNames[i])) {
            return i;
        }
    }
    return -1;
}

bool ParseRegedit(std::string_view text, std::vector<RegeditKey>& keys, std::string& error) {
    keys.clear();
    bool header = false;
    // The current key's values by name without regard to case: a name given twice keeps
    // its first place and its last data, as an import into the registry would.
    std::map<std::string, std::size_t> valueIndex;
    std::size_t pos = 0;
    std::size_t lineNumber = 0;
    const auto nextPhysicalLine = [&]() {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return Trimmed(line);
    };
    while (pos < text.size()) {
        std::string line(nextPhysicalLine());
        const std::size_t firstLine = lineNumber;
        while (!line.empty() && line.back() == '\\') {
            line.pop_back();
            if (pos >= text.size()) {
                break;
            }
            line += nextPhysicalLine();
        }
        const auto fail = [&](const std::string& problem) {
            error = "line " + std::to_string(firstLine) + ": " + problem;
            keys.clear();
            return false;
        };
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (!header) {
            if (line != "REGEDIT4") {
                return fail("not a REGEDIT4 file (its first line must be REGEDIT4)");
            }
            header = true;
            continue;
        }
        std::string problem;
        if (line.front() == '[') {
            if (line.back() != ']') {
                return fail("a key line must end with \"]\"");
            }
            RegeditKey key;
            if (!CheckPath(std::string_view(line).substr(1, line.size() - 2), key.Path, problem)) {
                return fail(problem);
            }
            keys.push_back(std::move(key));
            valueIndex.clear();
            continue;
        }
        if (line.front() != '"' && line.front() != '@') {
            return fail("a line must be a key in brackets, a value or a comment");
        }
        if (keys.empty()) {
            return fail("a value comes before the first key");
        }
        RegeditValue value;
        std::size_t at = 1;
        if (line.front() == '"') {
            at = 0;
            if (!ReadQuoted(line, at, value.Name, problem)) {
                return fail(problem);
            }
            if (!IsRegeditName(value.Name)) {
                return fail("a value name holds a zero or carriage return character");
            }
        }
        const std::string_view rest = Trimmed(std::string_view(line).substr(at));
        if (rest.empty() || rest.front() != '=') {
            return fail("\"=\" must follow the value's name");
        }
        if (!ParseData(Trimmed(rest.substr(1)), value, problem)) {
            return fail(problem);
        }
        std::vector<RegeditValue>& values = keys.back().Values;
        auto [known, added] = valueIndex.try_emplace(UpperAnsi(value.Name), values.size());
        if (added) {
            values.push_back(std::move(value));
        } else {
            values[known->second].Type = value.Type;
            values[known->second].Data = std::move(value.Data);
        }
    }
    if (!header) {
        error = "line 1: not a REGEDIT4 file (its first line must be REGEDIT4)";
        return false;
    }
    return true;
}

std::string RegeditText(std::span<const RegeditKey> keys) {
    std::string out = "REGEDIT4\r\n";
    for (const RegeditKey& key : keys) {
        out += "\r\n[" + key.Path + "]\r\n";
        for (const RegeditValue& value : key.Values) {
            AppendValue(out, value);
        }
    }
    return out;
}

} // namespace platform
