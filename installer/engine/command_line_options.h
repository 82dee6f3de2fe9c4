// The engine's options at the start of its command line: /T, /X, /Z, /M, /M1 and
// /M=answerfile.
#pragma once

#include "dll_call_block.h"

#include <string>
#include <string_view>

namespace vorn {

struct CommandLineOptions {
    RunMode Mode = RunMode::Normal;
    /// M directly followed by 1: each file is shown before it is self-registered.
    bool ConfirmSelfRegistration = false;
    /// The directory after /X or /Z; empty: one save dialog per file.
    std::string ExtractDirectory;
    /// The answer file's name as given (resolve it with AnswerFilePath).
    std::string AnswerFile;
};

/// Reads the options at the start of `commandLine`: each a slash and a letter (any
/// case), separated by blanks; reading stops at the first word that is not one. Other
/// letters are passed over. Of T, X, Z and M (without "=") the last one sets the mode.
CommandLineOptions ParseCommandLineOptions(std::string_view commandLine);

/// The answer file's full path: a name without a backslash lies in `setupDirectory`.
std::string AnswerFilePath(std::string_view name, std::string_view setupDirectory);

} // namespace vorn
