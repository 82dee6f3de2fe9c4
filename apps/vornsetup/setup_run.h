// Running a setup archive: the context block, the engine loaded by name, VornMain, and
// what its exit action asks for; and listing an archive's contents.
#pragma once

#include "setup_machine.h"

#include <ostream>
#include <string>

namespace vornsetup {

struct RunOptions {
    std::string ArchivePath;
    /// The text after the archive: the engine's options ("/T", "/M=answers.txt").
    std::string CommandLine;
    bool Silent = false;
    /// The engine library to load; empty: the one beside the program.
    std::string EnginePath;
    /// The setup program's Windows path on the sandbox machine; empty: C:\SETUP.EXE.
    std::string SetupProgram;
};

/// Exit status: 0 the installation completed, 1 it did not (or the archive or the engine
/// could not be used).
int RunSetup(SetupMachine& machine, const RunOptions& options, std::ostream& out,
             std::ostream& err);

/// Prints the archive's header, pieces and files, each file checked by decompressing
/// it. Exit status: 0 sound, 1 unreadable or damaged.
int ListArchive(const std::string& path, std::ostream& out, std::ostream& err);

} // namespace vornsetup
