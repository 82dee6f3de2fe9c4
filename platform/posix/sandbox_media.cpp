// The sandbox machine's installation media: drive letters that show folders of the
// host, read-only, as a CD-ROM with the setup files shows them to Windows.
#include "platform/ansi_text.h"
#include "platform/files.h"
#include "platform/posix/sandbox_machine.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* MediaFile = "media.txt";
// A few lines; a larger file is not a list of media.
constexpr std::size_t MaxMediaBytes = 16 * 1024;

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

} // namespace

std::string SandboxMachine::LoadMedia() {
    Media.clear();
    std::ifstream file(Root / MediaFile, std::ios::binary);
    if (!file) {
        return {};
    }
    std::string text(MaxMediaBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (text.size() > MaxMediaBytes) {
        return std::string(MediaFile) + " is larger than 16 KB";
    }
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (line.size() < 4 || !IsLetter(line[0]) || line[1] != ':' || line[2] != ' ' ||
            line[3] != '/' || UpperAnsi(line[0]) == 'C') {
            return std::string(MediaFile) + ": \"" + line +
                   "\" is not a medium (a drive letter other than C, a colon, a blank and an "
                   "absolute host folder)";
        }
        const char letter = UpperAnsi(line[0]);
        std::erase_if(Media, [letter](const auto& medium) { return medium.first == letter; });
        Media.emplace_back(letter, fs::path(line.substr(3)));
        if (FindDrive(letter) == nullptr) {
            Machine.Drives.push_back(SandboxDrive{letter, file::DriveCdrom, 650ull << 20, 0});
        }
    }
    return {};
}

bool SandboxMachine::IsMedium(char letter) const {
    return std::any_of(Media.begin(), Media.end(),
                       [letter](const auto& medium) { return medium.first == UpperAnsi(letter); });
}

bool SandboxMachine::SetMedium(char letter, const fs::path& hostFolder, std::string& error) {
    std::error_code failure;
    const fs::path folder = fs::canonical(hostFolder, failure);
    if (failure || !fs::is_directory(folder, failure)) {
        error = hostFolder.string() + " is not a folder";
        return false;
    }
    if (!IsLetter(letter) || UpperAnsi(letter) == 'C' ||
        folder.string().find_first_of("\r\n") != std::string::npos) {
        error = "drive C and folder names with line breaks cannot be media";
        return false;
    }
    // The letter's earlier folder gives way; the other media stay.
    std::erase_if(Media,
                  [letter](const auto& medium) { return medium.first == UpperAnsi(letter); });
    Media.emplace_back(UpperAnsi(letter), folder);
    std::ofstream file(Root / MediaFile, std::ios::binary | std::ios::trunc);
    for (const auto& [medium, hostFolder] : Media) {
        file << medium << ": " << hostFolder.string() << "\n";
    }
    if (!file) {
        error = "cannot write " + (Root / MediaFile).string();
        return false;
    }
    file.close();
    error = LoadMedia();
    return error.empty();
}

} // namespace platform
