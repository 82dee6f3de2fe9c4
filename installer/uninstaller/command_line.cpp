// The uninstaller's command line.
#include "command_line.h"

namespace rescind {

CommandLine ParseCommandLine(const std::vector<std::string_view>& words) {
    CommandLine line;
    std::size_t next = 0;
    for (; next < words.size(); ++next) {
        const std::string_view word = words[next];
        if (word.size() != 2 || word[0] != '/') {
            break;
        }
        const char letter = word[1];
        if (letter == 'a' || letter == 'A') {
            line.Automatic = true;
        } else if (letter == 's' || letter == 'S') {
            line.Silent = true;
            line.Automatic = true;
        } else if (letter == 'r' || letter == 'R') {
            line.Rollback = true;
        } else if (letter == 'z' || letter == 'Z') {
            line.SecondStage = true;
            line.SecondStageDeletes = letter == 'z';
        } else {
            break;
        }
    }
    if (next < words.size()) {
        line.LogPath = std::string(words[next++]);
    }
    for (; next < words.size(); ++next) {
        if (!line.SecondArgument.empty()) {
            line.SecondArgument += ' ';
        }
        line.SecondArgument += words[next];
    }
    const std::string& second = line.SecondArgument;
    if (second.size() >= 2 && second.front() == '"' && second.back() == '"') {
        line.SecondArgument = second.substr(1, second.size() - 2);
    }
    return line;
}

} // namespace rescind
