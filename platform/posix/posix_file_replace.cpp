// Replacing a file on Linux: a unique file from mkstemp, then rename over the target.
#include "platform/file_replace.h"

#include <cstdio>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string CreateFileBeside(std::string_view target) {
    const auto slash = target.find_last_of('/');
    std::string name =
        slash == std::string_view::npos ? std::string() : std::string(target.substr(0, slash + 1));
    name += ".plandra-XXXXXX";
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) {
        return {};
    }
    // mkstemp makes the file private; the saved drawing gets the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, 0666 & ~mask);
    ::close(descriptor);
    return name;
}

bool ReplaceFileWith(std::string_view source, std::string_view target) {
    return std::rename(std::string(source).c_str(), std::string(target).c_str()) == 0;
}

bool RemoveFile(std::string_view path) {
    return std::remove(std::string(path).c_str()) == 0;
}

} // namespace platform
