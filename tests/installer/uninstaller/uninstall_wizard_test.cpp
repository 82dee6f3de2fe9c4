// The uninstall wizard over dialogs played by a script: the order of its pages, what a
// list page shows and stores, and the progress bar's blocks.
#include "installer/uninstaller/uninstall_wizard.h"
#include "platform/headless/headless_uninstall_dialogs.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using rescind::WizardPage;
using Dialog = platform::HeadlessUninstallDialogs::Dialog;
namespace w = rescind::wizard;

rescind::FileItem File(std::string path) {
    rescind::FileItem file;
    file.Path = std::move(path);
    file.Selected = file.Created = true;
    return file;
}

rescind::RegValueItem Restore(std::string name, std::string old) {
    rescind::RegValueItem value;
    value.Key = "Software\\Old";
    value.Name = std::move(name);
    value.UninstallValue = {std::move(old)};
    return value;
}

// One item on each of the pages named.
rescind::ItemLists ListsWith(std::initializer_list<WizardPage> pages, bool backups) {
    const auto has = [&](WizardPage page) { return std::ranges::count(pages, page) > 0; };
    rescind::ItemLists lists;
    lists.HasBackups = backups;
    lists.PrivateFiles.resize(has(WizardPage::PrivateFiles), File("C:\\APP\\A.EXE"));
    lists.Directories.resize(has(WizardPage::Directories), {"C:\\APP\\", 0, 1, true});
    lists.RegTrees.resize(has(WizardPage::RegistryTrees), {"Software\\Demo", 1, 1, true});
    lists.Services.resize(has(WizardPage::SubSystems), {"DemoService", 1, true});
    return lists;
}

TEST(UninstallWizard, PagesFollowTheModeAndSkipEmptyLists) {
    using enum WizardPage;
    struct Case {
        const char* Name;
        std::initializer_list<WizardPage> Filled;
        bool Backups;
        const char* Keys; // C custom, > Next, < Back
        std::vector<WizardPage> Pages;
    };
    const Case cases[] = {
        {"custom with files and folders",
         {PrivateFiles, Directories},
         false,
         "C>>><",
         {PrivateFiles, Directories, Perform, Directories}},
        {"custom back to the method",
         {RegistryTrees},
         true,
         "C><<",
         {RegistryTrees, Method, Method}},
        {"custom shows a service on the sub-system page",
         {SubSystems},
         false,
         "C>>",
         {SubSystems, Perform}},
        {"automatic without backups", {PrivateFiles}, false, "><", {Perform, Method}},
        {"automatic with backups",
         {PrivateFiles},
         true,
         ">><<",
         {Rollback, Perform, Rollback, Method}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        platform::HeadlessUninstallDialogs dialogs;
        rescind::QuietRemovalUi questions;
        rescind::UninstallWizard wizard(dialogs, {}, questions);
        std::vector<WizardPage> pages;
        for (const char* key = c.Keys; *key != '\0'; ++key) {
            dialogs.Steps.push_back([&, key = *key](Dialog& dialog) {
                if (key == 'C') {
                    dialog.CheckRadioButton(w::FirstRadio, w::SecondRadio, w::SecondRadio);
                    return;
                }
                dialog.Press(key == '>' ? w::Next : w::Back);
                pages.push_back(wizard.Page());
            });
        }
        rescind::ItemLists lists = ListsWith(c.Filled, c.Backups);
        const rescind::WizardChoice choice =
            wizard.Choose(lists, {}, {"Uninstall Demo", "Demo", false, false});

        EXPECT_EQ(pages, c.Pages);
        EXPECT_TRUE(choice.Cancelled); // the script ends with Cancel and Yes
        EXPECT_EQ(dialogs.Wizard, nullptr);
    }
}

TEST(UninstallWizard, ListPagesShowTheItemsAndStoreTheUsersSelection) {
    rescind::ItemLists lists;
    lists.PrivateFiles = {File("C:\\APP\\A.EXE"), File("C:\\APP\\B.EXE")};
    rescind::IniEntryItem& entry = lists.IniEntries.emplace_back();
    entry.File = "WIN.INI";
    entry.Section = "Demo";
    entry.Key = "Colour";
    entry.UninstallValue = "red";
    lists.RegValuesToRestore = {Restore("Mode", "before"), Restore("", "default")};
    platform::HeadlessUninstallDialogs dialogs;
    rescind::QuietRemovalUi questions;
    rescind::UninstallWizard wizard(dialogs, {}, questions);
    std::vector<std::vector<std::string>> shown;
    const auto next = [&](Dialog& dialog) {
        dialog.Press(w::Next);
        shown.push_back(dialog.Items[w::Items].Lines);
    };
    dialogs.Steps = {
        [](Dialog& dialog) {
            EXPECT_FALSE(dialog.IsDlgItemEnabled(w::Back));
            EXPECT_FALSE(dialog.IsDlgItemVisible(w::Items));
            dialog.CheckRadioButton(w::FirstRadio, w::SecondRadio, w::SecondRadio);
        },
        next,
        [](Dialog& dialog) {
            EXPECT_EQ(dialog.Items[w::Items].Selected, (std::vector<bool>{true, true}));
            EXPECT_FALSE(dialog.IsDlgItemVisible(w::FirstRadio));
            dialog.Press(w::SelectNone);
            dialog.ListSetSel(w::Items, 1, true);
        },
        next,
        next,
        [](Dialog& dialog) { dialog.Press(w::SelectNone); },
        next,
        [](Dialog& dialog) {
            EXPECT_EQ(dialog.GetDlgItemTextA(w::Next), "&Finish");
            dialog.Press(w::Next);
        },
    };
    const rescind::WizardChoice choice =
        wizard.Choose(lists, {}, {"Uninstall Demo", "Demo", false, false});

    EXPECT_FALSE(choice.Cancelled);
    EXPECT_EQ(choice.Mode, rescind::RemovalMode::Custom);
    const std::vector<std::vector<std::string>> expected = {
        {"C:\\APP\\A.EXE", "C:\\APP\\B.EXE"},
        {"WIN.INI: [Demo] Colour=red"},
        {"Software\\Old Value Name: Mode=before", "Software\\Old=default"},
        {"Software\\Old Value Name: Mode=before", "Software\\Old=default"}};
    EXPECT_EQ(shown, expected);
    EXPECT_FALSE(lists.PrivateFiles[0].Selected);
    EXPECT_TRUE(lists.PrivateFiles[1].Selected);
    EXPECT_TRUE(lists.IniEntries[0].Selected);
    EXPECT_FALSE(lists.RegValuesToRestore[0].Selected);
    ASSERT_NE(dialogs.Wizard, nullptr);
    EXPECT_EQ(dialogs.Wizard->GetDlgItemTextA(w::Explanation),
              "Performing uninstall of the Demo...\n\nPress the Cancel button to cancel the "
              "uninstall process and exit this program.");
    EXPECT_FALSE(dialogs.Wizard->IsDlgItemEnabled(w::Next));
}

TEST(UninstallWizard, ProgressBarIsARowOfBlocksUpToTheFractionDone) {
    const platform::Rect inside{10, 5, 110, 17}; // 12 high: steps of 8, blocks of 5
    struct Case {
        int Done;
        int Total;
        std::size_t Blocks;
        platform::Rect Last;
    };
    const Case cases[] = {
        {0, 4, 0, {}},
        {1, 4, 4, {34, 5, 35, 17}},
        {4, 4, 13, {106, 5, 110, 17}},
        {9, 4, 13, {106, 5, 110, 17}},
    };
    for (const Case& c : cases) {
        const auto blocks = rescind::ProgressBlocks(inside, c.Done, c.Total);
        ASSERT_EQ(blocks.size(), c.Blocks) << c.Done;
        if (!blocks.empty()) {
            EXPECT_EQ(blocks.front(), (platform::Rect{10, 5, 15, 17}));
            EXPECT_EQ(blocks.back(), c.Last) << c.Done;
        }
    }
    const auto bands = rescind::GradientBands(platform::Rgb(0, 0, 255), platform::Rgb(255, 0, 0));
    ASSERT_EQ(bands.size(), 96u);
    EXPECT_EQ(bands.front(), platform::Rgb(0, 0, 255));
    EXPECT_EQ(bands.back(), platform::Rgb(255, 0, 0));
}

} // namespace
