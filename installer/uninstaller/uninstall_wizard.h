// The uninstall wizard: the choice between automatic and custom removal, the pages of
// items to pick, the rollback question, and the progress of the removal, shown in the
// dialog the platform makes from the program's templates.
#pragma once

#include "item_lists.h"
#include "platform/uninstall_dialogs.h"
#include "removal_engine.h"
#include "string_table.h"
#include "uninstall_services.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class ProfileService;
}

namespace rescind {

/// The dialog templates and their control ids.
namespace wizard {
inline constexpr int WizardTemplate = 106;
inline constexpr int SharedFileTemplate = 104;

inline constexpr int Next = 1;
inline constexpr int Cancel = 2;
inline constexpr int SelectAll = 3;
inline constexpr int SelectNone = 4;
inline constexpr int Back = 5;
inline constexpr int FirstRadio = 1000;
inline constexpr int SecondRadio = 1001;
inline constexpr int Explanation = 1002;
inline constexpr int Items = 1003;
inline constexpr int SecondText = 1004;
inline constexpr int Heading = 1005;
inline constexpr int ProgressFrame = 3830;

inline constexpr int SharedQuestion = 1002;
inline constexpr int SharedYes = 1005;
inline constexpr int SharedNo = 1006;
inline constexpr int SharedNoToAll = 1;
} // namespace wizard

/// The wizard's pages by index.
enum class WizardPage {
    Method = 0,
    PrivateFiles,
    SystemFiles,
    Directories,
    IniFiles,
    IniEntries,
    RegistryValues,
    RegistryTrees,
    RegistryRestores,
    ProgramItems,
    SubSystems,
    Perform,
    Rollback,
};

/// The lines a list page shows, in list order; empty for the other pages.
std::vector<std::string> PageLines(const ItemLists& lists, WizardPage page);
/// The page Next and Back lead to.
WizardPage NextPage(const ItemLists& lists, RemovalMode mode, WizardPage page);
WizardPage PreviousPage(const ItemLists& lists, RemovalMode mode, WizardPage page);

/// The progress bar's blocks in the frame's inside, filled up to done/total of its width:
/// each step two thirds of the inside's height wide, each block 3 pixels narrower.
std::vector<platform::Rect> ProgressBlocks(const platform::Rect& inside, int done, int total);

/// The settings file's look of the wizard and its background.
struct UninstallSettings {
    platform::UninstallLook Look;
    bool NoBackground = false;
};
UninstallSettings ReadUninstallSettings(platform::ProfileService& profile,
                                        const std::string& settingsPath);
/// The 96 colours of the background's bands, top to bottom.
std::vector<platform::ColorRef> GradientBands(platform::ColorRef start, platform::ColorRef end);

/// How the run starts the wizard.
struct WizardStart {
    /// The window's title.
    std::string Title;
    /// The product's name, which the welcome and the last page's texts name.
    std::string Product;
    /// "/A": straight to the last page, and the removal starts at once.
    bool Automatic = false;
    /// "/R": the rollback page's Yes is checked.
    bool Rollback = false;
};

struct WizardChoice {
    bool Cancelled = false;
    RemovalMode Mode = RemovalMode::Automatic;
    bool Rollback = false;
};

/// What a run asks of its wizard: the choices before the removal, and the end of the
/// window that showed it.
class WizardHost {
public:
    virtual ~WizardHost() = default;
    /// The log the user picks when the command line names none: empty when cancelled.
    virtual std::string PickLog(const StringTable& strings) = 0;
    /// Shows the pages until Finish or Cancel; each list page's choices go into the
    /// items' selected flags.
    virtual WizardChoice Choose(ItemLists& lists, const StringTable& strings,
                                const WizardStart& start) = 0;
    virtual void RemovalOver() = 0;
};

/// The wizard in a dialog of the platform. During the removal it shows the status texts
/// and the progress bar and asks the shared-file question itself; the other questions go
/// to `questions`.
class UninstallWizard final : public WizardHost, public RemovalUi {
public:
    UninstallWizard(platform::UninstallDialogService& dialogs, platform::UninstallLook look,
                    RemovalUi& questions);
    ~UninstallWizard() override;

    std::string PickLog(const StringTable& strings) override;
    WizardChoice Choose(ItemLists& lists, const StringTable& strings,
                        const WizardStart& start) override;
    void RemovalOver() override;

    void Status(std::string_view message) override;
    void Progress(int done, int total) override;
    bool Cancelled() override;
    SharedFileAnswer AskSharedFile(std::string_view question) override;
    bool WindowClassExists(std::string_view windowClass) override;
    RunningServerAnswer AskServerRunning(std::string_view message) override;
    void Pause(std::uint32_t milliseconds) override;

    WizardPage Page() const { return Current; }

private:
    class Handler;
    friend class Handler;

    void Command(platform::DialogControls& dialog, int id);
    void SetUpPage(platform::DialogControls& dialog);
    void StoreChoices(platform::DialogControls& dialog);
    void ShowRemoval(platform::DialogControls& dialog);
    void Pump(bool wait);
    void CloseIfAsked();

    platform::UninstallDialogService& Dialogs;
    platform::UninstallLook Look;
    RemovalUi& Questions;
    std::unique_ptr<Handler> Events;
    std::unique_ptr<platform::ModelessDialog> Dialog;
    ItemLists* Lists = nullptr;
    const StringTable* Strings = nullptr;
    std::string Title;
    std::string Product;
    WizardPage Current = WizardPage::Method;
    WizardChoice Choice;
    bool Finished = false;
    bool CloseAsked = false;
};

} // namespace rescind
