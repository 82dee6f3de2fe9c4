// The sandbox machine: its description in machine.ini, a fresh machine's layout, and
// the moves it carries out when it starts again.
#include "platform/posix/sandbox_machine.h"

#include "platform/ansi_text.h"
#include "platform/files.h"
#include "platform/ini_text.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/stdio_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* DescriptionFile = "machine.ini";
constexpr const char* PendingRenamesFile = "pending_renames.txt";

// A description is a few hundred bytes; anything past this is not one.
constexpr std::size_t MaxDescriptionBytes = 64 * 1024;

bool ReadFileText(const fs::path& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    text.resize(MaxDescriptionBytes);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return !file.bad() && file.peek() == std::char_traits<char>::eof();
}

bool WriteFileText(const fs::path& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(file);
}

template <typename Number> bool ParseNumber(std::string_view text, Number& number) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc{} && stop == end;
}

struct DriveTypeName {
    const char* Name;
    std::uint32_t Type;
};
constexpr DriveTypeName DriveTypeNames[] = {{"removable", file::DriveRemovable},
                                            {"fixed", file::DriveFixed},
                                            {"remote", file::DriveRemote},
                                            {"cdrom", file::DriveCdrom},
                                            {"ramdisk", file::DriveRamdisk}};

// "fixed", or "fixed 2048 1024" with the size and the free space in megabytes.
bool ParseDrive(std::string_view text, SandboxDrive& drive) {
    std::istringstream fields{std::string(text)};
    std::string type;
    fields >> type;
    bool known = false;
    for (const DriveTypeName& name : DriveTypeNames) {
        if (EqualsIgnoringCase(type, name.Name)) {
            drive.Type = name.Type;
            known = true;
        }
    }
    std::string total;
    std::string free;
    std::uint64_t totalMegabytes = 0;
    std::uint64_t freeMegabytes = 0;
    if (!known) {
        return false;
    }
    if (!(fields >> total)) {
        return true;
    }
    if (!(fields >> free) || !ParseNumber(total, totalMegabytes) ||
        !ParseNumber(free, freeMegabytes) || freeMegabytes > totalMegabytes ||
        totalMegabytes > (1ull << 32)) {
        return false;
    }
    drive.TotalBytes = totalMegabytes << 20;
    drive.FreeBytes = freeMegabytes << 20;
    return true;
}

// "+02:00" or "-05:30": local time's distance from UTC.
bool ParseUtcOffset(std::string_view text, int& minutes) {
    int hours = 0;
    int rest = 0;
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' ||
        !ParseNumber(text.substr(1, 2), hours) || !ParseNumber(text.substr(4, 2), rest) ||
        rest > 59 || hours * 60 + rest > 14 * 60) {
        return false;
    }
    minutes = (text[0] == '-' ? -1 : 1) * (hours * 60 + rest);
    return true;
}

void MakeFolders(const fs::path& drive, std::initializer_list<const char*> folders) {
    for (const char* folder : folders) {
        std::string native(folder);
        for (char& c : native) {
            c = c == '\\' ? '/' : c;
        }
        fs::create_directories(drive / native);
    }
}

} // namespace

bool SandboxMachine::ParseDescription(std::string_view machineIni, MachineDescription& description,
                                      std::string& error) {
    const IniText ini = IniText::Parse(machineIni);
    MachineDescription machine;
    const std::optional<std::string> family = ini.Value("Machine", "Family");
    if (!family) {
        error = "machine.ini: [Machine] Family is missing (95 or NT)";
        return false;
    }
    if (*family == "95") {
        machine.Family = WindowsFamily::Windows95;
        machine.BuildNumber = 950;
        machine.WindowsDirectory = "C:\\WINDOWS";
        machine.SystemDirectory = "C:\\WINDOWS\\SYSTEM";
        machine.TempDirectory = "C:\\WINDOWS\\TEMP";
    } else if (!EqualsIgnoringCase(*family, "NT")) {
        error = "machine.ini: [Machine] Family must be 95 or NT, not \"" + *family + "\"";
        return false;
    }
    const auto text = [&](const char* section, const char* key, std::string& value) {
        if (std::optional<std::string> given = ini.Value(section, key)) {
            value = *given;
        }
    };
    const auto number = [&](const char* section, const char* key, auto& value) {
        std::optional<std::string> given = ini.Value(section, key);
        if (given && !ParseNumber(*given, value)) {
            error = std::string("machine.ini: [") + section + "] " + key + " is not a number: \"" +
                    *given + "\"";
            return false;
        }
        return true;
    };
    text("Machine", "ServicePack", machine.ServicePack);
    text("Machine", "User", machine.UserName);
    text("Machine", "Computer", machine.ComputerName);
    text("Machine", "WindowsDir", machine.WindowsDirectory);
    text("Machine", "SystemDir", machine.SystemDirectory);
    text("Machine", "TempDir", machine.TempDirectory);
    int admin = machine.Admin ? 1 : 0;
    if (!number("Machine", "Major", machine.MajorVersion) ||
        !number("Machine", "Minor", machine.MinorVersion) ||
        !number("Machine", "Build", machine.BuildNumber) || !number("Machine", "Admin", admin) ||
        !number("Screen", "Width", machine.ScreenWidth) ||
        !number("Screen", "Height", machine.ScreenHeight) ||
        !number("Screen", "ColorBits", machine.ColorBits) ||
        !number("Memory", "Kilobytes", machine.MemoryKilobytes)) {
        return false;
    }
    machine.Admin = admin != 0;
    if (ini.HasSection("Drives")) {
        machine.Drives.clear();
        for (const std::string& letter : ini.KeyNames("Drives")) {
            SandboxDrive drive;
            const std::string value = ini.Value("Drives", letter).value_or("");
            if (letter.size() != 1 || !std::isalpha(static_cast<unsigned char>(letter[0])) ||
                !ParseDrive(value, drive)) {
                error = "machine.ini: [Drives] " + letter + "=" + value +
                        " is not a drive (a letter = removable, fixed, remote, cdrom or "
                        "ramdisk, then optionally size and free space in megabytes)";
                return false;
            }
            drive.Letter = UpperAnsi(letter[0]);
            machine.Drives.push_back(drive);
        }
    }
    if (const std::optional<std::string> zone = ini.Value("Time", "Zone");
        zone && !ParseUtcOffset(*zone, machine.UtcOffsetMinutes)) {
        error = "machine.ini: [Time] Zone must be +HH:MM or -HH:MM (at most 14 hours), not \"" +
                *zone + "\"";
        return false;
    }
    for (const std::string* folder :
         {&machine.WindowsDirectory, &machine.SystemDirectory, &machine.TempDirectory}) {
        if (folder->size() < 3 || (*folder)[1] != ':' || (*folder)[2] != '\\') {
            error =
                "machine.ini: the folder \"" + *folder + "\" is not a full path like C:\\WINDOWS";
            return false;
        }
    }
    for (const std::string& name : ini.KeyNames("Environment")) {
        machine.Environment.emplace_back(name, ini.Value("Environment", name).value_or(""));
    }
    description = std::move(machine);
    return true;
}

std::string SandboxMachine::DescriptionText(const MachineDescription& machine) {
    std::ostringstream text;
    text << "; The Windows machine this folder plays.\r\n"
         << "[Machine]\r\n"
         << "Family=" << (machine.Family == WindowsFamily::Windows95 ? "95" : "NT") << "\r\n"
         << "Major=" << machine.MajorVersion << "\r\nMinor=" << machine.MinorVersion
         << "\r\nBuild=" << machine.BuildNumber << "\r\nServicePack=" << machine.ServicePack
         << "\r\nUser=" << machine.UserName << "\r\nComputer=" << machine.ComputerName
         << "\r\nAdmin=" << (machine.Admin ? 1 : 0) << "\r\nWindowsDir=" << machine.WindowsDirectory
         << "\r\nSystemDir=" << machine.SystemDirectory << "\r\nTempDir=" << machine.TempDirectory
         << "\r\n\r\n[Screen]\r\nWidth=" << machine.ScreenWidth
         << "\r\nHeight=" << machine.ScreenHeight << "\r\nColorBits=" << machine.ColorBits
         << "\r\n\r\n[Memory]\r\nKilobytes=" << machine.MemoryKilobytes
         << "\r\n\r\n; letter=type [size free], sizes in megabytes\r\n"
         << "[Drives]\r\n";
    for (const SandboxDrive& drive : machine.Drives) {
        const char* type = "fixed";
        for (const DriveTypeName& name : DriveTypeNames) {
            type = name.Type == drive.Type ? name.Name : type;
        }
        text << drive.Letter << '=' << type << ' ' << (drive.TotalBytes >> 20) << ' '
             << (drive.FreeBytes >> 20) << "\r\n";
    }
    if (!machine.Environment.empty()) {
        text << "\r\n[Environment]\r\n";
        for (const auto& [name, value] : machine.Environment) {
            text << name << '=' << value << "\r\n";
        }
    }
    const int offset = std::abs(machine.UtcOffsetMinutes);
    text << "\r\n; local time's distance from UTC, +HH:MM or -HH:MM\r\n[Time]\r\nZone="
         << (machine.UtcOffsetMinutes < 0 ? '-' : '+') << std::setfill('0') << std::setw(2)
         << offset / 60 << ':' << std::setw(2) << offset % 60 << "\r\n";
    return text.str();
}

SandboxMachine::OpenResult SandboxMachine::Open(const fs::path& folder) {
    std::string text;
    if (!ReadFileText(folder / DescriptionFile, text)) {
        return {nullptr, "no readable machine.ini of at most 64 KB in " + folder.string()};
    }
    MachineDescription description;
    std::string error;
    if (!ParseDescription(text, description, error)) {
        return {nullptr, error};
    }
    std::unique_ptr<SandboxMachine> machine(new SandboxMachine(folder, std::move(description)));
    if (std::string mediaError = machine->LoadMedia(); !mediaError.empty()) {
        return {nullptr, mediaError};
    }
    std::error_code ignored;
    for (const SandboxDrive& drive : machine->Machine.Drives) {
        if (!machine->IsMedium(drive.Letter)) {
            fs::create_directories(machine->DriveFolder(drive.Letter), ignored);
        }
    }
    return {std::move(machine), {}};
}

SandboxMachine::OpenResult SandboxMachine::Create(const fs::path& folder, WindowsFamily family) {
    std::error_code error;
    if (fs::exists(folder / DescriptionFile, error)) {
        return {nullptr, folder.string() + " holds a machine already"};
    }
    MachineDescription description;
    std::string ignored;
    ParseDescription(family == WindowsFamily::Windows95 ? "[Machine]\nFamily=95"
                                                        : "[Machine]\nFamily=NT",
                     description, ignored);
    description.Drives = {SandboxDrive{'A', file::DriveRemovable, 1440ull << 10, 1440ull << 10},
                          SandboxDrive{}, SandboxDrive{'D', file::DriveCdrom, 650ull << 20, 0}};
    try {
        fs::create_directories(folder);
        if (!WriteFileText(folder / DescriptionFile, DescriptionText(description))) {
            return {nullptr, "cannot write " + (folder / DescriptionFile).string()};
        }
        const fs::path drive = folder / "drive_c";
        if (family == WindowsFamily::Windows95) {
            MakeFolders(drive, {"WINDOWS\\SYSTEM", "WINDOWS\\TEMP", "WINDOWS\\FONTS",
                                "WINDOWS\\Start Menu\\Programs\\StartUp", "WINDOWS\\Desktop"});
        } else {
            MakeFolders(drive, {"WINNT\\SYSTEM32", "WINNT\\SYSTEM", "WINNT\\FONTS", "TEMP",
                                "WINNT\\Profiles\\All Users\\Start Menu\\Programs\\StartUp",
                                "WINNT\\Profiles\\Installer\\Desktop"});
        }
        MakeFolders(drive, {"Program Files\\Common Files"});
        const fs::path windows = drive / (family == WindowsFamily::Windows95 ? "WINDOWS" : "WINNT");
        const bool written =
            WriteFileText(windows / "WIN.INI",
                          "[windows]\r\nload=\r\nrun=\r\nNullPort=None\r\n\r\n[Desktop]\r\n"
                          "Wallpaper=(None)\r\n\r\n[intl]\r\nsLanguage=enu\r\niCountry=1\r\n\r\n"
                          "[fonts]\r\n\r\n[Extensions]\r\n") &&
            WriteFileText(windows / "SYSTEM.INI",
                          "[boot]\r\nshell=Explorer.exe\r\nsystem.drv=system.drv\r\n\r\n"
                          "[386Enh]\r\ndevice=*vmm\r\n\r\n[drivers]\r\n") &&
            WriteFileText(drive / "AUTOEXEC.BAT", "") && WriteFileText(drive / "CONFIG.SYS", "");
        if (!written) {
            return {nullptr, "cannot write the Windows folder of " + folder.string()};
        }
        std::string registryError;
        if (!SandboxRegistry::WriteFresh(folder, description, registryError)) {
            return {nullptr, registryError};
        }
    } catch (const fs::filesystem_error& failure) {
        return {nullptr, failure.what()};
    }
    return Open(folder);
}

const SandboxDrive* SandboxMachine::FindDrive(char letter) const {
    for (const SandboxDrive& drive : Machine.Drives) {
        if (drive.Letter == UpperAnsi(letter)) {
            return &drive;
        }
    }
    return nullptr;
}

bool SandboxMachine::UseSpace(char letter, std::int64_t bytes) {
    for (SandboxDrive& drive : Machine.Drives) {
        if (drive.Letter != UpperAnsi(letter)) {
            continue;
        }
        if (bytes > 0 && static_cast<std::uint64_t>(bytes) > drive.FreeBytes) {
            return false;
        }
        const std::uint64_t free = drive.FreeBytes - static_cast<std::uint64_t>(bytes);
        drive.FreeBytes = std::min(free, drive.TotalBytes);
        return true;
    }
    return false;
}

fs::path SandboxMachine::DriveFolder(char letter) const {
    return DriveFolderText(letter);
}

std::string SandboxMachine::DriveFolderText(char letter) const {
    const auto withoutClosingSeparator = [](std::string text) {
        while (text.size() > 1 && text.back() == '/') {
            text.pop_back();
        }
        return text;
    };
    for (const auto& [medium, hostFolder] : Media) {
        if (medium == UpperAnsi(letter)) {
            return withoutClosingSeparator(hostFolder.native());
        }
    }
    return withoutClosingSeparator(Root.native()) + "/drive_" + LowerAnsi(letter);
}

std::vector<PendingRename> SandboxMachine::PendingRenames() const {
    std::vector<PendingRename> renames;
    std::ifstream file(Root / PendingRenamesFile, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        PendingRename rename;
        std::string replace;
        if (std::getline(fields, rename.Source, '\t') &&
            std::getline(fields, rename.Target, '\t') && std::getline(fields, replace)) {
            rename.ReplaceExisting = replace == "1";
            renames.push_back(std::move(rename));
        }
    }
    return renames;
}

bool SandboxMachine::AddPendingRename(const PendingRename& rename) {
    std::ofstream file(Root / PendingRenamesFile, std::ios::binary | std::ios::app);
    file << rename.Source << '\t' << rename.Target << '\t' << (rename.ReplaceExisting ? 1 : 0)
         << '\n';
    return static_cast<bool>(file);
}

int SandboxMachine::Restart() {
    int failed = 0;
    std::error_code error;
    for (const PendingRename& rename : PendingRenames()) {
        const SandboxPath source = Resolve(rename.Source);
        if (source.Error != 0 || !source.Exists) {
            ++failed;
            continue;
        }
        if (rename.Target.empty()) {
            ForgetEntryInfo(source.Native);
            failed += fs::remove(source.Native, error) ? 0 : 1;
            continue;
        }
        const SandboxPath target = Resolve(rename.Target);
        if (target.Error != 0 || !target.ParentExists ||
            (target.Exists && !rename.ReplaceExisting)) {
            ++failed;
            continue;
        }
        if (target.Exists) {
            ForgetEntryInfo(target.Native);
            fs::remove(target.Native, error);
        }
        failed += MoveEntry(source.Native, target.Native) ? 0 : 1;
    }
    fs::remove(Root / PendingRenamesFile, error);
    return failed;
}

bool SandboxMachine::HeldOpen(const fs::path& native) const {
    for (const std::string& line : ListLines("held_open.txt", SIZE_MAX)) {
        const SandboxPath held = Resolve(line);
        if (held.Error == 0 && held.Exists && held.Native == native) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> SandboxMachine::ListLines(std::string_view fileName,
                                                   std::size_t maxLines) const {
    // Read with stdio, not a stream: the lists are looked at for every file an installation
    // writes, and are mostly absent, where a stream costs more to set up than the failed
    // open itself.
    const std::string path = Root.native() + '/' + std::string(fileName);
    const UniqueStdioFile file(std::fopen(path.c_str(), "rb"));
    std::vector<std::string> lines;
    if (!file) {
        return lines;
    }
    std::string line;
    for (int c = std::getc(file.Get()); c != EOF && lines.size() < maxLines;
         c = std::getc(file.Get())) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty() && lines.size() < maxLines) {
        lines.push_back(std::move(line));
    }
    for (std::string& each : lines) {
        if (each.ends_with('\r')) {
            each.pop_back();
        }
    }
    return lines;
}

} // namespace platform
