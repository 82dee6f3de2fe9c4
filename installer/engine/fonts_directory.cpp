// The fonts directory.
#include "fonts_directory.h"

#include "platform/files.h"
#include "platform/registry.h"

namespace vorn {

namespace {

constexpr std::string_view SetupKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Setup";

std::string SharedDirectory(platform::RegistryService& registry) {
    platform::HKEY key = nullptr;
    if (registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, SetupKey, 0, platform::reg::KeyRead,
                               key) != platform::reg::Success) {
        return {};
    }
    platform::UniqueRegistryKey owned(key, platform::RegistryKeyTraits{&registry});
    unsigned long type = 0;
    unsigned long size = 256;
    std::string value;
    if (registry.RegQueryValueExA(key, "SharedDir", type, value, size) != platform::reg::Success ||
        (type != platform::reg::Sz && type != platform::reg::ExpandSz)) {
        return {};
    }
    return value.substr(0, value.find('\0'));
}

// Whether a file can be made and deleted in the folder.
bool Writable(platform::FileService& files, const std::string& folder) {
    std::string probe = folder + "\\KTRSINST.%$E";
    platform::FileHandle file =
        files.CreateFileA(probe, platform::file::GenericWrite, 0, platform::file::CreateAlways,
                          platform::file::AttributeNormal);
    if (file == platform::InvalidFileHandle) {
        return false;
    }
    files.CloseHandle(file);
    return files.DeleteFileA(probe);
}

} // namespace

std::string FontsDirectory(platform::RegistryService& registry, platform::FileService& files,
                           const FontsDirectoryFacts& facts) {
    if (!facts.Version4) {
        return facts.SystemDirectory;
    }
    std::string shared = SharedDirectory(registry);
    while (!shared.empty() && shared.back() == '\\') {
        shared.pop_back();
    }
    if (!shared.empty() && Writable(files, shared + "\\Fonts")) {
        return shared + "\\Fonts";
    }
    return facts.WindowsDirectory + "\\Fonts";
}

} // namespace vorn
