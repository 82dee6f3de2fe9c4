// The sample dialog script on a real display: a helper thread answers its pages with
// posted keys and clicks, and the variables end as in the headless run. With
// VORN_DIALOG_PAUSE_MS set, each page stays that long before it is answered, so that
// the screen can be captured.
#include "sample_dialog_script.h"
#include "screen_capture.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <thread>
#include <windows.h>

namespace vorn {
namespace {

HWND WaitForWindow(const char* caption, const char* className = nullptr) {
    for (int i = 0; i < 200; ++i) {
        if (HWND window = ::FindWindowA(className, caption)) {
            return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

void Pause(const char* capture) {
    if (testing::CaptureScreen(capture)) {
        return;
    }
    const char* pause = std::getenv("VORN_DIALOG_PAUSE_MS");
    std::this_thread::sleep_for(
        std::chrono::milliseconds(pause != nullptr ? std::atoi(pause) : 200));
}

void Type(HWND dialog, int control, const std::string& text) {
    for (char c : text) {
        ::PostMessageA(::GetDlgItem(dialog, control), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void Click(HWND dialog, int control) {
    ::PostMessageA(::GetDlgItem(dialog, control), BM_CLICK, 0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// The same answers as the headless run: too short a name, Next, Back, Next, Finish.
void Answer() {
    HWND options = WaitForWindow("Setup Options");
    ASSERT_NE(options, nullptr);
    Type(options, 10, "A");
    Click(options, 1);
    ::PostMessageA(::GetDlgItem(options, 10), EM_SETSEL, 0, -1);
    Type(options, 10, "Ann");
    Click(options, 21);
    Click(options, 31);
    Pause("setup-options");
    Click(options, 1);
    HWND folder = WaitForWindow("Setup Folder");
    ASSERT_NE(folder, nullptr);
    Click(folder, 3);
    options = WaitForWindow("Setup Options");
    ASSERT_NE(options, nullptr);
    Click(options, 1);
    folder = WaitForWindow("Setup Folder");
    ASSERT_NE(folder, nullptr);
    Type(folder, 40, "d:\\apps");
    ::PostMessageA(::GetDlgItem(folder, 50), LB_SETSEL, TRUE, 0);
    ::PostMessageA(::GetDlgItem(folder, 50), LB_SETSEL, TRUE, 2);
    Pause("setup-folder");
    Click(folder, 1);
}

std::string StatusFile() {
    char windows[MAX_PATH] = "";
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    std::ifstream status(std::string(windows) + "\\" + DialogSampleStatusFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(status), {});
}

// A notification of a list, as the list sends it to its dialog.
void Notify(HWND dialog, int control, int code) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, code),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, control)));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

// The browser goes up from the Windows directory; the part list keeps Samples alone.
void AnswerLists() {
    HWND lists = WaitForWindow("Folders");
    ASSERT_NE(lists, nullptr);
    Pause("lists");
    ::PostMessageA(::GetDlgItem(lists, 60), LB_SETCURSEL, 0, 0);
    Notify(lists, 60, LBN_DBLCLK);
    ::PostMessageA(::GetDlgItem(lists, 70), LB_SETSEL, FALSE, -1);
    ::PostMessageA(::GetDlgItem(lists, 70), LB_SETSEL, TRUE, 1);
    Notify(lists, 70, LBN_SELCHANGE);
    Pause("lists-chosen");
    Click(lists, 1);
}

// Waits until the path dialog shows LABEL's directory.
HWND WaitForPathDialog(const char* label) {
    for (int i = 0; i < 200; ++i) {
        char text[64] = "";
        HWND dialog = ::FindWindowA(nullptr, "Setup Directories");
        if (dialog != nullptr && ::GetDlgItemTextA(dialog, 1002, text, sizeof text) > 0 &&
            std::string(text) == label) {
            return dialog;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

// The language dialog, the path dialog with the confirm-exit box of its Cancel (answered
// No), the other four directories, and the wizard page in its frame beside the picture.
void AnswerEngineDialogs() {
    HWND language = WaitForWindow("Setup Language");
    ASSERT_NE(language, nullptr);
    // The list is filled, and its first choice made, while the dialog opens.
    for (int i = 0; i < 100 && ::SendMessageA(::GetDlgItem(language, 1004), LB_GETCOUNT, 0, 0) < 2;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::PostMessageA(::GetDlgItem(language, 1004), LB_SETCURSEL, 1, 0);
    Pause("language");
    Click(language, IDOK);
    for (const char* label : {"Windows", "System", "System32", "Temp", "Source"}) {
        HWND path = WaitForPathDialog(label);
        ASSERT_NE(path, nullptr) << label;
        if (std::string(label) == "Windows") {
            Pause("path");
            Click(path, IDCANCEL);
            HWND box = WaitForWindow("Plandra Setup");
            ASSERT_NE(box, nullptr);
            Pause("message-box");
            Click(box, 3);
            path = WaitForPathDialog(label);
        }
        if (::GetWindowTextLengthA(::GetDlgItem(path, 1000)) == 0) {
            Type(path, 1000, "C:\\");
        }
        Click(path, IDOK);
    }
    HWND frame = WaitForWindow(nullptr, "KTRSWizard");
    ASSERT_NE(frame, nullptr);
    Pause("wizard");
    Click(::GetWindow(frame, GW_CHILD), IDOK);
}

const DialogSample* Storing = nullptr;
InstallContext* StoringContext = nullptr;

// The sample's decompressor that also writes into a file: the archive's items are stored.
std::int32_t PLATFORM_WINAPI StoreDecompress(std::uintptr_t, std::uintptr_t file,
                                             std::uint32_t size, std::uint32_t) {
    const std::uint32_t at = StoringContext->ArchiveOffset;
    if (at > Storing->Archive.size() || Storing->Archive.size() - at < size) {
        StoringContext->ErrorCode = context_error::ArchiveReadFailure;
        return 0;
    }
    const std::uint8_t* from = Storing->Archive.data() + at;
    DWORD written = 0;
    if (file != 0 && !::WriteFile(reinterpret_cast<HANDLE>(file), from, size, &written, nullptr)) {
        StoringContext->ErrorCode = context_error::WriteFailure;
    } else if (file == 0 && StoringContext->DecompressTarget != nullptr) {
        std::memcpy(StoringContext->DecompressTarget, from, size);
    }
    return static_cast<std::int32_t>(size);
}

// Runs the sample with VornMain while `user` answers its dialogs from another thread.
std::int32_t RunAnswered(const DialogSample& sample, const char* commandLine, std::uint32_t options,
                         void (*user)()) {
    InstallContext context;
    UseDialogSample(context, sample);
    Storing = &sample;
    StoringContext = &context;
    context.Decompress = &StoreDecompress;
    context.OptionFlags |= options;
    std::thread answering(user);
    std::int32_t exitAction = 0;
    char program[RestartBufferSize] = "";
    char arguments[RestartBufferSize] = "";
    const std::int32_t result = VornMain(&context, commandLine, &exitAction, program, arguments);
    answering.join();
    return result;
}

// The second disk's part beside the setup program, which here is the test itself.
std::string SecondDisk() {
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string path(program);
    return path.substr(0, path.rfind('.')) + ".W02";
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The disk prompt shows while the part is missing; the disk goes in and OK retries.
void InsertDiskAndRetry() {
    HWND prompt = WaitForWindow("Setup Disk");
    ASSERT_NE(prompt, nullptr);
    Pause("disk-prompt");
    std::ofstream(SecondDisk(), std::ios::binary) << "part";
    Click(prompt, IDOK);
}

// Cancel, Yes to the confirm-exit question, and OK to the box that ends the run.
void CancelAtDiskPrompt() {
    HWND prompt = WaitForWindow("Setup Disk");
    ASSERT_NE(prompt, nullptr);
    Click(prompt, IDCANCEL);
    HWND box = WaitForWindow("Plandra Setup", "#32770");
    ASSERT_NE(box, nullptr);
    Click(box, IDOK);
    HWND error = WaitForWindow("Setup Error", "#32770");
    ASSERT_NE(error, nullptr);
    Click(error, IDOK);
}

// Context option bit 20: the language dialog stays up even for the user's own language.
constexpr std::uint32_t LanguageDialogAlwaysShown = 0x100000;

TEST(EngineDialogsOnScreen, LanguagePathBoxAndWizardAnswerByClicks) {
    DialogSample sample = BuildDialogKindsSample();
    EXPECT_EQ(RunAnswered(sample, "/M", LanguageDialogAlwaysShown, AnswerEngineDialogs), -1);
    EXPECT_EQ(StatusFile(), "Success|Deutsch|");
}

TEST(CustomDialogSetOnScreen, PostedKeysAndClicksFillTheVariablesAsTheAnswerFileDoes) {
    DialogSample sample = BuildDialogSample();
    EXPECT_EQ(RunAnswered(sample, "", 0, Answer), -1);
    EXPECT_EQ(StatusFile(), "Success|Ann|B|AB|D:|AC|");
}

TEST(CustomDialogSetOnScreen, BrowserAndPartListAnswerByClicks) {
    char windows[MAX_PATH] = "";
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    DialogSample sample = BuildListsSample(windows);
    EXPECT_EQ(RunAnswered(sample, "", 0, AnswerLists), -1);
    std::string parent(windows);
    parent.resize(parent.rfind('\\') == 2 ? 3 : parent.rfind('\\'));
    EXPECT_EQ(StatusFile(), "Success|" + parent + "|Samples|");
}

TEST(DiskPromptOnScreen, AsksForTheSecondDiskUntilItIsInOrTheUserCancels) {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    const std::string installed = std::string(temp) + "DISKTWO.BIN";
    struct Case {
        void (*User)();
        std::int32_t Result;
        const char* Status;
        const char* Installed;
    };
    for (const Case& c : {Case{InsertDiskAndRetry, -1, "Success|2|", "disk two"},
                          Case{CancelAtDiskPrompt, -2, "Failed|2|M7", ""}}) {
        std::remove(SecondDisk().c_str());
        std::remove(installed.c_str());
        DialogSample sample = BuildDiskPromptSample(installed);
        EXPECT_EQ(RunAnswered(sample, "", 0, c.User), c.Result);
        EXPECT_EQ(StatusFile(), c.Status);
        EXPECT_EQ(Contents(installed), c.Installed);
    }
    std::remove(SecondDisk().c_str());
    std::remove(installed.c_str());
}

} // namespace
} // namespace vorn
