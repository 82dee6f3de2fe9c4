// Numbered scratch files.
#include "numbered_temp_file.h"

#include "platform/files.h"

#include <cstdio>

namespace vorn {

namespace {

std::string CreateNumbered(platform::FileService& files, std::string_view directory,
                           std::uint32_t access, platform::UniqueFile& file) {
    std::string path(directory);
    path += "\\";
    const std::size_t nameAt = path.size();
    for (unsigned number = 1; number <= 0xFFFF; ++number) {
        char name[16];
        std::snprintf(name, sizeof name, "~KTH%04x.TMP", number);
        path.replace(nameAt, std::string::npos, name);
        file = platform::UniqueFile(files.CreateFileA(path, access, 0, platform::file::CreateNew,
                                                      platform::file::AttributeNormal),
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

} // namespace

std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory) {
    platform::UniqueFile made;
    return CreateNumbered(files, directory, platform::file::GenericWrite, made);
}

std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory,
                                   platform::UniqueFile& file) {
    return CreateNumbered(files, directory,
                          platform::file::GenericRead | platform::file::GenericWrite, file);
}

} // namespace vorn
