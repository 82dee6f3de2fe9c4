// The wait dialog and the template message box failing: the work goes on without the
// dialog, and the box falls back to the system's. The same for the transfer's timer and
// the disk prompt's beep.
#include "engine_fakes.h"
#include "installer/engine/archive_parts.h"
#include "installer/engine/box_dialog_presenter.h"
#include "installer/engine/install_context.h"
#include "installer/engine/transfer_library.h"
#include "installer/engine/wait_dialog.h"
#include "platform/headless/fault_injection_box_dialogs.h"
#include "platform/headless/fault_injection_wait_dialogs.h"
#include "platform/headless/headless_message_box.h"
#include "platform/posix/sandbox_install_display.h"
#include "platform/posix/sandbox_machine.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace vorn {
namespace {

// A fresh sandbox machine's services.
struct FreshMachine {
    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Sandbox =
        platform::SandboxMachine::Create(Folder.Folder(), platform::WindowsFamily::WindowsNT)
            .Machine;
    testing::SandboxTestMachine Services{*Sandbox};
};

// A box dialog the user answers with its second button.
class SecondButtonBoxes final : public platform::BoxDialogService {
public:
    int ShowBoxDialog(const platform::BoxDialogRequest&,
                      const std::function<platform::BoxDialogPlacement(
                          const platform::BoxDialogParts&, platform::Size, int, bool)>&) override {
        return 3;
    }
};

TEST(DialogServiceFaults, WaitDialogAndTemplateBoxThatFailLetTheRunGoOn) {
    struct Case {
        bool Fails;
        const char* Shown;
        BoxButton Pressed;
        std::size_t SystemBoxes;
    };
    const Case cases[] = {
        {false, "WaitDialog 4096 \"Searching\"\nWaitDialog closed\n", BoxButton::Second, 0},
        {true,
         "Notice the wait dialog \"Searching\" cannot be shown; the work goes on without it\n",
         BoxButton::First, 1},
    };
    for (const Case& c : cases) {
        FreshMachine machine;
        testing::SandboxTestMachine& services = machine.Services;
        platform::SandboxInstallDisplay display(machine.Folder.Folder());
        platform::FaultInjectingWaitDialogs waits(display);
        services.ShownDisplay = &display;
        services.ShownWaitDialogs = &waits;
        SecondButtonBoxes shownBoxes;
        platform::FaultInjectingBoxDialogs boxes(shownBoxes);
        if (c.Fails) {
            waits.Plan.FailAt(platform::WaitDialogCall::OpenWaitDialog, 1, 0);
            boxes.Plan.FailAt(platform::BoxDialogCall::ShowBoxDialog, 1, 0);
        }
        testing::EngineHarness harness({op::EndOfScript});
        harness.Machine->Services.Machine = &services;
        { WaitDialogScope scope(*harness.Machine, "Searching"); }
        EXPECT_EQ(plandra::test::ReadFileText(machine.Folder.Folder() /
                                              platform::SandboxInstallDisplay::LogName),
                  c.Shown);

        platform::HeadlessMessageBox system;
        TemplateBoxPresenter presenter(system, &boxes);
        BoxRequest request;
        request.Owner = 1;
        request.Text = "Replace the file?";
        request.FirstCaption = "Yes";
        request.SecondCaption = "No";
        EXPECT_EQ(presenter.Present(request), c.Pressed);
        EXPECT_EQ(system.Boxes.size(), c.SystemBoxes);
    }
}

// The timers running on the machine while the transfer library works.
const platform::SandboxUserPrompts* PromptsSeen = nullptr;
using Timers = std::map<std::pair<std::uintptr_t, std::uintptr_t>, unsigned>;
Timers TimersDuringTransfer;

std::int32_t PLATFORM_WINAPI TimedTransfer(std::int32_t*, const char*, const char*, std::uintptr_t,
                                           std::uint32_t*, std::intptr_t, std::uint32_t,
                                           std::uint32_t, std::uint32_t, char*) {
    TimersDuringTransfer = PromptsSeen->Timers;
    return 0;
}

TEST(DialogServiceFaults, TransferTimerAndDiskPromptBeepThatFailLetTheRunGoOn) {
    using platform::UserPromptCall;
    struct Case {
        std::optional<UserPromptCall> Fault;
        std::uint32_t Options;
        bool Ticking;
        int Beeps;
    };
    const Case cases[] = {
        {std::nullopt, context_option::BeepAtDiskPrompt, true, 1},
        {std::nullopt, 0, true, 0},
        {UserPromptCall::SetTimer, 0, false, 0},
        {UserPromptCall::MessageBeep, context_option::BeepAtDiskPrompt, true, 0},
    };
    for (const Case& c : cases) {
        FreshMachine machine;
        testing::SandboxTestMachine& services = machine.Services;
        if (c.Fault) {
            services.FaultyPrompts.Plan.FailAt(*c.Fault, 1, 0);
        }
        testing::EngineHarness harness({op::EndOfScript});
        Engine& engine = *harness.Machine;
        InstallContext context;
        context.OptionFlags = c.Options;
        engine.Services.Machine = &services;
        engine.Services.Context = &context;

        engine.Transfer.Transfer = &TimedTransfer;
        PromptsSeen = &services.PromptCalls;
        EXPECT_TRUE(TransferFile(engine, {"ftp://h/a.dll", "C:\\A.TMP", 9, 1, 2}));
        // The main window ticks every 250 ms with timer 1234 while the library works.
        EXPECT_EQ(TimersDuringTransfer, (c.Ticking ? Timers{{{4096, 1234}, 250}} : Timers{}));
        EXPECT_TRUE(services.PromptCalls.Timers.empty());

        // The second disk is missing: the prompt asks for it all the same.
        engine.Disks.BytesPerDisk = 1024;
        context.ArchiveOffset = 1500;
        harness.Boxes.Answers = {platform::id::Cancel};
        EXPECT_EQ(OpenArchivePart(engine, false, false), 1);
        EXPECT_TRUE(harness.BoxTexts().at(0).starts_with("Please insert disk 2."));
        EXPECT_EQ(services.PromptCalls.Beeps, c.Beeps);
    }
}

} // namespace
} // namespace vorn
