// Replacing a file on Windows: GetTempFileNameA in the target's folder, then MoveFileExA.
#include "platform/file_replace.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

namespace platform {

std::string CreateFileBeside(std::string_view target) {
    const auto separator = target.find_last_of("\\/:");
    std::string folder = separator == std::string_view::npos
                             ? std::string(".")
                             : std::string(target.substr(0, separator + 1));
    char name[MAX_PATH + 1] = {};
    // With 0 as the unique number the call creates the file, so the name stays ours.
    if (::GetTempFileNameA(folder.c_str(), "PLD", 0, name) == 0) {
        return {};
    }
    return name;
}

bool ReplaceFileWith(std::string_view source, std::string_view target) {
    return ::MoveFileExA(std::string(source).c_str(), std::string(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(std::string_view path) {
    return ::DeleteFileA(std::string(path).c_str()) != 0;
}

} // namespace platform
