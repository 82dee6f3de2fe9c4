// New temporary files on the machine.
#include "machine_temp_files.h"

#include "platform/files.h"

namespace vorn {

std::string MachineTempFiles::CreateTempFile(std::string_view directory, std::string_view prefix) {
    std::string path;
    if (Files.GetTempFileNameA(directory, prefix, 0, path) == 0) {
        return {};
    }
    return path;
}

} // namespace vorn
