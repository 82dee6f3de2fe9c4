// Prints dialog set blocks and wizard calls back as page statements.
#include "dialog_page_compiler.h"
#include "script_compiler.h"
#include "script_words.h"

#include <algorithm>
#include <cstdio>

namespace vorn::authoring {

namespace {

std::string HexNumber(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

bool AllEmpty(const std::vector<std::string>& texts) {
    return std::all_of(texts.begin(), texts.end(), [](const auto& t) { return t.empty(); });
}

std::string TitleText(const platform::ControlTitle& title) {
    return title.Ordinal ? "resource " + std::to_string(*title.Ordinal) : Quote(title.Text);
}

std::string Place(int x, int y, int width, int height) {
    return " at " + std::to_string(x) + " " + std::to_string(y) + " size " + std::to_string(width) +
           " " + std::to_string(height);
}

std::string ControlLine(const platform::DialogControl& control) {
    // The word that needs no style, else the first word of the control's class.
    auto word = std::find_if(ControlWords.begin(), ControlWords.end(), [&](const ControlWord& w) {
        return w.Kind == control.Kind && w.Style == control.Style;
    });
    const bool styled = word == ControlWords.end();
    if (styled) {
        // The word of the same button or static type (a radio button with its own style
        // stays a radio), else the first of the class.
        const std::uint32_t type = control.Kind == platform::ControlKind::Button   ? 0x0F
                                   : control.Kind == platform::ControlKind::Static ? 0x1F
                                                                                   : 0;
        word = std::find_if(ControlWords.begin(), ControlWords.end(), [&](const ControlWord& w) {
            return w.Kind == control.Kind && (w.Style & type) == (control.Style & type);
        });
        if (word == ControlWords.end()) {
            word = std::find_if(ControlWords.begin(), ControlWords.end(),
                                [&](const ControlWord& w) { return w.Kind == control.Kind; });
        }
    }
    std::string line = std::string(word->Word) + " " + std::to_string(control.Id);
    if (control.Title.Ordinal || !control.Title.Text.empty()) {
        line += " " + TitleText(control.Title);
    }
    line += Place(control.X, control.Y, control.Width, control.Height);
    if (styled) {
        line += " style " + HexNumber(control.Style);
    }
    if (control.ExStyle != 0) {
        line += " ex-style " + HexNumber(control.ExStyle);
    }
    if (!control.CreationData.empty()) {
        static const char* const Digits = "0123456789abcdef";
        std::string hex;
        for (const std::uint8_t b : control.CreationData) {
            hex += Digits[b >> 4];
            hex += Digits[b & 15];
        }
        line += " data " + Quote(hex);
    }
    return line;
}

std::optional<std::string> EntryLine(const ControlEntry& entry) {
    if (!entry.Variable.empty() && !IsVariableWord(entry.Variable, MaxVariableName)) {
        return std::nullopt;
    }
    if (entry.Variable.empty() && !entry.SecondPart.empty()) {
        return std::nullopt;
    }
    std::string line =
        "action " + std::string(EntryKindWords[entry.Kind]) + " " + std::to_string(entry.First);
    if (entry.End > entry.First + 1) {
        line += " through " + std::to_string(entry.End - 1);
    } else if (entry.End != entry.First + 1) {
        line += " end " + std::to_string(entry.End);
    }
    if (!entry.Variable.empty()) {
        line += " to " + entry.Variable;
        if (!entry.SecondPart.empty()) {
            line += " second " + Quote(entry.SecondPart);
        }
    }
    bool targeted = false;
    if (entry.Action >= ActionWords.size()) {
        line += " action-code " + std::to_string(entry.Action);
    } else if (entry.Kind == control_kind::Button || entry.Action != 0) {
        line += " " + std::string(ActionWords[entry.Action]);
        if (entry.Action == page_action::Next) {
            line += " " + std::to_string(entry.Target);
            targeted = true;
        }
    }
    if (entry.Target != 0 && !targeted) {
        line += " target " + std::to_string(entry.Target);
    }
    if (entry.MinLength != 0) {
        line += " min-length " + std::to_string(entry.MinLength);
    }
    std::uint16_t flags = entry.Flags;
    for (const EntryFlagWord& word : EntryFlagWords) {
        if (word.Kind == entry.Kind && (flags & word.Bits) == word.Bits) {
            line += " " + std::string(word.Word);
            flags = static_cast<std::uint16_t>(flags & ~word.Bits);
        }
    }
    if (flags != 0) {
        line += " flags " + std::to_string(flags);
    }
    if (!AllEmpty(entry.Texts)) {
        line += " texts " + LanguageText(entry.Texts);
    }
    return line;
}

} // namespace

std::optional<std::vector<std::string>> ListDialogPages(std::span<const std::uint8_t> block,
                                                        std::size_t languages) {
    const DialogSetReadResult read = ReadDialogSet(block, languages);
    if (!read.Error.empty() || languages == 0 || languages > MaxLanguages) {
        return std::nullopt;
    }
    std::vector<DialogPageLayout> layouts;
    std::vector<std::string> lines;
    const std::string inner = "    ";
    for (const DialogPage& page : read.Pages) {
        platform::DialogTemplateReadResult form = platform::ReadDialogTemplate(page.Template);
        if (!form.Template) {
            return std::nullopt;
        }
        const platform::DialogTemplate& t = *form.Template;
        std::string head = "page " + Quote(t.Caption);
        if (t.X != 0 || t.Y != 0) {
            head += " at " + std::to_string(t.X) + " " + std::to_string(t.Y);
        }
        head += " size " + std::to_string(t.Width) + " " + std::to_string(t.Height);
        if (!t.FaceName.empty()) {
            head += " font " + Quote(t.FaceName) + " " + std::to_string(t.PointSize);
        }
        const std::uint32_t usual =
            platform::DialogTemplate{}.Style | (t.FaceName.empty() ? 0 : platform::dlg::DsSetFont);
        if (t.Style != usual) {
            head += " style " + HexNumber(t.Style);
        }
        if (t.ExStyle != 0) {
            head += " ex-style " + HexNumber(t.ExStyle);
        }
        if (t.Menu.Ordinal || !t.Menu.Text.empty()) {
            head += " menu " + TitleText(t.Menu);
        }
        if (t.ClassName.Ordinal || !t.ClassName.Text.empty()) {
            head += " class " + TitleText(t.ClassName);
        }
        lines.push_back(head);
        if (!AllEmpty(page.Strings)) {
            lines.push_back(inner + "texts " + LanguageText(page.Strings));
        }
        for (const platform::LogFontA& font : page.Fonts) {
            std::string line =
                inner + "logical-font " + Quote(font.FaceName) + " " + std::to_string(font.Height);
            const auto fields = FontFields(font);
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (fields[i] != 0) {
                    line += " " + std::string(FontFieldWords[i]) + " " + std::to_string(fields[i]);
                }
            }
            lines.push_back(line);
        }
        for (const platform::DialogControl& control : t.Controls) {
            lines.push_back(inner + ControlLine(control));
        }
        for (const ControlEntry& entry : page.Entries) {
            std::optional<std::string> line = EntryLine(entry);
            if (!line) {
                return std::nullopt;
            }
            lines.push_back(inner + *line);
        }
        layouts.push_back({t, page.Fonts, page.Strings, page.Entries});
    }
    // Only a block the statements make again byte for byte is listed as statements.
    if (BuildDialogSet(layouts, static_cast<std::uint8_t>(languages)) !=
        std::vector<std::uint8_t>(block.begin(), block.end())) {
        return std::nullopt;
    }
    return lines;
}

std::optional<std::string> ListWizard(
    std::string_view argument, std::uint8_t flags,
    const std::function<std::optional<std::string>(std::uint32_t, std::uint32_t, std::uint32_t)>&
        nameOf) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t end = argument.find(FieldSeparator, start);
        fields.emplace_back(argument.substr(start, end - start));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    constexpr std::size_t FixedFields = 9;
    if (fields.size() <= FixedFields ||
        (flags & ~(call::CloseProgress | call::AbortWhenTrue)) != call::OwnFunction) {
        return std::nullopt;
    }
    std::uint32_t numbers[FixedFields] = {};
    for (const std::size_t i : {0u, 3u, 4u, 6u, 7u, 8u}) {
        const std::string& text = fields[i];
        if (text.empty() || text.size() > 9 || (text.size() > 1 && text[0] == '0') ||
            !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return std::nullopt;
        }
        numbers[i] = static_cast<std::uint32_t>(std::stoul(text));
    }
    if (!IsVariableWord(fields[1], MaxVariableName) ||
        !IsVariableWord(fields[2], MaxVariableName) || fields[5].find('\t') != std::string::npos) {
        return std::nullopt;
    }
    std::string line = std::string(WizardStatement) + " " + fields[1] + " " + fields[2];
    if (numbers[3] != 0 || numbers[4] != 0) {
        line += " size " + fields[3] + " " + fields[4];
    }
    if (numbers[0] != 0) {
        line += " options " + fields[0];
    }
    if (numbers[6] != 0 || numbers[7] != 0 || numbers[8] != 0) {
        const std::optional<std::string> name =
            nameOf(numbers[6], numbers[6] + numbers[7], numbers[8]);
        if (!name) {
            return std::nullopt;
        }
        line += " picture " + Quote(*name);
    }
    if (!fields[5].empty()) {
        line += " picture-value " + Quote(fields[5]);
    }
    for (std::size_t i = FixedFields; i < fields.size(); ++i) {
        std::vector<std::string> parts;
        for (std::size_t start = 0;;) {
            const std::size_t end = fields[i].find('\t', start);
            parts.push_back(fields[i].substr(start, end - start));
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
        line += " page " + Quote(parts[0]);
        if (parts.size() == 1) {
            continue;
        }
        std::size_t code = 0;
        while (code < ComparisonWords.size() &&
               (parts.size() != 4 || std::to_string(code) != parts[3])) {
            ++code;
        }
        if (code == ComparisonWords.size() || !IsVariableWord(parts[1], MaxVariableName)) {
            return std::nullopt;
        }
        line +=
            " if " + parts[1] + " " + std::string(ComparisonWords[code]) + " " + Quote(parts[2]);
    }
    line += (flags & call::CloseProgress) != 0 ? " close-progress" : "";
    line += (flags & call::AbortWhenTrue) != 0 ? " abort-if-true" : "";
    return line;
}

} // namespace vorn::authoring
