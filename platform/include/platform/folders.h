// Folder and file paths as the machine's file system takes them.
#pragma once

#include <string>
#include <string_view>

namespace platform {

/// The folder with a path separator at its end. Windows adds "\" unless it is there;
/// elsewhere a folder ending in "/" or "\" is taken as it is and any other gets "/".
std::string WithFolderSeparator(std::string folder);

/// A path as the file system takes it: unchanged on Windows; elsewhere "\" is a path
/// separator too, so paths written for Windows still work.
std::string NativePath(std::string_view path);

/// The folder temporary files go to when the chosen one does not exist: "C:\" on
/// Windows, the system's temporary folder elsewhere.
std::string FallbackTempFolder();

} // namespace platform
