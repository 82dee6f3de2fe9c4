// The Linux clipboard: a per-user clipboard file and the desktop's copy tool.
#include "platform/posix/file_clipboard.h"

#include "platform/stdio_file.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace platform {

namespace {

std::string AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// Writes `bytes` to `fileName` through a private temporary file renamed over it, so a
// reader never sees half a metafile.
bool WriteReplacing(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    std::error_code ignored;
    std::filesystem::path path(fileName);
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), ignored);
    }
    std::string temporary = fileName + ".XXXXXX";
    int descriptor = ::mkstemp(temporary.data()); // created with mode 0600
    if (descriptor < 0) {
        return false;
    }
    UniqueStdioFile file(::fdopen(descriptor, "wb"));
    if (!file) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.Get()) == bytes.size();
    written = std::fclose(file.Release()) == 0 && written;
    if (!written || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Starts the desktop's copy tool with the file on its input; the tool stays behind to
// serve the clipboard (xclip forks, wl-copy too). False when none could be started.
bool OfferToDesktop(const std::string& fileName) {
    const bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    std::vector<std::vector<char*>> tools;
    static char wlCopy[] = "wl-copy", wlType[] = "--type", xclip[] = "xclip",
                selection[] = "-selection", clipboardName[] = "clipboard", xType[] = "-t",
                emf[] = "image/emf";
    if (wayland) {
        tools.push_back({wlCopy, wlType, emf, nullptr});
    }
    tools.push_back({xclip, selection, clipboardName, xType, emf, nullptr});
    for (std::vector<char*>& arguments : tools) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, fileName.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        int failed =
            posix_spawnp(&child, arguments[0], &actions, nullptr, arguments.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            continue;
        }
        int status = 0;
        if (::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
            WEXITSTATUS(status) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

FileClipboard::FileClipboard(metafile::MetafileGdi& metafiles, std::string fileName, bool toDesktop)
    : Metafiles(metafiles), FileName(std::move(fileName)), ToDesktop(toDesktop) {}

bool FileClipboard::OpenClipboard() {
    if (IsOpen) {
        return false;
    }
    IsOpen = true;
    Changed = false;
    return true;
}

bool FileClipboard::EmptyClipboard() {
    if (!IsOpen) {
        return false;
    }
    Metafile.clear();
    Changed = true;
    return true;
}

bool FileClipboard::SetClipboardData(unsigned format, HENHMETAFILE metafile) {
    if (!IsOpen || format != clipboard::EnhMetafile) {
        return false;
    }
    std::span<const std::uint8_t> bytes = Metafiles.EnhMetaFileBits(metafile);
    if (bytes.empty()) {
        return false;
    }
    Metafile.assign(bytes.begin(), bytes.end());
    Metafiles.DeleteEnhMetaFile(metafile);
    Changed = true;
    return true;
}

bool FileClipboard::CloseClipboard() {
    if (!IsOpen) {
        return false;
    }
    IsOpen = false;
    return !Changed || Publish();
}

bool FileClipboard::Publish() {
    if (FileName.empty()) {
        return true; // nowhere to publish to: the clipboard lives as long as the program
    }
    if (Metafile.empty()) {
        std::error_code ignored;
        std::filesystem::remove(FileName, ignored);
        return true;
    }
    if (!WriteReplacing(FileName, Metafile)) {
        return false;
    }
    if (ToDesktop) {
        OfferToDesktop(FileName);
    }
    return true;
}

std::string UserClipboardFile() {
    if (const char* named = std::getenv("PLANDRA_CLIPBOARD"); named != nullptr && named[0] != 0) {
        return named;
    }
    if (std::string runtime = AbsoluteVariable("XDG_RUNTIME_DIR"); !runtime.empty()) {
        return runtime + "/plandra/clipboard.emf";
    }
    if (std::string cache = AbsoluteVariable("XDG_CACHE_HOME"); !cache.empty()) {
        return cache + "/plandra/clipboard.emf";
    }
    if (std::string home = AbsoluteVariable("HOME"); !home.empty()) {
        return home + "/.cache/plandra/clipboard.emf";
    }
    return {};
}

bool DesktopDisplayPresent() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && value[0] != 0;
    };
    return set("WAYLAND_DISPLAY") || set("DISPLAY");
}

} // namespace platform
