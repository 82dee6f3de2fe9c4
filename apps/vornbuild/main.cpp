// vornbuild: compiles an installation script into a setup archive, and lists the
// script of a built archive back in the script language.
#include "installer/authoring/script_compiler.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage =
    R"(Usage: vornbuild SCRIPT -o SETUP_FOLDER [--disk-size N] [--store] [--setup-program FILE]
                 [--engine FILE] [--search DIR]...
       vornbuild --list ARCHIVE

Compiles the installation script SCRIPT (docs/installer-scripts.md describes the
language), compresses the files it installs and writes the setup archive
SETUP_FOLDER/SETUP.VRN, which the setup program runs, and beside it the library
files that keep the files marked library-file. Nothing is written when the script
has an error; errors name the file, line and column.

Options:
  -o SETUP_FOLDER  The folder the archive is written to (made when missing).
  --disk-size N    Split the archive into disk files of N bytes each (SETUP.VRN,
                   SETUP.W02, SETUP.W03 ...); at least 1024.
  --store          Keep the files in the archive as they are instead of deflating
                   them: a larger archive that installs faster. Empty files are
                   still deflated.
  --setup-program FILE
                   Copy the setup program (SETUP.EXE, vornsetup) into SETUP_FOLDER.
  --engine FILE    Copy the install engine (VORN0132.DLL, libvorn0132.so) into
                   SETUP_FOLDER, beside the setup program that loads it.
  --search DIR     Look for a file the script names (to include or to install)
                   in DIR, by its name, when it is not where the script says; the
                   folders are tried in the order given. A build names its own
                   files this way.
  --list ARCHIVE   Print the archive's script in the script language. Compiling the
                   listing beside the archive's files gives the same script again.
  -h, --help       Show this text.

Exit status: 0 on success, 1 when the script or the archive has an error, 2 for a
usage error.
)";

int UsageError(std::string_view message) {
    std::cerr << "vornbuild: " << message << "\nRun 'vornbuild --help' for usage.\n";
    return 2;
}

int List(const std::filesystem::path& path) {
    vorn::SetupArchive::OpenResult opened = vorn::SetupArchive::Open(path);
    if (!opened.Archive) {
        std::cerr << "vornbuild: " << path.string() << ": " << opened.Error << "\n";
        return 1;
    }
    try {
        std::cout << vorn::authoring::ListArchive(*opened.Archive);
    } catch (const std::exception& error) {
        std::cerr << "vornbuild: " << path.string() << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}

// Reads a file of the script where it names it, or else by its name from the first
// search folder that holds it.
vorn::authoring::FileReader SearchingReader(std::vector<std::filesystem::path> folders) {
    return [folders = std::move(folders)](const std::filesystem::path& path) {
        std::optional<vorn::authoring::BuildFile> file = vorn::authoring::ReadBuildFile(path);
        for (std::size_t i = 0; !file && i < folders.size(); ++i) {
            file = vorn::authoring::ReadBuildFile(folders[i] / path.filename());
        }
        return file;
    };
}

// Writes the library files beside the archive; an error text, empty on success.
std::string WriteLibraries(const std::filesystem::path& folder,
                           const std::vector<vorn::authoring::LibraryFile>& libraries) {
    for (const vorn::authoring::LibraryFile& library : libraries) {
        const std::filesystem::path path = folder / library.Name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(library.Content.data()),
                  static_cast<std::streamsize>(library.Content.size()));
        if (!out.flush()) {
            return "cannot write the library file " + path.string();
        }
    }
    return {};
}

int Build(const std::filesystem::path& script, const std::filesystem::path& folder,
          std::uint32_t diskSize, vorn::ItemStorage storage,
          const std::vector<std::filesystem::path>& companions,
          const std::vector<std::filesystem::path>& searched) {
    for (const std::filesystem::path& companion : companions) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(companion, error)) {
            std::cerr << "vornbuild: cannot read " << companion.string() << "\n";
            return 1;
        }
    }
    const std::optional<vorn::authoring::BuildFile> text = vorn::authoring::ReadBuildFile(script);
    if (!text) {
        std::cerr << "vornbuild: cannot read " << script.string() << "\n";
        return 1;
    }
    try {
        vorn::authoring::CompiledSetup setup =
            vorn::authoring::CompileScript(std::string(text->Content.begin(), text->Content.end()),
                                           script, SearchingReader(searched), storage);
        setup.Extras.BytesPerDisk = diskSize;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        std::string written = vorn::WriteSetupArchive(folder / "SETUP.VRN", setup.Script,
                                                      setup.Payload, setup.Extras);
        if (written.empty() && !error) {
            written = WriteLibraries(folder, setup.Libraries);
        }
        if (!written.empty() || error) {
            std::cerr << "vornbuild: " << (written.empty() ? error.message() : written) << "\n";
            return 1;
        }
        for (const std::filesystem::path& companion : companions) {
            // The copy of an earlier build goes first: the Windows runtime's copy_file
            // refuses to overwrite a file that exists.
            const std::filesystem::path copy = folder / companion.filename();
            std::filesystem::remove(copy, error);
            std::filesystem::copy_file(companion, copy, error);
            if (error) {
                std::cerr << "vornbuild: cannot copy " << companion.string() << ": "
                          << error.message() << "\n";
                return 1;
            }
        }
        std::cout << "Wrote " << (folder / "SETUP.VRN").string() << ": "
                  << setup.Payload.Entries.size() << " files, script of " << setup.Script.size()
                  << " bytes";
        if (!setup.Libraries.empty()) {
            std::cout << ", " << setup.Libraries.size() << " library files beside it";
        }
        std::cout << "\n";
    } catch (const vorn::authoring::CompileError& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string script;
    std::string folder;
    std::string list;
    std::uint32_t diskSize = 0;
    vorn::ItemStorage storage = vorn::ItemStorage::Deflated;
    std::vector<std::filesystem::path> companions;
    std::vector<std::filesystem::path> searched;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::cout << Usage;
            return 0;
        }
        const bool takesValue = argument == "-o" || argument == "--disk-size" ||
                                argument == "--list" || argument == "--setup-program" ||
                                argument == "--engine" || argument == "--search";
        if (takesValue && i + 1 == argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--store") {
            storage = vorn::ItemStorage::Stored;
        } else if (argument == "-o") {
            folder = argv[++i];
        } else if (argument == "--setup-program" || argument == "--engine") {
            companions.emplace_back(argv[++i]);
        } else if (argument == "--search") {
            searched.emplace_back(argv[++i]);
        } else if (argument == "--list") {
            list = argv[++i];
        } else if (argument == "--disk-size") {
            const std::string value = argv[++i];
            if (value.empty() || value.size() > 10 ||
                value.find_first_not_of("0123456789") != std::string::npos ||
                std::stoull(value) < vorn::MinBytesPerDisk || std::stoull(value) > 0xFFFFFFFFu) {
                return UsageError("--disk-size takes a number of bytes from 1024 on");
            }
            diskSize = static_cast<std::uint32_t>(std::stoull(value));
        } else if (!argument.empty() && argument[0] == '-') {
            return UsageError("unknown option " + std::string(argument));
        } else if (script.empty()) {
            script = argument;
        } else {
            return UsageError("unexpected argument " + std::string(argument));
        }
    }
    if (!list.empty()) {
        if (!script.empty() || !folder.empty() || diskSize != 0 || !companions.empty() ||
            !searched.empty() || storage != vorn::ItemStorage::Deflated) {
            return UsageError("--list goes alone");
        }
        return List(list);
    }
    if (script.empty() || folder.empty()) {
        return UsageError("SCRIPT and -o SETUP_FOLDER are required");
    }
    return Build(script, folder, diskSize, storage, companions, searched);
}
