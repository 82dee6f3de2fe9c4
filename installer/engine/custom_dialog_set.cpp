// The script's custom dialog sets.
#include "custom_dialog_set.h"

#include "archive_parts.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "page_lists.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "platform/unique_handle.h"

#include <algorithm>
#include <deque>

namespace vorn {

namespace {

using platform::DialogWindow;

constexpr std::size_t DialogEntrySize = 8;
constexpr std::size_t ControlEntryFixedSize = 11;
constexpr std::size_t MaxHistory = 255;
/// Blocks larger than this are refused rather than allocated.
constexpr std::uint32_t MaxBlockSize = 16u << 20;
constexpr char SecondPartMark = '\x7F';

// A bounded cursor over the block.
class BlockReader {
public:
    BlockReader(std::span<const std::uint8_t> block, std::size_t at) : Block(block), At(at) {
        Broken = at > block.size();
    }
    bool Broken = false;

    std::uint8_t Byte() {
        if (Broken || At >= Block.size()) {
            Broken = true;
            return 0;
        }
        return Block[At++];
    }
    std::uint32_t Number(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            value |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        return value;
    }
    std::string Text() {
        std::string text;
        for (std::uint8_t c = Byte(); !Broken && c != 0; c = Byte()) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }
    std::span<const std::uint8_t> Take(std::size_t count) {
        if (Broken || Block.size() - At < count) {
            Broken = true;
            return {};
        }
        At += count;
        return Block.subspan(At - count, count);
    }

private:
    std::span<const std::uint8_t> Block;
    std::size_t At;
};

std::string PageError(std::size_t page, const std::string& what) {
    return "dialog " + std::to_string(page) + " of the dialog set: " + what;
}

// The extra data of one page: fonts, strings, control-action table.
std::string ReadExtraData(std::span<const std::uint8_t> block, std::size_t at,
                          std::size_t languages, DialogPage& page) {
    BlockReader in(block, at);
    std::uint8_t fonts = in.Byte();
    for (std::uint8_t i = 0; i < fonts && !in.Broken; ++i) {
        if (auto font = platform::ReadLogFontA(in.Take(platform::LogFontASize))) {
            page.Fonts.push_back(*font);
        }
    }
    for (std::size_t i = 0; i < languages; ++i) {
        page.Strings.push_back(in.Text());
    }
    std::uint8_t count = in.Byte();
    std::vector<std::uint32_t> offsets;
    for (std::uint8_t i = 0; i < count; ++i) {
        offsets.push_back(in.Number(4));
    }
    if (in.Broken) {
        return "its extra data runs past the end of the block";
    }
    for (std::uint32_t offset : offsets) {
        BlockReader entryIn(block, offset);
        ControlEntry entry;
        std::span<const std::uint8_t> fixed = entryIn.Take(ControlEntryFixedSize);
        for (std::size_t i = 0; i < languages; ++i) {
            entry.Texts.push_back(entryIn.Text());
        }
        std::string variable = entryIn.Text();
        if (entryIn.Broken) {
            return "control entry at byte " + std::to_string(offset) +
                   " runs past the end of the block";
        }
        entry.Kind = fixed[0];
        entry.First = fixed[1];
        entry.End = fixed[2];
        entry.Target = fixed[3];
        entry.Action = fixed[4];
        entry.MinLength = static_cast<std::uint16_t>(fixed[5] | fixed[6] << 8);
        entry.Flags = static_cast<std::uint16_t>(fixed[9] | fixed[10] << 8);
        std::size_t mark = variable.find(SecondPartMark);
        entry.Variable = variable.substr(0, mark);
        if (mark != std::string::npos) {
            entry.SecondPart = variable.substr(mark + 1);
        }
        if (entry.Kind < control_kind::Edit || entry.Kind > control_kind::List) {
            return "control entry at byte " + std::to_string(offset) + " has the unknown kind " +
                   std::to_string(entry.Kind);
        }
        page.Entries.push_back(std::move(entry));
    }
    return {};
}

} // namespace

DialogSetReadResult ReadDialogSet(std::span<const std::uint8_t> block, std::size_t languages) {
    DialogSetReadResult result;
    // The table of 8-byte entries runs up to the first byte any of them points at.
    std::size_t tableEnd = block.size();
    for (std::size_t at = 0; at + DialogEntrySize <= tableEnd; at += DialogEntrySize) {
        BlockReader in(block, at);
        std::uint32_t templateAt = in.Number(4);
        std::uint32_t extraAt = in.Number(4);
        std::size_t page = at / DialogEntrySize;
        if (templateAt >= block.size() || extraAt >= block.size() ||
            templateAt < at + DialogEntrySize || extraAt < at + DialogEntrySize) {
            return {{}, PageError(page, "its offsets lie outside the block")};
        }
        tableEnd = std::min<std::size_t>({tableEnd, templateAt, extraAt});
        DialogPage dialog;
        dialog.Template = block.subspan(templateAt);
        platform::DialogTemplateReadResult form = platform::ReadDialogTemplate(dialog.Template);
        if (!form.Template) {
            return {{}, PageError(page, form.Error)};
        }
        std::string error = ReadExtraData(block, extraAt, languages, dialog);
        if (!error.empty()) {
            return {{}, PageError(page, error)};
        }
        result.Pages.push_back(std::move(dialog));
    }
    if (result.Pages.empty()) {
        result.Error = "the dialog set holds no dialog";
    }
    return result;
}

// The frame window of wizard pages: its Close asks the confirm-exit question and ends
// the page on show with the abort result.
class WizardFrame final : public platform::FrameProcedure {
public:
    explicit WizardFrame(Engine& engine) : Run(engine) {}
    DialogWindow* CurrentPage = nullptr;

    void Close() override {
        if (ConfirmExit(Run, CurrentPage != nullptr ? CurrentPage->Handle() : 0) &&
            CurrentPage != nullptr) {
            CurrentPage->EndDialog(page_result::Abort);
        }
    }

private:
    Engine& Run;
};

bool ConfirmExit(Engine& engine, std::uintptr_t owner) {
    return EngineMessageBox(engine, owner, engine.Message(msg::ConfirmExit),
                            engine.Message(msg::QuestionTitle),
                            box::YesNo | box::NoCancel | box::IconQuestion) == answer::Ok;
}

DialogState::DialogState() = default;

DialogState::~DialogState() {
    CloseFrame();
}

platform::TemplateDialogService& DialogState::Service(Engine& engine) {
    // A silent run shows nothing: its dialogs are answered from the answer file.
    if (Shown == nullptr && engine.Services.Machine != nullptr && !engine.Services.Host.Silent()) {
        Shown = engine.Services.Machine->TemplateDialogs();
    }
    if (Shown == nullptr) {
        std::vector<platform::DialogAnswer> answers;
        for (const AnswerLine& line : engine.Answers) {
            if (line.Name.size() > DialogAnswerPrefix.size() &&
                platform::EqualsIgnoringCase(line.Name.substr(0, DialogAnswerPrefix.size()),
                                             DialogAnswerPrefix)) {
                answers.push_back({line.Name.substr(DialogAnswerPrefix.size()), line.Value});
            }
        }
        Answered = platform::MakeAnsweredDialogs(std::move(answers));
        Shown = Answered.get();
    }
    return *Shown;
}

std::uintptr_t DialogState::Frame(Engine& engine) {
    if (FrameWindow == 0) {
        FrameOwner = std::make_unique<WizardFrame>(engine);
        FrameWindow =
            Service(engine).CreateWizardFrame(WizardFrameClass, "", FrameWidth, FrameHeight,
                                              engine.Services.Host.MainWindow(), *FrameOwner);
        if (FrameWindow != 0 && !Picture.empty()) {
            const long band = PictureValue > 0 ? PictureValue : PictureWidth;
            Service(engine).SetWizardPicture(FrameWindow, Picture, PictureBits,
                                             static_cast<int>(std::min(band, 16384L)));
        }
    }
    return FrameWindow;
}

void DialogState::CloseFrame() {
    if (FrameWindow != 0 && Shown != nullptr) {
        Shown->DestroyWizardFrame(FrameWindow);
    }
    FrameWindow = 0;
}

DialogState& DialogsOf(Engine& engine) {
    if (!engine.Dialogs) {
        engine.Dialogs = std::make_shared<DialogState>();
    }
    return *engine.Dialogs;
}

namespace {

char Letter(int index) {
    return static_cast<char>('A' + index);
}

bool HoldsLetter(std::string_view value, int index) {
    return value.find(Letter(index)) != std::string_view::npos ||
           value.find(platform::LowerAnsi(Letter(index))) != std::string_view::npos;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    while (!(text = platform::TrimBlanks(text)).empty()) {
        std::size_t end = text.find(' ');
        words.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    }
    return words;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// The pages' dialog procedure.
class CustomDlg final : public platform::DialogProcedure {
public:
    CustomDlg(Engine& engine, const DialogPage& page, std::size_t pageIndex,
              platform::TemplateDialogService& service, WizardFrame* frame)
        : Run(engine), Page(page), PageIndex(pageIndex), Service(service), Frame(frame),
          Lists(engine) {}

    ~CustomDlg() override {
        if (Frame != nullptr) {
            Frame->CurrentPage = nullptr;
        }
    }

    bool MakeFonts() {
        for (const platform::LogFontA& font : Page.Fonts) {
            Fonts.emplace_back(Service.CreateFontIndirectA(font),
                               platform::DialogFontTraits{&Service});
            if (!Fonts.back()) {
                return false;
            }
        }
        return true;
    }

    void InitDialog(DialogWindow& dialog) override {
        if (Frame != nullptr) {
            Frame->CurrentPage = &dialog;
        }
        const std::string& title = Text(Page.Strings);
        if (!title.empty()) {
            dialog.SetWindowTextA(title);
        }
        for (const ControlEntry& entry : Page.Entries) {
            Fill(dialog, entry);
        }
    }

    void Command(DialogWindow& dialog, int control, int notification) override {
        for (std::size_t i = 0; i < Page.Entries.size(); ++i) {
            const ControlEntry& entry = Page.Entries[i];
            if (entry.Kind == control_kind::Button && control >= entry.First &&
                control < entry.End && notification == platform::dlg::BnClicked) {
                Press(dialog, i);
                return;
            }
        }
        Lists.Command(dialog, Page.Entries, control, notification);
        if (control == platform::dlg::IdCancel && ConfirmExit(Run, dialog.Handle())) {
            dialog.EndDialog(page_result::Abort);
        } else if (control == platform::dlg::IdHelp) {
            Help(dialog);
        }
    }

    void Help(DialogWindow& dialog) override {
        std::string file = Run.Variables.GetVariable("HELPFILE");
        if (!file.empty()) {
            Service.WinHelpA(dialog.Handle(), file, platform::help::Context, PageIndex);
        }
    }

private:
    const std::string& Text(const std::vector<std::string>& texts) const {
        static const std::string none;
        std::size_t language = Run.Program.Language();
        return language < texts.size() ? texts[language] : none;
    }

    // The controls of a group that count, with their letter index.
    static std::vector<std::pair<int, int>> GroupMembers(const ControlEntry& entry) {
        std::vector<std::pair<int, int>> members;
        bool pairs = entry.Kind == control_kind::CheckGroup && (entry.Flags & entry_flag::Pairs);
        int step = pairs ? 2 : 1;
        for (int control = entry.First, index = 0; control < entry.End; control += step, ++index) {
            members.emplace_back(control, index);
        }
        return members;
    }

    void Fill(DialogWindow& dialog, const ControlEntry& entry) {
        std::string value = Run.Variables.GetVariable(entry.Variable);
        switch (entry.Kind) {
        case control_kind::Edit:
        case control_kind::PathField:
            dialog.SetDlgItemTextA(entry.First, value);
            break;
        case control_kind::RadioGroup:
        case control_kind::CheckGroup:
            for (auto [control, index] : GroupMembers(entry)) {
                dialog.CheckDlgButton(control, HoldsLetter(value, index));
            }
            break;
        case control_kind::List: {
            if (Lists.OpenBrowser(dialog, entry, value)) {
                break;
            }
            std::vector<std::string> items = Lines(Text(entry.Texts));
            std::vector<std::string> chosen;
            if ((entry.Flags & entry_flag::Letters) == 0) {
                chosen = Words(value);
            }
            for (std::size_t i = 0; i < items.size(); ++i) {
                int at = dialog.AddListItem(entry.First, PageLists::ItemText(entry, items[i]));
                bool selected =
                    (entry.Flags & entry_flag::Letters) != 0
                        ? HoldsLetter(value, static_cast<int>(i))
                        : std::find(chosen.begin(), chosen.end(),
                                    PageLists::ItemName(entry, items[i])) != chosen.end();
                if (selected && at >= 0) {
                    dialog.SelectListItem(entry.First, at, true);
                }
            }
            Lists.Update(dialog, entry);
            break;
        }
        default:
            break;
        }
    }

    // The value an entry stores, or nullopt when its control keeps the page open.
    std::optional<std::string> Stored(DialogWindow& dialog, const ControlEntry& entry, bool check) {
        std::string value;
        switch (entry.Kind) {
        case control_kind::Edit:
            value = dialog.GetDlgItemTextA(entry.First);
            if (check && value.size() < entry.MinLength) {
                return std::nullopt;
            }
            return value;
        case control_kind::PathField:
            value = dialog.GetDlgItemTextA(entry.First);
            if (check && value.empty() && (entry.Flags & entry_flag::Required) != 0) {
                return std::nullopt;
            }
            if ((entry.Flags & entry_flag::DriveOnly) != 0) {
                value = value.substr(0, 2);
                if (!value.empty()) {
                    value[0] = platform::UpperAnsi(value[0]);
                }
            }
            return value;
        case control_kind::RadioGroup:
        case control_kind::CheckGroup:
            for (auto [control, index] : GroupMembers(entry)) {
                if (dialog.IsDlgButtonChecked(control)) {
                    value.push_back(Letter(index));
                    if (entry.Kind == control_kind::RadioGroup) {
                        break;
                    }
                }
            }
            return value;
        case control_kind::List: {
            if (std::optional<std::string> directory = Lists.Browsed(entry)) {
                return directory;
            }
            int count = dialog.ListItemCount(entry.First);
            for (int i = 0; i < count; ++i) {
                if (!dialog.IsListItemSelected(entry.First, i)) {
                    continue;
                }
                if ((entry.Flags & entry_flag::Letters) != 0) {
                    value.push_back(Letter(i));
                } else {
                    value += (value.empty() ? "" : " ") +
                             PageLists::ItemName(entry, dialog.ListItemText(entry.First, i));
                }
            }
            return value;
        }
        default:
            return value;
        }
    }

    void Press(DialogWindow& dialog, std::size_t pressed) {
        const ControlEntry& button = Page.Entries[pressed];
        if (button.Action == page_action::Cancel) {
            if (ConfirmExit(Run, dialog.Handle())) {
                dialog.EndDialog(static_cast<std::intptr_t>(pressed));
            }
            return;
        }
        // Going back keeps what was typed without holding the user to it.
        bool check = button.Action != page_action::Back;
        std::vector<std::pair<const ControlEntry*, std::string>> values;
        for (const ControlEntry& entry : Page.Entries) {
            if (entry.Kind == control_kind::Button || entry.Variable.empty()) {
                continue;
            }
            std::optional<std::string> value = Stored(dialog, entry, check);
            if (!value) {
                dialog.SetFocus(entry.First);
                return;
            }
            values.emplace_back(&entry, std::move(*value));
        }
        for (const auto& [entry, value] : values) {
            Run.Variables.SetVariable(entry->Variable, value.substr(0, PathSize - 1));
        }
        dialog.EndDialog(static_cast<std::intptr_t>(pressed));
    }

    Engine& Run;
    const DialogPage& Page;
    std::size_t PageIndex;
    platform::TemplateDialogService& Service;
    WizardFrame* Frame;
    std::vector<platform::UniqueHandle<platform::DialogFontTraits>> Fonts;
    PageLists Lists;
};

// A page template as a child of the wizard frame: child, visible, with the font it has.
std::vector<std::uint8_t> AsChildPage(std::span<const std::uint8_t> form) {
    std::vector<std::uint8_t> bytes(form.begin(), form.end());
    std::uint32_t style = static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16) |
                          static_cast<std::uint32_t>(bytes[3]) << 24;
    // The font stays only where the template carries one: a font bit without the font's
    // fields would have the rest of the template misread.
    style = platform::dlg::WsChild | platform::dlg::WsVisible | (style & platform::dlg::DsSetFont);
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(style >> (8 * i));
    }
    return bytes;
}

// Shows one page; its result, or -1 when it could not be shown (the reason in `error`).
std::intptr_t ShowPage(Engine& engine, const DialogPage& page, std::size_t index,
                       std::string& error) {
    DialogState& state = DialogsOf(engine);
    platform::TemplateDialogService& service = state.Service(engine);
    std::uintptr_t frame = state.WizardStyle ? state.Frame(engine) : 0;
    if (state.WizardStyle && frame == 0) {
        error = "the wizard frame cannot be made";
        return -1;
    }
    CustomDlg procedure(engine, page, index, service,
                        state.WizardStyle ? state.FrameProcedure() : nullptr);
    if (!procedure.MakeFonts()) {
        error = "a font of dialog " + std::to_string(index) + " cannot be made";
        return -1;
    }
    std::intptr_t result =
        state.WizardStyle
            ? service.RunModelessIndirect(AsChildPage(page.Template), frame, procedure)
            : service.DialogBoxIndirectParamA(page.Template, engine.Services.Host.MainWindow(),
                                              procedure);
    if (result == -1) {
        error = service.LastError();
    }
    return result;
}

// The decompressed block of the record, decompressing it on first use; null on failure.
const std::vector<std::uint8_t>* BlockOf(Engine& engine, const ActionRecord& record) {
    std::uint32_t start = record.FixedDword(1);
    std::uint32_t end = record.FixedDword(5);
    std::uint32_t size = record.FixedDword(9);
    DialogState& state = DialogsOf(engine);
    if (auto kept = state.Blocks.find(start); kept != state.Blocks.end()) {
        return &kept->second;
    }
    if (size == 0 || size > MaxBlockSize) {
        return nullptr;
    }
    std::vector<std::uint8_t> block(size, 0);
    if (!DecompressToMemory(engine, start, end, block)) {
        return nullptr;
    }
    return &state.Blocks.emplace(start, std::move(block)).first->second;
}

// Leaves the set, telling f31 which way the user left it.
int LeaveSet(Engine& engine, bool back) {
    DialogState& state = DialogsOf(engine);
    if (state.WizardStyle && !state.DirectionVariable.empty()) {
        engine.Variables.SetVariable(state.DirectionVariable, back ? "B" : "");
    }
    return 0;
}

int Fail(Engine& engine, const std::string& reason) {
    std::string text(DefaultErrorText);
    ReportError(engine, reason.empty() ? text : text + "\n\n" + reason);
    return -2;
}

} // namespace

int CustomDialogSet(Engine& engine, ActionRecord& record) {
    if (engine.Services.Host.Silent()) {
        return 0;
    }
    std::string_view condition = record.Once(0);
    if (!condition.empty() &&
        !platform::EqualsIgnoringCase(engine.Variables.GetVariable(condition), record.Once(1))) {
        return 0;
    }
    engine.Services.Host.CloseProgressWindow();
    const std::vector<std::uint8_t>* block = BlockOf(engine, record);
    if (block == nullptr) {
        return Fail(engine, "the dialog set cannot be decompressed");
    }
    return RunDialogSet(engine, *block);
}

int RunDialogSet(Engine& engine, std::span<const std::uint8_t> block) {
    DialogSetReadResult set = ReadDialogSet(block, engine.Program.Languages());
    if (!set.Error.empty()) {
        return Fail(engine, set.Error);
    }
    std::deque<std::size_t> history;
    std::size_t index = 0;
    for (;;) {
        if (index >= set.Pages.size()) {
            return Fail(engine, "a button leads to dialog " + std::to_string(index) +
                                    ", which the set does not have");
        }
        const DialogPage& page = set.Pages[index];
        std::string error;
        std::intptr_t result = ShowPage(engine, page, index, error);
        if (result == -1) {
            return Fail(engine, error);
        }
        if (result == page_result::Abort) {
            return -2;
        }
        if (result == page_result::Leave) {
            return LeaveSet(engine, false);
        }
        if (result < 0 || static_cast<std::size_t>(result) >= page.Entries.size()) {
            return Fail(engine, "dialog " + std::to_string(index) + " ended with the result " +
                                    std::to_string(result));
        }
        const ControlEntry& pressed = page.Entries[static_cast<std::size_t>(result)];
        switch (pressed.Action) {
        case page_action::Back:
            if (history.empty()) {
                return LeaveSet(engine, true);
            }
            index = history.back();
            history.pop_back();
            break;
        case page_action::Next:
            if (history.size() == MaxHistory) {
                history.pop_front();
            }
            history.push_back(index);
            index = pressed.Target;
            break;
        case page_action::Cancel:
            return -2;
        default:
            return LeaveSet(engine, false);
        }
    }
}

} // namespace vorn
