// vornlog: what the uninstaller understands of an installation log.
#include "installer/log/install_log_reader.h"
#include "log_report.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage = R"(Usage: vornlog [--json] FILE

Reads an installation log (INSTALL.LOG) as the uninstaller reads it and prints
what it understood: the title, the number of installation sections, the byte
offset of the last section's header (where rolling back the last installation
cuts the log), the uninstall information block, and every record in file order
with its installation number and fields. Lines the uninstaller passes over
(information-only lines, unknown lines, records that lack a required line) do
not appear.

Options:
  --json       Print exactly one JSON object:
               {"title", "sections", "lastSectionOffset", "info": {"mif",
               "manufacturer", "product", "version", "serial"}, "records":
               [{"kind", "installation", ...fields}]}
               where kind is one of adminRights, fileCopy, fileOverwrite,
               shellLink, fileEdit, selfRegister, madeDir, fileTree, iconGroup,
               iconItem, iniNew, iniEntry, regValue, regTree, service, addDevice,
               uninstallProgram, subSystem. An INI entry without an old value has
               "old": null (uninstalling removes the key).
  -h, --help   Show this text.

Exit status: 0 when the log was read, 1 when it could not be opened ("Could not
open INSTALL.LOG file.") or is not an installation log ("Invalid INSTALL.LOG
file."), 2 for a usage error.
)";

int UsageError(std::string_view message) {
    std::cerr << "vornlog: " << message << "\nRun 'vornlog --help' for usage.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string fileName;
    bool json = false;
    bool onlyFileNames = false;
    for (std::string_view arg : args) {
        if (!onlyFileNames && (arg == "--help" || arg == "-h")) {
            std::cout << Usage;
            return 0;
        } else if (!onlyFileNames && arg == "--json") {
            json = true;
        } else if (!onlyFileNames && arg == "--") {
            onlyFileNames = true;
        } else if (!onlyFileNames && arg.size() > 1 && arg.front() == '-') {
            return UsageError("unknown option '" + std::string(arg) + "'");
        } else if (!fileName.empty()) {
            return UsageError("only one FILE can be given");
        } else {
            fileName = arg;
        }
    }
    if (fileName.empty()) {
        return UsageError("no FILE given");
    }
    vorn::LogReadResult result = vorn::ReadInstallLog(fileName);
    if (result.Error) {
        std::cerr << "vornlog: " << fileName << ": " << vorn::LogReadErrorText(*result.Error)
                  << "\n";
        return 1;
    }
    if (json) {
        vorn::cli::WriteLogJson(std::cout, result.Log);
    } else {
        vorn::cli::WriteLogText(std::cout, result.Log);
    }
    return 0;
}
