// A shell without a desktop: records what would be opened and started.
#pragma once

#include "platform/shell.h"

#include <set>
#include <string>
#include <vector>

namespace platform {

class HeadlessShell final : public ShellService {
public:
    std::intptr_t ShellExecuteA(HWND, std::string_view verb, std::string_view file,
                                std::string_view, std::string_view, int show) override {
        Opened.push_back(std::string(verb) + " " + std::string(file) + " " + std::to_string(show));
        return 42;
    }
    unsigned WinExec(std::string_view commandLine, int show) override {
        Started.push_back(std::string(commandLine) + " " + std::to_string(show));
        return 33;
    }
    std::uint32_t GetFileAttributesA(std::string_view fileName) override {
        return ExistingFiles.contains(std::string(fileName)) ? 0x20u : InvalidFileAttributes;
    }

    /// "verb file show" per ShellExecuteA call.
    std::vector<std::string> Opened;
    /// "commandLine show" per WinExec call.
    std::vector<std::string> Started;
    std::set<std::string> ExistingFiles;
};

} // namespace platform
