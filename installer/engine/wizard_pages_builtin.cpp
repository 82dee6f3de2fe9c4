// The wizard's page sequence.
#include "wizard_pages_builtin.h"

#include "archive_parts.h"
#include "billboards.h"
#include "builtin_functions.h"
#include "comparison.h"
#include "custom_dialog_set.h"
#include "engine_message_box.h"
#include "message_table.h"
#include "platform/ansi_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorn {

namespace {

constexpr long EndNow = 0x01;
constexpr std::size_t FirstPageField = 9;
/// Pictures larger than this are taken for damaged data rather than allocated.
constexpr long MaxPictureSize = 16L << 20;
constexpr long MaxFrameSide = 16384;
constexpr char EntryMark = '\t';

struct PageEntry {
    std::string_view Name;
    std::string_view Variable;
    std::string_view Value;
    int Code = 0;
};

PageEntry ReadEntry(std::string_view field) {
    std::string_view parts[4];
    for (std::string_view& part : parts) {
        std::size_t mark = field.find(EntryMark);
        part = field.substr(0, mark);
        field = mark == std::string_view::npos ? std::string_view() : field.substr(mark + 1);
    }
    return {parts[0], parts[1], parts[2], static_cast<int>(ArgumentFields(parts[3]).Number(0))};
}

bool Holds(Engine& engine, const PageEntry& page) {
    return page.Variable.empty() ||
           EvaluateComparison(page.Code, engine.Variables.GetVariable(page.Variable), page.Value);
}

// Reads the picture once; a broken one is reported and left out.
void LoadPicture(Engine& engine, DialogState& state, long offset, long compressed, long size) {
    if (size <= 0 || compressed <= 0 || offset < 0) {
        return;
    }
    const auto from = static_cast<std::uint32_t>(offset);
    if (state.PictureFrom == from) {
        return;
    }
    state.PictureFrom = from;
    state.Picture.clear();
    std::vector<std::uint8_t> picture;
    std::variant<ImageInfo, std::string> image =
        std::string("it is larger than the engine accepts");
    if (size <= MaxPictureSize) {
        picture.resize(static_cast<std::size_t>(size));
        image =
            DecompressToMemory(engine, from, from + static_cast<std::uint32_t>(compressed), picture)
                ? ReadImageInfo(picture, false)
                : std::string("it cannot be read from the archive");
    }
    if (auto* reason = std::get_if<std::string>(&image)) {
        EngineMessageBox(engine, 0, "The wizard's picture is left out: " + *reason + ".",
                         DefaultErrorText, box::NoCancel | box::IconExclamation);
        return;
    }
    state.Picture = std::move(picture);
    state.PictureBits = std::get<ImageInfo>(image).BitsOffset;
    state.PictureWidth = std::get<ImageInfo>(image).Width;
}

std::int32_t EndWizard(Engine& engine, DialogState& state, std::string_view pageVariable) {
    state.CloseFrame();
    state.WizardStyle = false;
    state.DirectionVariable.clear();
    if (!pageVariable.empty()) {
        engine.Variables.SetVariable(pageVariable, "");
    }
    return 0;
}

} // namespace

std::int32_t f31(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    DialogState& state = DialogsOf(engine);
    std::string_view pageVariable = fields.Text(2);
    if ((fields.Number(0) & EndNow) != 0 || pageVariable.empty()) {
        return EndWizard(engine, state, pageVariable);
    }
    state.WizardStyle = true;
    state.DirectionVariable = std::string(fields.Text(1));
    state.FrameWidth = static_cast<int>(std::clamp(fields.Number(3), 0L, MaxFrameSide));
    state.FrameHeight = static_cast<int>(std::clamp(fields.Number(4), 0L, MaxFrameSide));
    state.PictureValue = fields.Number(5);
    if (!engine.Services.Host.Silent()) {
        LoadPicture(engine, state, fields.Number(6), fields.Number(7), fields.Number(8));
    }

    std::vector<PageEntry> pages;
    for (std::size_t i = FirstPageField; i < fields.Count(); ++i) {
        if (PageEntry page = ReadEntry(fields.Text(i)); !page.Name.empty()) {
            pages.push_back(page);
        }
    }
    const std::string current = engine.Variables.GetVariable(pageVariable);
    auto found = std::find_if(pages.begin(), pages.end(), [&](const PageEntry& page) {
        return platform::EqualsIgnoringCase(page.Name, current);
    });
    const bool back =
        found != pages.end() && !state.DirectionVariable.empty() &&
        platform::EqualsIgnoringCase(engine.Variables.GetVariable(state.DirectionVariable), "B");
    std::optional<std::size_t> next;
    if (back) {
        for (auto at = static_cast<std::size_t>(found - pages.begin()); at-- > 0 && !next;) {
            if (Holds(engine, pages[at])) {
                next = at;
            }
        }
        if (!next) {
            // Back from the first page stays on it, going forward from now on: were that
            // page not shown (its set skipped), the wizard would otherwise never move again.
            engine.Variables.SetVariable(state.DirectionVariable, "");
            return 1;
        }
    } else {
        std::size_t start =
            found == pages.end() ? 0 : static_cast<std::size_t>(found - pages.begin()) + 1;
        for (std::size_t at = start; at < pages.size() && !next; ++at) {
            if (Holds(engine, pages[at])) {
                next = at;
            }
        }
    }
    if (!next) {
        return EndWizard(engine, state, pageVariable);
    }
    engine.Variables.SetVariable(pageVariable, pages[*next].Name);
    return 1;
}

} // namespace vorn
