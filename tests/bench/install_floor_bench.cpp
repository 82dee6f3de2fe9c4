// The least work an installation of a folder of files must do, and nothing more, for the
// installation bench to time beside `cp -r`: each file is copied inside the kernel, as
// `cp` copies it, under the temporary name "~KTH0001.TMP" beside its destination, stamped
// with its date and renamed onto its destination, and a log line is written for it. No
// Windows names, no rules, no checksum: whatever the installation takes beyond this
// program's time is its own.
//
// Usage: install_floor_bench SOURCE DESTINATION
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Copies `from` to `to` through the temporary name, as one file of an installation. The
// copy is made inside the kernel, as `cp` makes it.
void InstallOne(const fs::path& from, const fs::path& to) {
    const fs::path temporary = to.parent_path() / "~KTH0001.TMP";
    fs::copy_file(from, temporary);
    fs::last_write_time(temporary, fs::last_write_time(from));
    fs::rename(temporary, to);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << "Usage: install_floor_bench SOURCE DESTINATION\n"
                     "Copies the files under SOURCE into DESTINATION (which must not exist) the\n"
                     "way an installation must at the least: through a temporary name beside\n"
                     "each file, with its date, and a log line per file in DESTINATION.LOG.\n";
        return 0;
    }
    if (argc != 3) {
        std::cerr << "install_floor_bench: give a source and a destination folder (see --help)\n";
        return 2;
    }
    const fs::path source = argv[1];
    const fs::path destination = argv[2];
    try {
        if (!fs::is_directory(source) || fs::exists(destination)) {
            throw std::runtime_error("the source must be a folder and the destination new");
        }
        std::ofstream log(destination.string() + ".LOG", std::ios::binary);
        fs::create_directory(destination);
        for (auto it = fs::recursive_directory_iterator(source); it != fs::end(it); ++it) {
            const fs::path to = destination / it->path().lexically_relative(source);
            if (it->is_directory()) {
                fs::create_directory(to);
                continue;
            }
            InstallOne(it->path(), to);
            if (!(log << "File Copy: " << to.string() << "\r\n" << std::flush)) {
                throw std::runtime_error("cannot write the log");
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "install_floor_bench: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
