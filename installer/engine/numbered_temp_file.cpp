// Numbered scratch files.
#include "numbered_temp_file.h"

#include "platform/files.h"

#include <cstdio>

namespace vorn {

std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory) {
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "~KTH%04x.TMP", number);
        std::string path = std::string(directory) + "\\" + name;
        platform::FileHandle made =
            files.CreateFileA(path, platform::file::GenericWrite, 0, platform::file::CreateNew,
                              platform::file::AttributeNormal);
        if (made != platform::InvalidFileHandle) {
            files.CloseHandle(made);
            return path;
        }
        if (files.GetLastError() != platform::winerror::FileExists) {
            return {};
        }
    }
    return {};
}

} // namespace vorn
