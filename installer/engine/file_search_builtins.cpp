// Looking for a file on the machine's drives or along the search path.
#include "file_search_builtins.h"

#include "builtin_functions.h"
#include "path_parts.h"
#include "platform/machine_services.h"
#include "wait_dialog.h"

#include <utility>
#include <vector>

namespace vorn {

namespace {

constexpr long KeepDirectory = 0x01;
constexpr long LeaveFixedDrives = 0x02;
constexpr long NetworkDrives = 0x06;
constexpr int MaxDepth = 32;

bool IsFile(platform::FileService& files, const std::string& path) {
    const std::uint32_t attributes = files.GetFileAttributesA(path);
    return attributes != platform::file::InvalidAttributes &&
           (attributes & platform::file::AttributeDirectory) == 0;
}

std::optional<std::string> SearchFolder(platform::FileService& files, const std::string& folder,
                                        std::string_view name, int depth) {
    const std::string candidate = folder + "\\" + std::string(name);
    if (IsFile(files, candidate)) {
        return candidate;
    }
    if (depth >= MaxDepth) {
        return std::nullopt;
    }
    std::vector<std::string> subfolders;
    platform::FindData found;
    platform::UniqueFind search(files.FindFirstFileA(folder + "\\*.*", found),
                                platform::FindCloser{&files});
    if (search) {
        do {
            if ((found.FileAttributes & platform::file::AttributeDirectory) != 0 &&
                found.FileName != "." && found.FileName != "..") {
                subfolders.push_back(folder + "\\" + found.FileName);
            }
        } while (files.FindNextFileA(search.Get(), found));
    }
    search.Reset();
    for (const std::string& subfolder : subfolders) {
        if (std::optional<std::string> path = SearchFolder(files, subfolder, name, depth + 1)) {
            return path;
        }
    }
    return std::nullopt;
}

// Sets the variable to the found path (or its folder) or the default: the result.
std::int32_t Answer(Engine& engine, std::string_view variable,
                    const std::optional<std::string>& found, bool keepDirectory,
                    std::string_view fallback) {
    if (variable.empty()) {
        return found ? 1 : 0;
    }
    if (!found) {
        engine.Variables.SetVariable(variable, fallback);
        return 0;
    }
    engine.Variables.SetVariable(variable, keepDirectory ? DirectoryPart(*found) : *found);
    return 1;
}

// A name to look for: no folder part, no wildcard, not empty.
bool IsPlainName(std::string_view name) {
    return !name.empty() && name.find_first_of("\\/:*?") == std::string_view::npos;
}

} // namespace

std::optional<std::string> SearchDrives(platform::FileService& files, std::string_view name,
                                        bool withoutFixed, bool withNetwork) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":";
        const std::uint32_t type = files.GetDriveTypeA((root + "\\").c_str());
        const bool wanted = (type == platform::file::DriveFixed && !withoutFixed) ||
                            (type == platform::file::DriveRemote && withNetwork);
        if (wanted) {
            if (std::optional<std::string> path = SearchFolder(files, root, name, 0)) {
                return path;
            }
        }
    }
    return std::nullopt;
}

std::int32_t f13(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    std::optional<std::string> found;
    if (engine.Services.Machine != nullptr && IsPlainName(fields.Text(2))) {
        WaitDialogScope waiting(engine, fields.Text(4));
        found = SearchDrives(engine.Services.Machine->Files(), fields.Text(2),
                             (flags & LeaveFixedDrives) != 0, (flags & NetworkDrives) != 0);
    }
    return Answer(engine, fields.Text(1), found, (flags & KeepDirectory) != 0, fields.Text(3));
}

std::int32_t f22(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    std::optional<std::string> found;
    platform::MachineServices* machine = engine.Services.Machine;
    if (machine != nullptr && IsPlainName(fields.Text(2))) {
        WaitDialogScope waiting(engine, fields.Text(5));
        const std::string path = platform::ReadSystemText([&](std::span<char> buffer) {
            return machine->System().GetEnvironmentVariableA("PATH", buffer);
        });
        std::string_view rest = path;
        while (!found && !rest.empty()) {
            const std::size_t end = rest.find(';');
            std::string folder(rest.substr(0, end));
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            while (!folder.empty() && folder.back() == '\\') {
                folder.pop_back();
            }
            if (!folder.empty() &&
                IsFile(machine->Files(), folder + "\\" + std::string(fields.Text(2)))) {
                found = folder + "\\" + std::string(fields.Text(2));
            }
        }
    }
    return Answer(engine, fields.Text(1), found, fields.Number(0) != 0, fields.Text(3));
}

} // namespace vorn
