// The engine's interim log file.
#include "interim_log_file.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace vorn {

namespace {

std::filesystem::path TempFileName(const std::filesystem::path& directory, std::string_view prefix,
                                   unsigned unique) {
    std::array<char, 16> digits{};
    std::snprintf(digits.data(), digits.size(), "%04X", unique & 0xFFFFu);
    return directory / (std::string(prefix.substr(0, 3)) + digits.data() + ".TMP");
}

// A log that stops in the middle of a line (a dangling blank after "Version: Following
// file not copied.", the script's own text) would swallow the next section's header
// line, and with it the section; a line end keeps the header at the start of a line.
bool EndsInTheMiddleOfALine(const std::filesystem::path& installLog) {
    std::ifstream log(installLog, std::ios::binary | std::ios::ate);
    if (!log || log.tellg() <= 0) {
        return false;
    }
    log.seekg(-1, std::ios::end);
    char last = 0;
    log.get(last);
    return log && last != '\n' && last != '\r';
}

bool AppendFileTo(const std::filesystem::path& from, const std::filesystem::path& installLog) {
    std::error_code error;
    if (installLog.has_parent_path()) {
        std::filesystem::create_directories(installLog.parent_path(), error);
    }
    bool needsLineEnd = EndsInTheMiddleOfALine(installLog);
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(installLog, std::ios::binary | std::ios::app);
    if (!in || !out) {
        return false;
    }
    if (needsLineEnd) {
        out << "\r\n";
    }
    std::vector<char> buffer(64 * 1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        out.write(buffer.data(), in.gcount());
    }
    out.flush();
    return !in.bad() && static_cast<bool>(out);
}

} // namespace

std::unique_ptr<InterimLogFile> InterimLogFile::Create(const std::filesystem::path& directory,
                                                       std::string_view prefix) {
    // Like GetTempFileName, start from the clock and count up to the first free name.
    auto start = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned attempt = 0; attempt < 0x10000u; ++attempt) {
        unsigned unique = (start + attempt) & 0xFFFFu;
        if (unique == 0) {
            continue;
        }
        std::filesystem::path path = TempFileName(directory, prefix, unique);
        std::error_code error;
        bool taken = std::filesystem::exists(path, error);
        if (error) {
            return nullptr;
        }
        if (taken) {
            continue;
        }
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file) {
            return nullptr;
        }
        return std::unique_ptr<InterimLogFile>(
            new InterimLogFile(std::move(path), std::move(file)));
    }
    return nullptr;
}

InterimLogFile::~InterimLogFile() {
    if (!Closed) {
        File.close();
        std::error_code ignored;
        std::filesystem::remove(FilePath, ignored);
    }
}

bool InterimLogFile::Append(std::string_view text) {
    if (Closed) {
        return false;
    }
    File.write(text.data(), static_cast<std::streamsize>(text.size()));
    return static_cast<bool>(File);
}

bool InterimLogFile::Close(const std::filesystem::path& installLog) {
    if (Closed) {
        return false;
    }
    Closed = true;
    File.close();
    bool appended = installLog.empty() || AppendFileTo(FilePath, installLog);
    std::error_code ignored;
    std::filesystem::remove(FilePath, ignored);
    return appended;
}

} // namespace vorn
