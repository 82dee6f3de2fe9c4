// The uninstall wizard's pages, their order, their lists and the removal's display.
#include "uninstall_wizard.h"

#include "platform/profile.h"

#include <algorithm>
#include <array>

namespace rescind {

namespace {

using platform::DialogControls;
namespace w = wizard;

constexpr int PageCount = 13;
constexpr int LongestOldValue = 255;
constexpr platform::ColorRef BarColor = platform::Rgb(0, 0, 127);
constexpr int BandCount = 96;

// MessageBoxA's Yes/No question and its Yes.
constexpr unsigned YesNoQuestion = 0x4 | 0x20;
constexpr int Yes = 6;

struct PageTexts {
    int Heading;
    int Explanation;
};

constexpr std::array<PageTexts, PageCount> Texts = {{
    {16, 7},
    {5, 6},
    {8, 9},
    {11, 12},
    {14, 15},
    {17, 18},
    {20, 21},
    {54, 55},
    {23, 24},
    {26, 27},
    {42, 41},
    {19, 13},
    {64, 65},
}};

int Index(WizardPage page) {
    return static_cast<int>(page);
}

bool IsListPage(WizardPage page) {
    return page >= WizardPage::PrivateFiles && page <= WizardPage::SubSystems;
}

std::string WithoutTrailingSlash(std::string path) {
    if (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string KeyLine(const RegValueItem& value) {
    return value.Name.empty() ? value.Key : value.Key + " Value Name: " + value.Name;
}

std::string RestoreLine(const RegValueItem& value) {
    std::string old = value.UninstallValue.empty() ? std::string() : value.UninstallValue.front();
    old.resize(std::min<std::size_t>(old.size(), LongestOldValue));
    return KeyLine(value) + "=" + old;
}

// Calls `each(line, selected)` for every item a list page shows, in list order.
template <typename Each> void ForEachItem(ItemLists& lists, WizardPage page, Each&& each) {
    const auto all = [&](auto& items, auto&& line) {
        for (auto& item : items) {
            each(line(item), item.Selected);
        }
    };
    const auto path = [](const auto& item) { return item.Path; };
    switch (page) {
    case WizardPage::PrivateFiles:
        return all(lists.PrivateFiles, path);
    case WizardPage::SystemFiles:
        return all(lists.SystemFiles, path);
    case WizardPage::Directories:
        return all(lists.Directories,
                   [](const DirectoryItem& item) { return WithoutTrailingSlash(item.Path); });
    case WizardPage::IniFiles:
        return all(lists.IniFiles, path);
    case WizardPage::IniEntries:
        return all(lists.IniEntries, [](const IniEntryItem& item) {
            return item.File + ": [" + item.Section + "] " + item.Key + "=" +
                   item.UninstallValue.value_or("");
        });
    case WizardPage::RegistryValues:
        return all(lists.RegValuesToRemove, KeyLine);
    case WizardPage::RegistryTrees:
        return all(lists.RegTrees, [](const RegTreeItem& item) { return item.Key; });
    case WizardPage::RegistryRestores:
        return all(lists.RegValuesToRestore, RestoreLine);
    case WizardPage::ProgramItems:
        return all(lists.ProgramItems, [](const ProgramItemEntry& item) { return item.Name; });
    case WizardPage::SubSystems:
        if (!lists.SubSystem.empty()) {
            each(lists.SubSystem, lists.SubSystemSelected);
        }
        all(lists.ExternalPrograms, [](const ExternalProgramItem& item) {
            return item.Name.empty() ? item.Command : item.Name;
        });
        return all(lists.Services, [](const ServiceItem& item) { return item.Name; });
    default:
        return;
    }
}

bool HasItems(const ItemLists& lists, WizardPage page) {
    return !PageLines(lists, page).empty();
}

} // namespace

std::vector<std::string> PageLines(const ItemLists& lists, WizardPage page) {
    std::vector<std::string> lines;
    // The lines only read the lists; the flags handed out are not touched.
    ForEachItem(const_cast<ItemLists&>(lists), page,
                [&](std::string line, bool&) { lines.push_back(std::move(line)); });
    return lines;
}

WizardPage NextPage(const ItemLists& lists, RemovalMode mode, WizardPage page) {
    if (mode == RemovalMode::Automatic) {
        if (page == WizardPage::Method) {
            return lists.HasBackups ? WizardPage::Rollback : WizardPage::Perform;
        }
        return page == WizardPage::Rollback ? WizardPage::Perform : page;
    }
    if (page >= WizardPage::Perform) {
        return WizardPage::Perform;
    }
    for (int next = Index(page) + 1; next <= Index(WizardPage::SubSystems); ++next) {
        if (HasItems(lists, static_cast<WizardPage>(next))) {
            return static_cast<WizardPage>(next);
        }
    }
    return WizardPage::Perform;
}

WizardPage PreviousPage(const ItemLists& lists, RemovalMode mode, WizardPage page) {
    if (mode == RemovalMode::Automatic) {
        if (page == WizardPage::Perform && lists.HasBackups) {
            return WizardPage::Rollback;
        }
        return WizardPage::Method;
    }
    const int from = page == WizardPage::Rollback ? Index(WizardPage::Perform) : Index(page);
    for (int previous = from - 1; previous > Index(WizardPage::Method); --previous) {
        if (HasItems(lists, static_cast<WizardPage>(previous))) {
            return static_cast<WizardPage>(previous);
        }
    }
    return WizardPage::Method;
}

std::vector<platform::Rect> ProgressBlocks(const platform::Rect& inside, int done, int total) {
    std::vector<platform::Rect> blocks;
    const std::int64_t width = std::max(0, inside.right - inside.left);
    const int height = inside.bottom - inside.top;
    if (total <= 0 || done <= 0 || height <= 0) {
        return blocks;
    }
    const std::int64_t filled = width * std::min(done, total) / total;
    const int step = std::max(4, height * 2 / 3);
    for (std::int64_t x = 0; x < filled; x += step) {
        const std::int64_t end = std::min<std::int64_t>(x + step - 3, filled);
        blocks.push_back({inside.left + static_cast<int>(x), inside.top,
                          inside.left + static_cast<int>(end), inside.bottom});
    }
    return blocks;
}

UninstallSettings ReadUninstallSettings(platform::ProfileService& profile,
                                        const std::string& settingsPath) {
    const auto number = [&](const char* key, int fallback) {
        const auto value = static_cast<std::int32_t>(
            profile.GetPrivateProfileIntA("Settings", key, fallback, settingsPath));
        return std::clamp(value, 0, 255);
    };
    UninstallSettings settings;
    settings.Look.StartColor =
        platform::Rgb(number("Start Red", 0), number("Start Green", 0), number("Start Blue", 255));
    settings.Look.EndColor =
        platform::Rgb(number("End Red", 0), number("End Green", 0), number("End Blue", 0));
    settings.NoBackground =
        profile.GetPrivateProfileIntA("Settings", "No Background", 0, settingsPath) != 0;
    settings.Look.FontCharSet = number("Font Character Set", 0);
    std::array<char, 64> face{};
    const std::uint32_t length = profile.GetPrivateProfileStringA(
        "Settings", "Title Font", "Times New Roman", face, settingsPath);
    settings.Look.TitleFont.assign(face.data(), length);
    return settings;
}

std::vector<platform::ColorRef> GradientBands(platform::ColorRef start, platform::ColorRef end) {
    const auto channel = [](platform::ColorRef color, int shift) {
        return static_cast<int>((color >> shift) & 0xFF);
    };
    std::vector<platform::ColorRef> bands;
    for (int band = 0; band < BandCount; ++band) {
        const auto mix = [&](int shift) {
            const int from = channel(start, shift);
            const int to = channel(end, shift);
            return static_cast<unsigned>(
                std::clamp(from + (to - from) * band / (BandCount - 1), 0, 255));
        };
        bands.push_back(platform::Rgb(mix(0), mix(8), mix(16)));
    }
    return bands;
}

// The wizard dialog's messages, handed to the wizard.
class UninstallWizard::Handler final : public platform::DialogHandler {
public:
    explicit Handler(UninstallWizard& owner) : Owner(owner) {}
    void InitDialog(DialogControls& dialog) override {
        const StringTable& strings = *Owner.Strings;
        dialog.SetDlgItemTextA(w::Back, strings.Text(47));
        dialog.SetDlgItemTextA(w::Cancel, strings.Text(48));
        dialog.SetDlgItemTextA(w::SelectAll, strings.Text(49));
        dialog.SetDlgItemTextA(w::SelectNone, strings.Text(50));
        dialog.ShowDlgItem(w::ProgressFrame, false);
        Owner.SetUpPage(dialog);
    }
    void Command(DialogControls& dialog, int id) override { Owner.Command(dialog, id); }

private:
    UninstallWizard& Owner;
};

// The shared-file question's dialog.
class SharedFileQuestion final : public platform::DialogHandler {
public:
    SharedFileQuestion(platform::UninstallDialogService& dialogs, const StringTable& strings,
                       std::string_view question)
        : Dialogs(dialogs), Strings(strings), Question(question) {}
    void InitDialog(DialogControls& dialog) override {
        dialog.SetDlgItemTextA(w::SharedQuestion, Question);
        dialog.SetDlgItemTextA(w::SharedYes, Strings.Text(51));
        dialog.SetDlgItemTextA(w::SharedNo, Strings.Text(52));
        dialog.SetDlgItemTextA(w::SharedNoToAll, Strings.Text(53));
    }
    void Command(DialogControls& dialog, int id) override {
        // Escape and the close box answer as the default button does.
        Dialogs.EndDialog(dialog, id == w::SharedYes || id == w::SharedNo ? id : w::SharedNoToAll);
    }

private:
    platform::UninstallDialogService& Dialogs;
    const StringTable& Strings;
    std::string Question;
};

UninstallWizard::UninstallWizard(platform::UninstallDialogService& dialogs,
                                 platform::UninstallLook look, RemovalUi& questions)
    : Dialogs(dialogs), Look(std::move(look)), Questions(questions),
      Events(std::make_unique<Handler>(*this)) {}

UninstallWizard::~UninstallWizard() = default;

std::string UninstallWizard::PickLog(const StringTable& strings) {
    return Dialogs.GetOpenFileNameA(strings.Text(text::LogsFilter), "install.log", "INSTALL.LOG");
}

WizardChoice UninstallWizard::Choose(ItemLists& lists, const StringTable& strings,
                                     const WizardStart& start) {
    Lists = &lists;
    Strings = &strings;
    Title = start.Title;
    Product = start.Product;
    Choice = {};
    Choice.Rollback = start.Rollback;
    Finished = start.Automatic;
    Current = start.Automatic ? WizardPage::Perform : WizardPage::Method;
    Dialog = Dialogs.CreateWizard(Title, Look, *Events);
    if (Dialog == nullptr) {
        // Without its window the user cannot choose; nothing is removed.
        Choice.Cancelled = true;
        return Choice;
    }
    DialogControls& controls = Dialog->Controls();
    if (start.Automatic) {
        controls.ShowDlgItem(w::Next, false);
        controls.ShowDlgItem(w::Back, false);
        ShowRemoval(controls);
        return Choice;
    }
    while (!Finished && !Choice.Cancelled) {
        Pump(true);
    }
    return Choice;
}

void UninstallWizard::RemovalOver() {
    Dialog.reset();
}

void UninstallWizard::Command(DialogControls& dialog, int id) {
    switch (id) {
    case w::Next:
        if (Finished) {
            return;
        }
        StoreChoices(dialog);
        if (Current == WizardPage::Perform) {
            Finished = true;
            ShowRemoval(dialog);
            return;
        }
        Current = NextPage(*Lists, Choice.Mode, Current);
        SetUpPage(dialog);
        return;
    case w::Back:
        if (Finished || Current == WizardPage::Method) {
            return;
        }
        StoreChoices(dialog);
        Current = PreviousPage(*Lists, Choice.Mode, Current);
        SetUpPage(dialog);
        return;
    case w::SelectAll:
    case w::SelectNone:
        if (IsListPage(Current)) {
            dialog.ListSetSel(w::Items, -1, id == w::SelectAll);
        }
        return;
    case w::Cancel:
        if (Choice.Cancelled) {
            return;
        }
        if (Dialogs.MessageBoxA(Strings->Text(59), Strings->Text(text::Uninstall), YesNoQuestion) ==
            Yes) {
            Choice.Cancelled = true;
            // The window goes once its message has been handled.
            CloseAsked = true;
        }
        return;
    default:
        return;
    }
}

void UninstallWizard::StoreChoices(DialogControls& dialog) {
    if (Current == WizardPage::Method) {
        Choice.Mode =
            dialog.IsDlgButtonChecked(w::FirstRadio) ? RemovalMode::Automatic : RemovalMode::Custom;
    } else if (Current == WizardPage::Rollback) {
        Choice.Rollback = dialog.IsDlgButtonChecked(w::FirstRadio);
    } else if (IsListPage(Current)) {
        int index = 0;
        ForEachItem(*Lists, Current, [&](const std::string&, bool& selected) {
            selected = dialog.ListGetSel(w::Items, index++);
        });
    }
}

void UninstallWizard::SetUpPage(DialogControls& dialog) {
    const StringTable& strings = *Strings;
    const PageTexts texts = Texts[static_cast<std::size_t>(Index(Current))];
    const bool formatted = Current == WizardPage::Method || Current == WizardPage::Perform;
    dialog.SetDlgItemTextA(w::Heading, strings.Text(texts.Heading));
    dialog.SetDlgItemTextA(w::Explanation,
                           formatted ? FormatWithText(strings.Text(texts.Explanation), Product)
                                     : strings.Text(texts.Explanation));
    dialog.SetDlgItemTextA(w::Next, strings.Text(Current == WizardPage::Perform ? 63 : 46));
    dialog.EnableDlgItem(w::Back, Current != WizardPage::Method);

    const bool list = IsListPage(Current);
    const bool question = Current == WizardPage::Method || Current == WizardPage::Rollback;
    for (const int id : {w::Items, w::SelectAll, w::SelectNone}) {
        dialog.ShowDlgItem(id, list);
    }
    dialog.ShowDlgItem(w::FirstRadio, question);
    dialog.ShowDlgItem(w::SecondRadio, question);
    dialog.ShowDlgItem(w::SecondText, !list);

    if (Current == WizardPage::Method) {
        dialog.SetDlgItemTextA(w::SecondText, strings.Text(10));
        dialog.SetDlgItemTextA(w::FirstRadio, strings.Text(60));
        dialog.SetDlgItemTextA(w::SecondRadio, strings.Text(61));
        dialog.CheckRadioButton(w::FirstRadio, w::SecondRadio,
                                Choice.Mode == RemovalMode::Custom ? w::SecondRadio
                                                                   : w::FirstRadio);
    } else if (Current == WizardPage::Rollback) {
        dialog.SetDlgItemTextA(w::SecondText, strings.Text(66));
        dialog.SetDlgItemTextA(w::FirstRadio, strings.Text(51));
        dialog.SetDlgItemTextA(w::SecondRadio, strings.Text(52));
        dialog.CheckRadioButton(w::FirstRadio, w::SecondRadio,
                                Choice.Rollback ? w::FirstRadio : w::SecondRadio);
    } else if (Current == WizardPage::Perform) {
        dialog.SetDlgItemTextA(w::SecondText, strings.Text(22));
    } else {
        dialog.ListResetContent(w::Items);
        ForEachItem(*Lists, Current, [&](const std::string& line, bool& selected) {
            const int index = dialog.ListAddString(w::Items, line);
            dialog.ListSetSel(w::Items, index, selected);
        });
        dialog.ListFitHorizontalExtent(w::Items);
    }
}

void UninstallWizard::ShowRemoval(DialogControls& dialog) {
    dialog.SetDlgItemTextA(w::Explanation, FormatWithText(Strings->Text(45), Product));
    dialog.EnableDlgItem(w::Next, false);
    dialog.EnableDlgItem(w::Back, false);
    for (const int id : {w::Items, w::SelectAll, w::SelectNone, w::FirstRadio, w::SecondRadio}) {
        dialog.ShowDlgItem(id, false);
    }
    dialog.SetDlgItemTextA(w::SecondText, "");
    dialog.ShowDlgItem(w::SecondText, true);
    Progress(0, 1);
}

void UninstallWizard::Pump(bool wait) {
    // The program being asked to end counts as the user's cancel.
    if (!Dialogs.PumpMessages(wait)) {
        Choice.Cancelled = true;
        CloseAsked = true;
    }
    CloseIfAsked();
}

void UninstallWizard::CloseIfAsked() {
    if (CloseAsked) {
        CloseAsked = false;
        Dialog.reset();
    }
}

void UninstallWizard::Status(std::string_view message) {
    if (Dialog != nullptr) {
        Dialog->Controls().SetDlgItemTextA(w::SecondText, message);
    }
    Pump(false);
}

void UninstallWizard::Progress(int done, int total) {
    if (Dialog != nullptr) {
        DialogControls& controls = Dialog->Controls();
        // Without the 3D look the frame control stays hidden and a black frame is drawn
        // around the bar in its place.
        const platform::Rect inside = controls.FrameInterior(w::ProgressFrame);
        controls.SetPaintedBlocks(
            ProgressBlocks(inside, done, total), BarColor,
            {inside.left - 1, inside.top - 1, inside.right + 1, inside.bottom + 1});
    }
}

bool UninstallWizard::Cancelled() {
    Pump(false);
    return Choice.Cancelled;
}

SharedFileAnswer UninstallWizard::AskSharedFile(std::string_view question) {
    if (Strings == nullptr) {
        return Questions.AskSharedFile(question);
    }
    SharedFileQuestion asked(Dialogs, *Strings, question);
    const int answer = Dialogs.DialogBoxParamA(w::SharedFileTemplate,
                                               Strings->Text(text::RemoveSharedComponent), asked);
    return answer == w::SharedYes  ? SharedFileAnswer::Remove
           : answer == w::SharedNo ? SharedFileAnswer::Keep
                                   : SharedFileAnswer::KeepAll;
}

bool UninstallWizard::WindowClassExists(std::string_view windowClass) {
    return Questions.WindowClassExists(windowClass);
}

RunningServerAnswer UninstallWizard::AskServerRunning(std::string_view message) {
    return Questions.AskServerRunning(message);
}

void UninstallWizard::Pause(std::uint32_t milliseconds) {
    Questions.Pause(milliseconds);
}

} // namespace rescind
