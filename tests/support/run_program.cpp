// Running a program through the shell with its output captured.
#include "support/run_program.h"

#include <cstdio>
#include <sys/wait.h>

namespace plandra::test {

ProgramOutcome RunProgram(const std::string& commandLine) {
    ProgramOutcome outcome;
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return outcome;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        outcome.Output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace plandra::test
