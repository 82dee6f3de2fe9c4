// Builds well-formed action records.
#include "script_builder.h"

#include <algorithm>

namespace vorn {

ScriptBuilder::ScriptBuilder(std::uint8_t languages) : Languages(languages == 0 ? 1 : languages) {}

void ScriptBuilder::AppendString(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        throw ScriptBuildError("a record string cannot hold a zero byte");
    }
    Out.insert(Out.end(), text.begin(), text.end());
    Out.push_back(0);
}

std::vector<std::vector<std::string>>
ScriptBuilder::Spread(const std::vector<PerLanguageText>& texts) const {
    std::vector<std::vector<std::string>> groups(Languages);
    for (const PerLanguageText& text : texts) {
        if (text.size() != 1 && text.size() != Languages) {
            throw ScriptBuildError("a per-language text needs one text or one per language");
        }
        for (std::size_t language = 0; language < Languages; ++language) {
            groups[language].push_back(text.size() == 1 ? text[0] : text[language]);
        }
    }
    return groups;
}

std::uint32_t ScriptBuilder::Record(std::uint8_t opcode, std::vector<std::uint8_t> fixed,
                                    std::vector<std::string> once,
                                    std::vector<std::vector<std::string>> perLanguage,
                                    std::vector<std::uint8_t> trailing) {
    std::optional<RecordShape> shape = ShapeOf(opcode);
    if (!shape || opcode == op::EndOfScript) {
        throw ScriptBuildError("opcode " + std::to_string(opcode) + " has no records");
    }
    if (fixed.size() + 1 != shape->FixedBytes) {
        throw ScriptBuildError("opcode " + std::to_string(opcode) + " needs " +
                               std::to_string(shape->FixedBytes - 1) + " fixed bytes");
    }
    if (once.size() != shape->OnceStrings) {
        throw ScriptBuildError("opcode " + std::to_string(opcode) + " needs " +
                               std::to_string(shape->OnceStrings) + " strings");
    }
    if (shape->StringsPerLanguage == 0 && perLanguage.empty()) {
        perLanguage.resize(Languages);
    }
    if (perLanguage.size() != Languages ||
        std::any_of(perLanguage.begin(), perLanguage.end(),
                    [&](const auto& group) { return group.size() != shape->StringsPerLanguage; })) {
        throw ScriptBuildError("opcode " + std::to_string(opcode) + " needs " +
                               std::to_string(shape->StringsPerLanguage) +
                               " strings for each of the script's languages");
    }
    std::size_t expectedTrailing =
        opcode == op::DisplayGraphic ? GraphicBytesPerExtraLanguage * (Languages - 1u) : 0;
    if (trailing.size() != expectedTrailing) {
        throw ScriptBuildError("opcode " + std::to_string(opcode) + " needs " +
                               std::to_string(expectedTrailing) + " trailing bytes");
    }
    std::uint32_t offset = Position();
    Out.push_back(opcode);
    Out.insert(Out.end(), fixed.begin(), fixed.end());
    std::size_t onceFirst = LanguageGroupsAfterFirstString(opcode)
                                ? std::min<std::size_t>(1, once.size())
                                : once.size();
    for (std::size_t i = 0; i < onceFirst; ++i) {
        AppendString(once[i]);
    }
    for (const auto& group : perLanguage) {
        for (const std::string& text : group) {
            AppendString(text);
        }
    }
    for (std::size_t i = onceFirst; i < once.size(); ++i) {
        AppendString(once[i]);
    }
    Out.insert(Out.end(), trailing.begin(), trailing.end());
    return offset;
}

std::uint32_t ScriptBuilder::Message(std::uint8_t style, const PerLanguageText& title,
                                     const PerLanguageText& text) {
    std::uint32_t offset = Record(op::DisplayMessage, {style}, {}, Spread({title, text}));
    if ((style & 0x01) != 0) {
        Open(BlockKind::If);
    }
    return offset;
}

std::uint32_t ScriptBuilder::If(std::string_view variable, std::uint8_t comparison,
                                std::string_view value) {
    if (comparison > 0x0F) {
        throw ScriptBuildError("comparison codes are 0 to 15");
    }
    std::uint32_t offset =
        Record(op::IfWhile, {comparison}, {std::string(variable), std::string(value)});
    Open(BlockKind::If);
    return offset;
}

std::uint32_t ScriptBuilder::While(std::string_view variable, std::uint8_t comparison,
                                   std::string_view value, std::uint8_t extraFlags) {
    if (comparison > 0x0F) {
        throw ScriptBuildError("comparison codes are 0 to 15");
    }
    auto flags =
        static_cast<std::uint8_t>(comparison | cond::Loop | (extraFlags & cond::TestAtEnd));
    std::uint32_t offset =
        Record(op::IfWhile, {flags}, {std::string(variable), std::string(value)});
    Open(BlockKind::Loop);
    return offset;
}

std::uint32_t ScriptBuilder::CallDll(std::uint8_t flags, std::string_view library,
                                     std::string_view function, const PerLanguageText& argument) {
    std::uint32_t offset = Record(
        op::CallDll, {flags}, {std::string(library), std::string(function)}, Spread({argument}));
    std::uint8_t form = flags & 0x03;
    if (form == call::If) {
        Open(BlockKind::If);
    } else if (form == call::While) {
        Open(BlockKind::Loop);
    }
    return offset;
}

std::uint32_t ScriptBuilder::Else() {
    if (Blocks.empty() || Blocks.back() != BlockKind::If) {
        throw ScriptBuildError("Else outside an If block");
    }
    return Record(op::Else, {});
}

std::uint32_t ScriptBuilder::End() {
    if (Blocks.empty()) {
        throw ScriptBuildError("End without an open block");
    }
    std::uint8_t loop = Blocks.back() == BlockKind::Loop ? 1 : 0;
    Blocks.pop_back();
    return Record(op::EndBlock, {loop});
}

std::uint32_t ScriptBuilder::GetTempFileName(std::string_view variable) {
    return Record(op::GetTempFileName, {}, {std::string(variable)});
}

std::uint32_t ScriptBuilder::Exit() {
    return Record(op::ExitInstallation, {});
}

std::uint32_t ScriptBuilder::Filler(std::size_t count) {
    std::uint32_t offset = Position();
    Out.insert(Out.end(), count, op::Filler);
    return offset;
}

std::uint32_t ScriptBuilder::AddToLog(std::string_view text) {
    return Record(op::AddToLog, {}, {std::string(text)});
}

std::uint32_t ScriptBuilder::SetLogFile(std::uint8_t flags, std::string_view path) {
    return Record(op::SetLogFile, {flags}, {std::string(path)});
}

std::uint32_t ScriptBuilder::Bytes(std::initializer_list<std::uint8_t> bytes) {
    std::uint32_t offset = Position();
    Out.insert(Out.end(), bytes.begin(), bytes.end());
    return offset;
}

std::vector<std::uint8_t> ScriptBuilder::Build() const {
    if (!Blocks.empty()) {
        throw ScriptBuildError(std::to_string(Blocks.size()) + " block(s) still open");
    }
    std::vector<std::uint8_t> script = Out;
    script.push_back(op::EndOfScript);
    return script;
}

} // namespace vorn
