// The engine's own script-callable functions.
#include "builtin_functions.h"

#include "disk_space_builtin.h"
#include "file_search_builtins.h"
#include "font_builtin.h"
#include "media_builtins.h"
#include "odbc_actions.h"
#include "platform/ansi_text.h"
#include "requirement_builtins.h"
#include "self_registration.h"
#include "startup_file_builtins.h"
#include "value_builtins.h"
#include "wizard_pages_builtin.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace vorn {

namespace {

long DecimalNumber(std::string_view text) {
    // As atoi: blanks, a sign, digits; saturates instead of overflowing.
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string_view::npos) {
        return 0;
    }
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') {
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 999999999L);
    }
    return negative ? -value : value;
}

// A path cut to its directory: everything from the last backslash on goes.
std::string DirectoryOf(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(0, slash));
}

const AnswerLine* FindAnswer(const Engine& engine, std::string_view name) {
    for (const AnswerLine& line : engine.Answers) {
        if (platform::EqualsIgnoringCase(platform::TrimBlanks(line.Name), name)) {
            return &line;
        }
    }
    return nullptr;
}

// f16 modes (flag bits 2 to 5 as a number).
enum class SetMode {
    AddOne = 1,
    SubtractOne = 2,
    RemoveTrailingBackslashes = 3,
    LongPath = 4,
    ShortPath = 5,
    UpperCase = 6,
    LowerCase = 7,
};

std::string ApplyMode(Engine& engine, long mode, std::string text) {
    switch (static_cast<SetMode>(mode)) {
    case SetMode::AddOne:
        return std::to_string(DecimalNumber(text) + 1);
    case SetMode::SubtractOne:
        return std::to_string(DecimalNumber(text) - 1);
    case SetMode::RemoveTrailingBackslashes:
        while (!text.empty() && text.back() == '\\') {
            text.pop_back();
        }
        return text;
    case SetMode::LongPath:
        return engine.Services.Paths != nullptr ? engine.Services.Paths->LongPathForm(text) : text;
    case SetMode::ShortPath:
        return engine.Services.Paths != nullptr ? engine.Services.Paths->ShortPathForm(text) : text;
    case SetMode::UpperCase:
        return platform::UpperAnsi(text);
    case SetMode::LowerCase:
        return platform::LowerAnsi(text);
    }
    return text;
}

} // namespace

ArgumentFields::ArgumentFields(std::string_view argument) {
    for (;;) {
        std::size_t separator = argument.find(FieldSeparator);
        Fields.push_back(argument.substr(0, separator));
        if (separator == std::string_view::npos) {
            break;
        }
        argument.remove_prefix(separator + 1);
    }
}

ArgumentFields::ArgumentFields(const DllCallBlock& block)
    : ArgumentFields(block.Argument != nullptr ? block.Argument : "") {}

std::string_view ArgumentFields::Text(std::size_t index) const {
    return index < Fields.size() ? Fields[index] : std::string_view();
}

long ArgumentFields::Number(std::size_t index) const {
    return DecimalNumber(Text(index));
}

std::optional<std::size_t> BuiltinNumber(std::string_view exportName) {
    if (exportName.size() < 2 || exportName.size() > 3 || exportName[0] != 'f') {
        return std::nullopt;
    }
    std::size_t number = 0;
    for (char c : exportName.substr(1)) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    // "f016" or "f05" are not export names.
    if (exportName.size() == 3 && exportName[1] == '0') {
        return std::nullopt;
    }
    return number < BuiltinCount ? std::optional(number) : std::nullopt;
}

std::array<BuiltinFunction, BuiltinCount> StandardBuiltins() {
    std::array<BuiltinFunction, BuiltinCount> table{};
    table[0] = f0;
    table[1] = f1;
    table[2] = f2;
    table[3] = f3;
    table[8] = f8;
    table[9] = f9;
    table[10] = f10;
    table[11] = f11;
    table[12] = f12;
    table[13] = f13;
    table[15] = f15;
    table[16] = f16;
    table[17] = f17;
    table[19] = f19;
    table[20] = f20;
    table[21] = f21;
    table[22] = f22;
    table[23] = f23;
    table[25] = f25;
    table[27] = f27;
    table[28] = f28;
    table[29] = f29;
    table[30] = f30;
    table[31] = f31;
    table[33] = f33;
    table[34] = f34;
    return table;
}

std::int32_t f16(Engine& engine, const DllCallBlock& block) {
    constexpr long StartEmpty = 0x01;
    constexpr long CutToDirectory = 0x02;
    constexpr long FromAnswerFile = 0x80;
    ArgumentFields fields(block);
    long flags = fields.Number(0);
    std::string_view name = fields.Text(1);
    // An empty name would be the "%%" variable, which must stay a percent sign.
    if (name.empty()) {
        return 0;
    }
    std::string text =
        (flags & StartEmpty) != 0 ? std::string() : engine.Variables.GetVariable(name);
    const AnswerLine* answer =
        (flags & FromAnswerFile) != 0 && engine.HasAnswerFile ? FindAnswer(engine, name) : nullptr;
    if (answer != nullptr) {
        text += engine.Variables.Expand(answer->Value, LongTextSize);
    } else {
        text += fields.Text(2);
    }
    if ((flags & CutToDirectory) != 0) {
        text = DirectoryOf(text);
    }
    text = ApplyMode(engine, (flags >> 2) & 0xF, std::move(text));
    // A value is kept to the size of the longest text the engine builds.
    text.resize(std::min(text.size(), LongTextSize - 1));
    engine.Variables.SetVariable(name, text);
    return 1;
}

std::int32_t f27(Engine& engine, const DllCallBlock& block) {
    constexpr long TrimParts = 0x01;
    constexpr long IgnoreCase = 0x02;
    constexpr long ModeMask = 0x0C;
    constexpr long FirstOccurrence = 0x00;
    constexpr long LastOccurrence = 0x04;
    constexpr long PositionFromLeft = 0x08;
    ArgumentFields fields(block);
    long flags = fields.Number(0);
    std::string_view text = fields.Text(1);
    std::string_view pattern = fields.Text(2);
    std::string_view left = text;
    std::string_view right;
    bool found = true;
    long mode = flags & ModeMask;
    if (mode == FirstOccurrence || mode == LastOccurrence) {
        std::size_t at = std::string_view::npos;
        if (!pattern.empty()) {
            bool first = mode == FirstOccurrence;
            if ((flags & IgnoreCase) != 0) {
                at = first ? platform::FindIgnoringCase(text, pattern)
                           : platform::FindLastIgnoringCase(text, pattern);
            } else {
                at = first ? text.find(pattern) : text.rfind(pattern);
            }
        }
        found = at != std::string_view::npos;
        if (found) {
            left = text.substr(0, at);
            right = text.substr(at + pattern.size());
        }
    } else {
        long position = std::max(fields.Number(2), 0L);
        std::size_t fromLeft = std::min(static_cast<std::size_t>(position), text.size());
        if (mode != PositionFromLeft) {
            fromLeft = text.size() - fromLeft;
        }
        left = text.substr(0, fromLeft);
        right = text.substr(fromLeft);
    }
    if ((flags & TrimParts) != 0) {
        left = platform::TrimBlanks(left);
        right = platform::TrimBlanks(right);
    }
    for (auto [name, part] : {std::pair{fields.Text(3), left}, std::pair{fields.Text(4), right}}) {
        if (!name.empty()) {
            engine.Variables.SetVariable(name, part);
        }
    }
    return found ? 1 : 0;
}

} // namespace vorn
