// The sandbox machine's volumes and network.
#include "platform/posix/sandbox_drives.h"

#include "platform/ansi_text.h"
#include "platform/files.h"
#include "platform/ini_text.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>

namespace platform {

namespace {

// machine.ini is a few hundred bytes; a larger file is read no further than this.
constexpr std::size_t MaxIniBytes = 64 * 1024;

std::string ReadMachineIni(const std::filesystem::path& folder) {
    std::ifstream file(folder / "machine.ini", std::ios::binary);
    std::string text(MaxIniBytes, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(file ? text.size() : static_cast<std::size_t>(file.gcount()));
    return text;
}

// "1A2B-3C4D" as a serial number.
bool ParseSerial(std::string_view text, std::uint32_t& serial) {
    if (text.size() != 9 || text[4] != '-') {
        return false;
    }
    std::uint32_t high = 0;
    std::uint32_t low = 0;
    const auto part = [](std::string_view digits, std::uint32_t& value) {
        auto [end, error] = std::from_chars(digits.data(), digits.data() + 4, value, 16);
        return error == std::errc{} && end == digits.data() + 4;
    };
    if (!part(text.substr(0, 4), high) || !part(text.substr(5, 4), low)) {
        return false;
    }
    serial = (high << 16) | low;
    return true;
}

// The drive letter of "C:", "C:\" or "c:\path"; 0 for anything else.
char DriveLetter(std::string_view path) {
    if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0]))) {
        return 0;
    }
    return UpperAnsi(path[0]);
}

// Copies `text` and a zero as the WNet calls do: 0, or MoreData and the size needed.
std::uint32_t CopyOut(std::string_view text, std::span<char> buffer, std::uint32_t& length) {
    length = static_cast<std::uint32_t>(text.size() + 1);
    if (text.size() >= buffer.size()) {
        return winerror::MoreData;
    }
    std::memcpy(buffer.data(), text.data(), text.size());
    buffer[text.size()] = '\0';
    return 0;
}

} // namespace

SandboxDrives::SandboxDrives(const SandboxMachine& machine) : Machine(machine) {
    const IniText ini = IniText::Parse(ReadMachineIni(machine.Folder()));
    for (const std::string& letter : ini.KeyNames("Volumes")) {
        const std::string line = ini.Value("Volumes", letter).value_or("");
        std::string_view value = TrimBlanks(line);
        VolumeInformation volume;
        std::string_view first = value.substr(0, value.find(' '));
        if (ParseSerial(first, volume.SerialNumber)) {
            value = TrimBlanks(value.substr(first.size()));
        }
        volume.Label = std::string(value);
        if (letter.size() == 1) {
            Volumes[UpperAnsi(letter[0])] = volume;
        }
    }
    for (const std::string& key : ini.KeyNames("Network")) {
        std::string value = ini.Value("Network", key).value_or("");
        if (EqualsIgnoringCase(key, "User")) {
            NetworkUser = value;
            HasNetwork = true;
        } else if (key.size() == 1) {
            Shares[UpperAnsi(key[0])] = value;
        }
    }
}

bool SandboxDrives::GetVolumeInformationA(std::string_view rootPathName,
                                          VolumeInformation& volume) {
    const char letter = DriveLetter(rootPathName);
    if (letter == 0 || Machine.FindDrive(letter) == nullptr) {
        LastError = winerror::PathNotFound;
        return false;
    }
    auto known = Volumes.find(letter);
    volume = known != Volumes.end() ? known->second : VolumeInformation{};
    return true;
}

std::uint32_t SandboxDrives::WNetGetConnectionA(std::string_view localName,
                                                std::span<char> remoteName, std::uint32_t& length) {
    const char letter = DriveLetter(localName);
    const SandboxDrive* drive =
        letter != 0 && localName.size() == 2 ? Machine.FindDrive(letter) : nullptr;
    if (drive == nullptr || drive->Type != file::DriveRemote) {
        return LastError = winerror::NotConnected;
    }
    auto share = Shares.find(letter);
    if (share == Shares.end()) {
        return LastError = winerror::ConnectionUnavail;
    }
    return LastError = CopyOut(share->second, remoteName, length);
}

std::uint32_t SandboxDrives::WNetGetUserA(std::span<char> userName, std::uint32_t& length) {
    if (!HasNetwork) {
        return LastError = winerror::NoNetwork;
    }
    return LastError = CopyOut(NetworkUser, userName, length);
}

} // namespace platform
