// Shared-file counts in HKEY_LOCAL_MACHINE.
#include "shared_file_counter.h"

#include "engine.h"
#include "platform/machine_services.h"

#include <cstring>

namespace vorn {

namespace {

constexpr std::string_view SharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The value's count: 0 when it is missing or no DWORD.
std::uint32_t ReadCount(platform::RegistryService& registry, platform::HKEY key,
                        std::string_view name, bool& present) {
    std::uint32_t type = 0;
    char data[4] = {};
    std::uint32_t size = sizeof data;
    present = registry.RegQueryValueExA(key, name, &type, data, &size) == platform::reg::Success;
    std::uint32_t count = 0;
    if (present && type == platform::reg::Dword && size == 4) {
        std::memcpy(&count, data, 4);
    }
    return count;
}

} // namespace

void CountSharedFile(Engine& engine, std::string_view shortPath, bool shared, bool existedBefore) {
    platform::RegistryService& registry = engine.Services.Machine->Registry();
    platform::HKEY key = nullptr;
    bool present = false;
    if (!shared) {
        if (registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, SharedDllsKey, 0,
                                   platform::reg::KeyQueryValue, key) == platform::reg::Success) {
            if (ReadCount(registry, key, shortPath, present) > 0) {
                engine.Services.Log.AddText("Shared DLL counter ignored:\r\n");
            }
            registry.RegCloseKey(key);
        }
        return;
    }
    if (registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, SharedDllsKey, 0,
                                 platform::reg::KeyAllAccess, key,
                                 nullptr) != platform::reg::Success) {
        return;
    }
    std::uint32_t count = ReadCount(registry, key, shortPath, present);
    if (existedBefore && count == 0) {
        count = 1;
    }
    ++count;
    char data[4];
    std::memcpy(data, &count, 4);
    registry.RegSetValueExA(key, shortPath, platform::reg::Dword, data);
    registry.RegCloseKey(key);
}

} // namespace vorn
