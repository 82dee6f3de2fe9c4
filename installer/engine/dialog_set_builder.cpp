// Building custom dialog sets.
#include "dialog_set_builder.h"

namespace vorn {

namespace {

void PutNumber(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void PutPerLanguage(std::vector<std::uint8_t>& out, const PerLanguageText& texts,
                    std::uint8_t languages) {
    if (texts.size() > 1 && texts.size() != languages) {
        throw ScriptBuildError("a dialog set text needs one text or one per language");
    }
    static const std::string none;
    for (std::uint8_t i = 0; i < languages; ++i) {
        const std::string& text = texts.empty() ? none : texts.size() == 1 ? texts[0] : texts[i];
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
}

void PutOffset(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace

std::vector<std::uint8_t> BuildDialogSet(const std::vector<DialogPageLayout>& pages,
                                         std::uint8_t languages) {
    std::vector<std::uint8_t> out(pages.size() * 8, 0);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const DialogPageLayout& layout = pages[page];
        while (out.size() % 4 != 0) {
            out.push_back(0);
        }
        PutOffset(out, page * 8, out.size());
        std::vector<std::uint8_t> form = platform::WriteDialogTemplate(layout.Template);
        out.insert(out.end(), form.begin(), form.end());

        PutOffset(out, page * 8 + 4, out.size());
        out.push_back(static_cast<std::uint8_t>(layout.Fonts.size()));
        for (const platform::LogFontA& font : layout.Fonts) {
            std::vector<std::uint8_t> bytes = platform::WriteLogFontA(font);
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        PutPerLanguage(out, layout.Strings, languages);
        out.push_back(static_cast<std::uint8_t>(layout.Entries.size()));
        std::size_t offsets = out.size();
        out.resize(out.size() + 4 * layout.Entries.size(), 0);
        for (std::size_t i = 0; i < layout.Entries.size(); ++i) {
            const ControlEntry& entry = layout.Entries[i];
            PutOffset(out, offsets + 4 * i, out.size());
            out.insert(out.end(), {entry.Kind, entry.First, entry.End, entry.Target, entry.Action});
            PutNumber(out, entry.MinLength, 2);
            PutNumber(out, 0, 2);
            PutNumber(out, entry.Flags, 2);
            PutPerLanguage(out, entry.Texts, languages);
            std::string variable = entry.Variable;
            if (!entry.SecondPart.empty()) {
                variable += '\x7F' + entry.SecondPart;
            }
            out.insert(out.end(), variable.begin(), variable.end());
            out.push_back(0);
        }
    }
    return out;
}

std::uint32_t CustomDialogSetRecord(ScriptBuilder& script, std::uint32_t start, std::uint32_t end,
                                    std::uint32_t size, std::string_view conditionVariable,
                                    std::string_view conditionValue) {
    std::vector<std::uint8_t> fixed;
    PutNumber(fixed, start, 4);
    PutNumber(fixed, end, 4);
    PutNumber(fixed, size, 4);
    return script.Record(op::CustomDialogSet, std::move(fixed),
                         {std::string(conditionVariable), std::string(conditionValue)});
}

} // namespace vorn
