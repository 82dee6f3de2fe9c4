// The uninstaller's command line: "[/A] [/S] [/R] log-path [second-argument]", and the
// second stage's "/z file [folder]".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rescind {

struct CommandLine {
    bool Automatic = false; ///< "/A"
    bool Silent = false;    ///< "/S": automatic, no windows, no questions
    bool Rollback = false;  ///< "/R": rollback preselected
    /// "/Z" or "/z": run from the self-copy, which makes no copy of its own; with "z" the
    /// second stage, whose words name the program file and the folder to delete.
    bool SecondStage = false;
    bool SecondStageDeletes = false;
    std::string LogPath;
    /// The window title in a normal run (quotes removed); the folder to remove in the
    /// second stage.
    std::string SecondArgument;
};

/// Reads the words of a command line, as the system split them. Options come first,
/// each a slash and one letter in either case; an unknown option is taken as the log
/// path, as the words after the options are.
CommandLine ParseCommandLine(const std::vector<std::string_view>& words);

} // namespace rescind
