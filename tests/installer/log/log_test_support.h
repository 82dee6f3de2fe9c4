// Helpers for the installation log tests: log text from lines, and scratch folders.
#pragma once

#include "installer/log/log_records.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

namespace vorn::test {

/// The lines joined with CR LF ends, the last one ended too.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

/// A log of one section as the engine starts it, followed by `records`.
inline std::string LogWith(std::initializer_list<std::string_view> records) {
    return CrLfLines({"***  Installation Started 05/06/24 9:07  ***", "Title: Plandra",
                      "Source: C:\\SETUP\\SETUP.EXE"}) +
           CrLfLines(records);
}

/// A file record, all of whose fields need not be spelled out.
inline FileRecord File(FileRecordKind kind, std::string path, std::string backup = {},
                       bool nonSystem = false, bool sharedCountIgnored = false) {
    return {kind, std::move(path), std::move(backup), nonSystem, sharedCountIgnored};
}

/// A folder in the temporary directory, removed with everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory() {
        static std::atomic<unsigned> counter{0};
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        Path = std::filesystem::temp_directory_path() /
               ("vorn-log-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(Path);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }

    std::filesystem::path Path;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

inline void WriteFile(const std::filesystem::path& path, std::string_view contents) {
    std::ofstream file(path, std::ios::binary);
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

} // namespace vorn::test
