// Adding a font.
#include "font_builtin.h"

#include "builtin_functions.h"
#include "installer/log/install_log_writer.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

#include <algorithm>
#include <array>

namespace vorn {

namespace {

constexpr int LocalMachineRoot = 2;

// Writes one record through the log's own formatting into the run's log.
template <typename Write> void AddToLog(Engine& engine, Write write) {
    MemoryLogSink sink;
    InstallLogWriter writer(sink);
    write(writer);
    engine.Services.Log.AddText(sink.Text);
}

std::string Directory(platform::SystemInfoService& system, bool windows) {
    return platform::ReadSystemText([&](std::span<char> buffer) {
        return windows ? system.GetWindowsDirectoryA(buffer) : system.GetSystemDirectoryA(buffer);
    });
}

// The font list value `name` set to `file`; false when the key cannot be written.
bool RegisterInRegistry(Engine& engine, bool windowsNt, std::string_view name,
                        std::string_view file) {
    platform::RegistryService& registry = engine.Services.Machine->Registry();
    const std::string keyPath = std::string("Software\\Microsoft\\Windows") +
                                (windowsNt ? " NT" : "") + "\\CurrentVersion\\Fonts";
    platform::HKEY key = nullptr;
    if (registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, keyPath, 0,
                                 platform::reg::KeyAllAccess, key,
                                 nullptr) != platform::reg::Success) {
        return false;
    }
    platform::UniqueRegistryKey owned(key, platform::RegistryKeyTraits{&registry});
    unsigned long type = 0;
    unsigned long size = 512;
    std::string old;
    const bool existed =
        registry.RegQueryValueExA(key, name, type, old, size) == platform::reg::Success;
    old.resize(std::min(old.size(), old.find('\0')));
    if (existed && type == platform::reg::Sz && platform::EqualsIgnoringCase(old, file)) {
        return true;
    }
    std::string data(file);
    data.push_back('\0');
    if (registry.RegSetValueExA(key, name, platform::reg::Sz, data) != platform::reg::Success) {
        return false;
    }
    RegValueRecord record;
    record.Key = keyPath;
    record.Value = std::string(file);
    record.Name = std::string(name);
    record.Root = LocalMachineRoot;
    if (existed) {
        record.Olds.push_back(old);
    }
    AddToLog(engine, [&](InstallLogWriter& writer) { writer.RegValue(record); });
    return true;
}

bool RegisterInWinIni(Engine& engine, std::string_view name, std::string_view file) {
    platform::MachineServices& machine = *engine.Services.Machine;
    platform::ProfileService& profile = machine.Profile();
    const std::string key(name);
    const std::string value(file);
    std::array<char, 512> old{};
    // A default no key holds tells a missing key from an empty one.
    constexpr const char* Missing = "\x7F";
    profile.GetProfileStringA("Fonts", key.c_str(), Missing, old);
    const bool existed = std::string_view(old.data()) != Missing;
    if (existed && platform::EqualsIgnoringCase(old.data(), value)) {
        return true;
    }
    if (!profile.WriteProfileStringA("Fonts", key.c_str(), value.c_str())) {
        return false;
    }
    IniEntryRecord record;
    record.File = Directory(machine.System(), true) + "\\WIN.INI";
    record.Section = "Fonts";
    record.Key = key;
    record.Value = value;
    if (existed) {
        record.Old = std::string(old.data());
    }
    AddToLog(engine, [&](InstallLogWriter& writer) { writer.IniEntry(record); });
    return true;
}

// "NAME.FOT" beside "NAME.TTF"; empty for a file of another kind.
std::string ResourceFileName(std::string_view file) {
    const std::size_t dot = file.rfind('.');
    if (dot == std::string_view::npos || !platform::EqualsIgnoringCase(file.substr(dot), ".TTF")) {
        return {};
    }
    return std::string(file.substr(0, dot)) + ".FOT";
}

} // namespace

std::int32_t f10(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    std::string file(NamePart(fields.Text(0)));
    const std::string_view name = fields.Text(1);
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    platform::MachineServices* machine = engine.Services.Machine;
    platform::FontResourceService* fonts = machine != nullptr ? machine->Fonts() : nullptr;
    if (fonts == nullptr || file.empty() || name.empty()) {
        return 0;
    }
    platform::OsVersionInfo version;
    machine->System().GetVersionExA(version);
    const bool version4 = version.MajorVersion >= 4;
    const std::string folder = version4 ? Directory(machine->System(), true) + "\\Fonts"
                                        : Directory(machine->System(), false);
    if (!version4) {
        if (const std::string resource = ResourceFileName(file); !resource.empty()) {
            const std::string resourcePath = folder + "\\" + resource;
            if (fonts->CreateScalableFontResourceA(0, resourcePath, file, folder)) {
                AddToLog(engine,
                         [&](InstallLogWriter& writer) { writer.FileCopied(resourcePath); });
            }
            file = resource;
        }
    }
    if (fonts->AddFontResourceA(folder + "\\" + file) == 0) {
        return 0;
    }
    const bool registered =
        version4 ? RegisterInRegistry(engine, version.PlatformId == platform::sysinfo::PlatformNT,
                                      name, file)
                 : RegisterInWinIni(engine, name, file);
    machine->Messages().BroadcastMessageA(platform::wm::FontChange, nullptr);
    return registered ? 1 : 0;
}

} // namespace vorn
