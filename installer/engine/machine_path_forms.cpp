// Long and short forms of paths on the machine.
#include "machine_path_forms.h"

#include "platform/files.h"

#include <vector>

namespace vorn {

std::string MachinePathForms::ShortPathForm(std::string_view path) {
    std::vector<char> buffer(260);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::uint32_t length = Files.GetShortPathNameA(path, std::span<char>(buffer));
        if (length == 0) {
            return std::string(path);
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(length);
    }
    return std::string(path);
}

std::string MachinePathForms::LongPathForm(std::string_view path) {
    // Only full paths "X:\..." are looked up; the drive and the separators stay as given.
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return std::string(path);
    }
    std::string result(path.substr(0, 2));
    std::size_t at = 3;
    while (at <= path.size()) {
        std::size_t end = path.find('\\', at);
        std::string_view name =
            path.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (name.empty() || name == "." || name == ".." ||
            name.find_first_of("*?") != std::string_view::npos) {
            return std::string(path);
        }
        platform::FindData found;
        platform::UniqueFind search(Files.FindFirstFileA(result + "\\" + std::string(name), found),
                                    platform::FindCloser{&Files});
        if (!search) {
            return std::string(path);
        }
        result += "\\" + found.FileName;
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return result;
}

} // namespace vorn
