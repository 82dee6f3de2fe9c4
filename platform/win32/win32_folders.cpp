// Folder paths on Windows: "\" separators, and the root of drive C as the last resort.
#include "platform/folders.h"

namespace platform {

std::string WithFolderSeparator(std::string folder) {
    if (!folder.ends_with('\\')) {
        folder += '\\';
    }
    return folder;
}

std::string NativePath(std::string_view path) {
    return std::string(path);
}

std::string FallbackTempFolder() {
    return "C:\\";
}

} // namespace platform
