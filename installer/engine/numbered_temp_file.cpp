// Numbered scratch files.
#include "numbered_temp_file.h"

#include "platform/files.h"

#include <cstdio>

namespace vorn {

std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory) {
    platform::UniqueFile made;
    return CreateNumberedTempFile(files, directory, made);
}

std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory,
                                   platform::UniqueFile& file) {
    std::string path(directory);
    path += "\\";
    const std::size_t nameAt = path.size();
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "~KTH%04x.TMP", number);
        path.replace(nameAt, std::string::npos, name);
        file = platform::UniqueFile(
            files.CreateFileA(path, platform::file::GenericRead | platform::file::GenericWrite, 0,
                              platform::file::CreateNew, platform::file::AttributeNormal),
            platform::FileCloser{&files});
        if (file) {
            return path;
        }
        if (files.GetLastError() != platform::winerror::FileExists) {
            return {};
        }
    }
    return {};
}

} // namespace vorn
