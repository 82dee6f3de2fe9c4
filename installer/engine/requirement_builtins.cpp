// System requirements: the Windows kind and version, the screen, memory, sound devices
// and administrator rights.
#include "requirement_builtins.h"

#include "builtin_functions.h"
#include "engine_message_box.h"
#include "platform/machine_services.h"

namespace vorn {

namespace {

constexpr std::uint32_t Megabyte = 1048576;
constexpr long KeepSense = 32;
constexpr long TestMask = 31;

struct Screen {
    int Width;
    int Height;
};

bool ScreenAtLeast(platform::SystemInfoService& system, Screen least) {
    return system.GetScreenDeviceCaps(platform::sysinfo::HorzRes) >= least.Width &&
           system.GetScreenDeviceCaps(platform::sysinfo::VertRes) >= least.Height;
}

} // namespace

bool IsAdmin(Engine& engine) {
    platform::OsVersionInfo version;
    if (engine.Services.Machine == nullptr ||
        !engine.Services.Machine->System().GetVersionExA(version) ||
        version.PlatformId != platform::sysinfo::PlatformNT) {
        return true;
    }
    platform::LibraryService& libraries = engine.Services.Libraries;
    const platform::UniqueLibrary library(
        libraries.LoadLibraryExA(engine.Variables.Expand("%TEMP%\\%W32INST_PATH_%", PathSize),
                                 platform::load::WithAlteredSearchPath),
        platform::LibraryTraits{&libraries});
    if (!library) {
        return false;
    }
    const platform::ProcAddress entry = libraries.GetProcAddress(library.Get(), "IsAdmin");
    return entry != nullptr && libraries.CallEntryWithoutArguments(entry) != 0;
}

bool RequirementHolds(Engine& engine, unsigned test) {
    if (engine.Services.Machine == nullptr) {
        return false;
    }
    platform::SystemInfoService& system = engine.Services.Machine->System();
    platform::OsVersionInfo version;
    if (!system.GetVersionExA(version)) {
        version = {};
    }
    const bool nt = version.PlatformId == platform::sysinfo::PlatformNT;
    const bool windows95 = version.PlatformId == platform::sysinfo::PlatformWindows;
    switch (test) {
    case 0:
        return nt;
    case 1:
        return system.GetScreenDeviceCaps(platform::sysinfo::BitsPixel) *
                   system.GetScreenDeviceCaps(platform::sysinfo::Planes) >
               7;
    case 2:
        return ScreenAtLeast(system, {640, 480});
    case 4:
        return false;
    case 11:
        return ScreenAtLeast(system, {800, 600});
    case 12:
        return ScreenAtLeast(system, {1024, 768});
    case 25:
        return windows95;
    case 26:
        return windows95 || nt;
    case 27:
        return version.MajorVersion >= 4;
    case 28:
        return system.waveOutGetNumDevs() != 0;
    case 29:
        return system.midiOutGetNumDevs() != 0;
    case 30:
        return system.waveOutGetNumDevs() != 0 && system.midiOutGetNumDevs() != 0;
    case 31:
        return IsAdmin(engine);
    default:
        break;
    }
    if (test >= 13 && test <= 24) {
        platform::MemoryStatus memory;
        system.GlobalMemoryStatus(memory);
        return memory.TotalPhys >= (test - 12) * Megabyte;
    }
    // 3 and 5 to 10: requirements every 32-bit system meets.
    return true;
}

std::int32_t f12(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    const long requirement = fields.Number(0);
    const bool holds = RequirementHolds(engine, static_cast<unsigned>(requirement & TestMask));
    const bool result = (requirement & KeepSense) != 0 ? holds : !holds;
    if (result && !fields.Text(1).empty()) {
        EngineMessageBox(engine, 0, fields.Text(1), fields.Text(2), box::NoCancel);
    }
    return result ? 1 : 0;
}

} // namespace vorn
