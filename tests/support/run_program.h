// Running one of our programs as its users do, from a shell command line.
#pragma once

#include <string>

namespace plandra::test {

struct ProgramOutcome {
    /// The exit status; -1 when the program did not exit normally.
    int Status = -1;
    /// What it wrote to standard output and standard error, interleaved.
    std::string Output;
};

/// Runs `commandLine` through the shell and waits for it.
ProgramOutcome RunProgram(const std::string& commandLine);

} // namespace plandra::test
