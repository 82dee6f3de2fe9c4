// A self-registering library of the tests' own. Its DllRegisterServer records the key
// HKEY_CURRENT_USER\Software\Vorn Test\SelfRegistered on the machine it runs on: in the
// registry on Windows; on the sandbox, where only the engine may hold the machine's
// registry open, as a line in self_registered.txt in the machine folder (VORN_MACHINE).
// Built with REGISTRATION_FAILS it refuses with E_FAIL instead.
#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#define SELF_REGISTERING_EXPORT extern "C" __declspec(dllexport)
#define SELF_REGISTERING_CALL __stdcall
#else
#include <cstdio>
#include <cstdlib>
#include <string>
#define SELF_REGISTERING_EXPORT extern "C" __attribute__((visibility("default")))
#define SELF_REGISTERING_CALL
#endif

namespace {

#if defined(REGISTRATION_FAILS)
constexpr bool Refuses = true;
#else
constexpr bool Refuses = false;
#endif

constexpr std::int32_t Failed = static_cast<std::int32_t>(0x80004005u); // E_FAIL
constexpr const char* Key = "Software\\Vorn Test\\SelfRegistered";

bool RecordKey() {
#if defined(_WIN32)
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const char value[] = "1";
    const bool set =
        RegSetValueExA(key, "Registered", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       sizeof value) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
#else
    const char* folder = std::getenv("VORN_MACHINE");
    if (folder == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen((std::string(folder) + "/self_registered.txt").c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fprintf(file, "HKEY_CURRENT_USER\\%s\n", Key) > 0;
    return std::fclose(file) == 0 && written;
#endif
}

} // namespace

SELF_REGISTERING_EXPORT std::int32_t SELF_REGISTERING_CALL DllRegisterServer() {
    return !Refuses && RecordKey() ? 0 : Failed;
}
