// What the install engine shows, recorded on the sandbox machine.
#include "platform/posix/sandbox_install_display.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace platform {

namespace {
// The progress window's handle on the sandbox: a number no other window has.
constexpr std::uintptr_t ProgressWindowHandle = 0x1538;
constexpr std::uintptr_t WaitDialogHandle = 0x103;
} // namespace

SandboxInstallDisplay::SandboxInstallDisplay(std::filesystem::path machineFolder)
    : Folder(std::move(machineFolder)), Bar(stderr, ::isatty(STDERR_FILENO) != 0) {}

std::uintptr_t SandboxInstallDisplay::OpenProgressWindow(std::uintptr_t owner,
                                                         std::string_view caption,
                                                         std::string_view cancelCaption,
                                                         ProgressWindowEvents&) {
    Record("ProgressWindow " + std::to_string(owner) + " \"" + std::string(caption) + "\" \"" +
           std::string(cancelCaption) + "\"");
    Window = ProgressWindowHandle;
    return Window;
}

void SandboxInstallDisplay::CloseProgressWindow() {
    if (Window != 0) {
        Record("ProgressWindow closed");
        Window = 0;
    }
}

std::uintptr_t SandboxInstallDisplay::OpenWaitDialog(std::uintptr_t owner, std::string_view text) {
    Record("WaitDialog " + std::to_string(owner) + " \"" + std::string(text) + "\"");
    return WaitDialogHandle;
}

void SandboxInstallDisplay::CloseWaitDialog(std::uintptr_t) {
    Record("WaitDialog closed");
}

void SandboxInstallDisplay::SetProgressText(std::string_view text) {
    Record("ProgressText \"" + std::string(text) + "\"");
}

void SandboxInstallDisplay::ShowTerminalProgress(std::string_view text, int percent) {
    Bar.Show(text, percent);
}

void SandboxInstallDisplay::EndTerminalProgress() {
    Bar.End();
}

void SandboxInstallDisplay::PlayVideoWindow(std::uintptr_t window, Point at) {
    Record("Video " + std::to_string(window) + " at " + std::to_string(at.x) + "," +
           std::to_string(at.y));
}

void SandboxInstallDisplay::CloseHelpFile(std::uintptr_t, std::string_view file) {
    Record("HelpQuit \"" + std::string(file) + "\"");
}

void SandboxInstallDisplay::Notice(std::string_view text) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    Record("Notice " + std::string(text));
}

bool SandboxInstallDisplay::sndPlaySoundA(const char* file, unsigned flags) {
    Record(file == nullptr ? std::string("SoundStop")
                           : "Sound \"" + std::string(file) + "\" flags " + std::to_string(flags));
    return true;
}

void SandboxInstallDisplay::Record(const std::string& line) {
    if (Folder.empty()) {
        return;
    }
    std::ofstream log(Folder / LogName, std::ios::app | std::ios::binary);
    log << line << "\n";
}

} // namespace platform
