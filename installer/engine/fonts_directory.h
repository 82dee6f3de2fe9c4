// The fonts directory of the predefined variable "FONTS".
#pragma once

#include <string>

namespace platform {
class FileService;
class RegistryService;
} // namespace platform

namespace vorn {

struct FontsDirectoryFacts {
    bool Version4 = false;
    std::string WindowsDirectory;
    std::string SystemDirectory;
};

/// Before version 4 the system directory. From version 4 the "SharedDir" of the setup
/// key followed by "\Fonts" when a probe file can be made and deleted there, else the
/// Windows directory followed by "\Fonts".
std::string FontsDirectory(platform::RegistryService& registry, platform::FileService& files,
                           const FontsDirectoryFacts& facts);

} // namespace vorn
