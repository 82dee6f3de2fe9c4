// The facts about the machine the install engine and the uninstaller ask for: the
// Windows version, the Windows, system and temporary folders, memory, the user and
// computer names, the screen size, environment variables and administrator rights,
// with the Win32 names, arguments, results and error codes of their ANSI forms.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

/// OSVERSIONINFOA, without its size field (the service fills the whole record).
struct OsVersionInfo {
    std::uint32_t MajorVersion = 0;
    std::uint32_t MinorVersion = 0;
    /// On the Windows 95 family the high word repeats the major and minor version
    /// (4.0.950 reads 0x040003B6), as those systems report it.
    std::uint32_t BuildNumber = 0;
    std::uint32_t PlatformId = 0;
    /// The service pack ("Service Pack 3"), or " A" and the like on the 95 family.
    std::string CSDVersion;
};

/// MEMORYSTATUS, without its size field; byte counts above 4 GB read 0xFFFFFFFF, as
/// a 32-bit program sees them.
struct MemoryStatus {
    std::uint32_t MemoryLoad = 0; ///< Percent of physical memory in use.
    std::uint32_t TotalPhys = 0;
    std::uint32_t AvailPhys = 0;
    std::uint32_t TotalPageFile = 0;
    std::uint32_t AvailPageFile = 0;
    std::uint32_t TotalVirtual = 0;
    std::uint32_t AvailVirtual = 0;
};

namespace sysinfo {
inline constexpr std::uint32_t PlatformWin32s = 0;         ///< VER_PLATFORM_WIN32s
inline constexpr std::uint32_t PlatformWindows = 1;        ///< VER_PLATFORM_WIN32_WINDOWS
inline constexpr std::uint32_t PlatformNT = 2;             ///< VER_PLATFORM_WIN32_NT
inline constexpr int CxScreen = 0;                         ///< SM_CXSCREEN
inline constexpr int CyScreen = 1;                         ///< SM_CYSCREEN
inline constexpr std::uint32_t BufferOverflow = 111;       ///< ERROR_BUFFER_OVERFLOW
inline constexpr std::uint32_t EnvvarNotFound = 203;       ///< ERROR_ENVVAR_NOT_FOUND
inline constexpr std::uint32_t MaxComputerNameLength = 15; ///< MAX_COMPUTERNAME_LENGTH
inline constexpr int HorzRes = 8;                          ///< HORZRES
inline constexpr int VertRes = 10;                         ///< VERTRES
inline constexpr int BitsPixel = 12;                       ///< BITSPIXEL
inline constexpr int Planes = 14;                          ///< PLANES
} // namespace sysinfo

/// The folder calls write the path and a terminating zero into `buffer` and return its
/// length without the zero; when it does not fit they write nothing and return the size
/// needed, zero included. Every call sets the last error on failure.
class SystemInfoService {
public:
    virtual ~SystemInfoService() = default;

    virtual bool GetVersionExA(OsVersionInfo& versionInfo) = 0;
    virtual std::uint32_t GetWindowsDirectoryA(std::span<char> buffer) = 0;
    virtual std::uint32_t GetSystemDirectoryA(std::span<char> buffer) = 0;
    /// The temporary folder with a "\" at its end.
    virtual std::uint32_t GetTempPathA(std::span<char> buffer) = 0;
    virtual void GlobalMemoryStatus(MemoryStatus& status) = 0;
    /// The user's name and a zero into `buffer`; `size` receives the characters written,
    /// the zero included. A buffer too small: false, ERROR_INSUFFICIENT_BUFFER and the
    /// size needed in `size`.
    virtual bool GetUserNameA(std::span<char> buffer, std::uint32_t& size) = 0;
    /// The computer's name and a zero into `buffer`; `size` receives its length without
    /// the zero. A buffer too small: false, sysinfo::BufferOverflow and the size needed,
    /// zero included, in `size`.
    virtual bool GetComputerNameA(std::span<char> buffer, std::uint32_t& size) = 0;
    /// The screen's width (sysinfo::CxScreen) or height (CyScreen) in pixels; 0 for
    /// other indexes.
    virtual int GetSystemMetrics(int index) = 0;
    /// The variable's value (names compared ignoring case) as the folder calls return
    /// theirs; 0 and sysinfo::EnvvarNotFound when there is no such variable.
    virtual std::uint32_t GetEnvironmentVariableA(std::string_view name,
                                                  std::span<char> buffer) = 0;
    /// Whether the user holds administrator rights.
    virtual bool IsUserAnAdmin() = 0;

    /// GetDeviceCaps of the screen for sysinfo::HorzRes, VertRes, BitsPixel and Planes;
    /// 0 for other indexes. Unless a machine knows better: its screen size, 8 bits per
    /// pixel in one plane.
    virtual int GetScreenDeviceCaps(int index) {
        switch (index) {
        case sysinfo::HorzRes:
            return GetSystemMetrics(sysinfo::CxScreen);
        case sysinfo::VertRes:
            return GetSystemMetrics(sysinfo::CyScreen);
        case sysinfo::BitsPixel:
            return 8;
        case sysinfo::Planes:
            return 1;
        default:
            return 0;
        }
    }
    /// The wave and MIDI output devices (waveOutGetNumDevs, midiOutGetNumDevs); none
    /// unless a machine has them.
    virtual std::uint32_t waveOutGetNumDevs() { return 0; }
    virtual std::uint32_t midiOutGetNumDevs() { return 0; }

    virtual std::uint32_t GetLastError() = 0;
};

/// The text a folder or environment call gives, read through a buffer that grows to the
/// size the call asks for; empty when the call fails.
template <typename Call> std::string ReadSystemText(Call call) {
    std::string text(64, '\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::uint32_t length = call(std::span<char>(text));
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.assign(length, '\0');
    }
    return {};
}

} // namespace platform
