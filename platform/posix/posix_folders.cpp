// Folder paths on Linux: "/" separators, with "\" accepted from Windows settings.
#include "platform/folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace platform {

std::string WithFolderSeparator(std::string folder) {
    if (!folder.ends_with('/') && !folder.ends_with('\\')) {
        folder += '/';
    }
    return folder;
}

std::string NativePath(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

std::string FallbackTempFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return WithFolderSeparator(error ? std::string("/tmp") : folder.string());
}

} // namespace platform
