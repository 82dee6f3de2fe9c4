// The about box frmAbout.
#include "about_box.h"

#include <charconv>
#include <cstdint>

namespace plandra {
namespace {

constexpr unsigned long ValueBufferSize = 1024;

} // namespace

ControlVersion PlandraVersion() {
    return {PLANDRA_VERSION_MAJOR, PLANDRA_VERSION_MINOR, PLANDRA_VERSION_PATCH};
}

bool GetKeyValue(platform::RegistryService& registry, platform::HKEY root, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal) {
    platform::HKEY opened = nullptr;
    if (registry.RegOpenKeyExA(root, keyName, 0, platform::reg::KeyQueryValue, opened) !=
        platform::reg::Success) {
        return false;
    }
    platform::UniqueRegistryKey key(opened, platform::RegistryKeyTraits{&registry});
    unsigned long type = 0;
    std::string data;
    unsigned long size = ValueBufferSize;
    const long result = registry.RegQueryValueExA(key.Get(), subKeyRef, type, data, size);
    key.Reset();
    if (result != platform::reg::Success) {
        return false;
    }
    if (type == platform::reg::Sz) {
        keyVal = data.substr(0, data.find('\0'));
        return true;
    }
    if (type == platform::reg::Dword && data.size() >= 4) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        }
        char digits[16] = {};
        auto end = std::to_chars(digits, digits + sizeof digits, value, 16).ptr;
        keyVal = "&h";
        for (const char* c = digits; c != end; ++c) {
            keyVal += static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c);
        }
        return true;
    }
    return false;
}

void AboutBox::Load() {
    const ControlVersion version = PlandraVersion();
    VersionText = "Version " + std::to_string(version.Major) + "." + std::to_string(version.Minor) +
                  "." + std::to_string(version.Revision);
}

std::vector<std::pair<std::string, std::string>> AboutBox::Labels() const {
    return {{"lblTitle", "Plandra"}, {"lblVersion", VersionText}};
}

std::vector<std::pair<std::string, std::string>> AboutBox::Buttons() const {
    return {{"cmdOK", "OK"}, {"cmdSysInfo", "&System Info..."}, {"cmdWeb", "&Web Site"}};
}

void AboutBox::Click(std::string_view button) {
    if (button == "cmdOK") {
        IsUnloaded = true;
    } else if (button == "cmdWeb") {
        Shell.ShellExecuteA(nullptr, "open", MakerWebPage, "", "", platform::sw::ShowNormal);
    } else if (button == "cmdSysInfo") {
        StartSysInfo();
    }
}

void AboutBox::StartSysInfo() {
    std::string sysInfoPath;
    if (!GetKeyValue(Registry, platform::HKEY_LOCAL_MACHINE,
                     "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", sysInfoPath)) {
        std::string folder;
        if (GetKeyValue(Registry, platform::HKEY_LOCAL_MACHINE,
                        "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", folder) &&
            Shell.GetFileAttributesA(folder + "\\MSINFO32.EXE") !=
                platform::InvalidFileAttributes) {
            sysInfoPath = folder + "\\MSINFO32.EXE";
        }
    }
    if (sysInfoPath.empty()) {
        MessageBox.MessageBoxA(SysInfoUnavailable, "Plandra", platform::mb::Ok);
        return;
    }
    Shell.WinExec(sysInfoPath, platform::sw::ShowNormal);
}

} // namespace plandra
