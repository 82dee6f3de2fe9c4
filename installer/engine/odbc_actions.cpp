// ODBC drivers and data sources, and DirectX, through the system's own installers.
#include "odbc_actions.h"

#include "builtin_functions.h"
#include "engine.h"
#include "path_parts.h"
#include "platform/machine_services.h"
#include "schedule_replace.h"

#include <array>
#include <cstdio>
#include <initializer_list>

namespace vorn {

namespace {

constexpr std::uint8_t InstallOdbcDriver = 25;
constexpr std::uint8_t ConfigureOdbcDataSource = 26;
// Room for the directories SQLInstallDriverManager and SQLInstallDriver report.
constexpr std::size_t OdbcPathSize = 260;
constexpr std::size_t DriverNameSize = 256;
// DSETUP_DIRECTX: the DirectX core with its display and sound drivers.
constexpr std::uintptr_t DirectXEverything = 0x10018;
constexpr std::int32_t DirectXRestartNeeded = 1;

using Arguments = std::initializer_list<std::uintptr_t>;

std::uintptr_t Pointer(const void* data) {
    return reinterpret_cast<std::uintptr_t>(data);
}

std::int32_t Call(platform::LibraryService& libraries, platform::ProcAddress entry,
                  Arguments arguments) {
    return libraries.CallEntryWithArguments(entry, {arguments.begin(), arguments.size()});
}

// ODBCCP32.DLL, asked for on a 32-bit system, or ODBCINST.DLL; null when not there.
platform::UniqueLibrary OpenInstaller(Engine& engine, std::uint8_t flags) {
    platform::LibraryService& libraries = engine.Services.Libraries;
    bool use32 = false;
    if ((flags & odbc_flag::Library32) != 0 && engine.Services.Machine != nullptr) {
        const WindowsKind windows = ReadWindowsKind(engine);
        use32 = windows.Nt || windows.Windows95;
    }
    return platform::UniqueLibrary(use32 ? libraries.LoadLibraryExA("ODBCCP32.DLL", 0)
                                         : libraries.LoadLibraryA("ODBCINST.DLL"),
                                   {&libraries});
}

int InstallDriver(Engine& engine, ActionRecord& record) {
    if (engine.Mode == RunMode::Test) {
        return 0;
    }
    platform::LibraryService& libraries = engine.Services.Libraries;
    platform::UniqueLibrary installer = OpenInstaller(engine, record.Flags());
    if (!installer) {
        return 0;
    }
    std::array<char, OdbcPathSize> path{};
    std::uint16_t pathLength = 0;
    if (const platform::ProcAddress manager =
            libraries.GetProcAddress(installer.Get(), "SQLInstallDriverManager")) {
        Call(libraries, manager, {Pointer(path.data()), path.size() - 1, Pointer(&pathLength)});
    }
    const std::string infFile = engine.Variables.Expand(record.Once(0), PathSize);
    const std::string attributes = engine.Variables.Expand(record.Once(1), LongTextSize);
    const platform::ProcAddress driver =
        libraries.GetProcAddress(installer.Get(), "SQLInstallDriver");
    if (!attributes.empty() && driver != nullptr) {
        const std::string list = OdbcAttributeList(attributes);
        Call(libraries, driver,
             {infFile.empty() ? 0 : Pointer(infFile.c_str()), Pointer(list.data()),
              Pointer(path.data()), path.size() - 1, Pointer(&pathLength)});
    }
    const std::string variable = engine.Variables.Expand(record.Once(2), PathSize);
    if (!variable.empty()) {
        path.back() = '\0';
        engine.Variables.SetVariable(variable, path.data());
    }
    return 0;
}

int ConfigureDataSource(Engine& engine, ActionRecord& record) {
    if (engine.Mode == RunMode::Test) {
        return 0;
    }
    const std::uint8_t flags = record.Flags();
    platform::LibraryService& libraries = engine.Services.Libraries;
    platform::UniqueLibrary installer = OpenInstaller(engine, flags);
    const platform::ProcAddress configure =
        installer ? libraries.GetProcAddress(installer.Get(), "SQLConfigDataSource") : nullptr;
    if (configure == nullptr) {
        return 0;
    }
    if ((flags & odbc_flag::CloseProgress) != 0) {
        engine.Services.Host.CloseProgressWindow();
    }
    const std::string driverName = engine.Variables.Expand(record.Once(0), DriverNameSize);
    const std::string list =
        OdbcAttributeList(engine.Variables.Expand(record.Once(1), LongTextSize));
    const std::uint16_t request = (flags & odbc_flag::SystemDataSource) != 0
                                      ? odbc_request::AddSystemDataSource
                                      : odbc_request::AddDataSource;
    Call(libraries, configure,
         {engine.Services.Host.MainWindow(), request, Pointer(driverName.c_str()),
          Pointer(list.data())});
    return 0;
}

} // namespace

std::string OdbcAttributeList(std::string_view text) {
    std::string list(text);
    for (char& c : list) {
        if (c == '\x7F') {
            c = '\0';
        }
    }
    list.append(2, '\0');
    return list;
}

void RegisterOdbcActions(Engine& engine) {
    engine.Actions[InstallOdbcDriver] = &InstallDriver;
    engine.Actions[ConfigureOdbcDataSource] = &ConfigureDataSource;
}

std::int32_t f30(Engine& engine, const DllCallBlock& block) {
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    ArgumentFields fields(block);
    const std::string library(fields.Text(0));
    platform::LibraryService& libraries = engine.Services.Libraries;
    platform::UniqueLibrary setup(
        libraries.LoadLibraryExA(library, platform::load::WithAlteredSearchPath), {&libraries});
    platform::ProcAddress entry = nullptr;
    for (const char* name : {"DirectXSetup", "DirectXSetupA"}) {
        if (entry == nullptr && setup) {
            entry = libraries.GetProcAddress(setup.Get(), name);
        }
    }
    std::int32_t result = -1;
    if (entry != nullptr) {
        const std::string root(DirectoryPart(library));
        const std::uintptr_t owner = fields.Number(1) != 0 ? engine.Services.Host.MainWindow() : 0;
        result = Call(libraries, entry,
                      {owner, root.empty() ? 0 : Pointer(root.c_str()), DirectXEverything});
    }
    if (result < 0) {
        char line[64];
        std::snprintf(line, sizeof line, "DirectX: Could not install, error %d.\r\n",
                      static_cast<int>(result));
        engine.Services.Log.AddText(line);
        return 0;
    }
    if (result == DirectXRestartNeeded) {
        engine.Variables.SetVariable("RESTART", "S");
    }
    return 1;
}

} // namespace vorn
