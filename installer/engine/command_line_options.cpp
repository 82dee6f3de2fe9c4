// The engine's command-line options.
#include "command_line_options.h"

#include "platform/ansi_text.h"

namespace vorn {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A word from `at`: quoted (without the quotes), or up to the next blank.
std::string TakeWord(std::string_view text, std::size_t& at) {
    if (at < text.size() && text[at] == '"') {
        std::size_t close = text.find('"', at + 1);
        std::size_t end = close == std::string_view::npos ? text.size() : close;
        std::string word(text.substr(at + 1, end - at - 1));
        at = close == std::string_view::npos ? text.size() : close + 1;
        return word;
    }
    std::size_t start = at;
    while (at < text.size() && !IsBlank(text[at])) {
        ++at;
    }
    return std::string(text.substr(start, at - start));
}

void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
}

} // namespace

CommandLineOptions ParseCommandLineOptions(std::string_view commandLine) {
    CommandLineOptions options;
    std::size_t at = 0;
    for (;;) {
        SkipBlanks(commandLine, at);
        if (at + 1 >= commandLine.size() || commandLine[at] != '/') {
            return options;
        }
        char letter = platform::UpperAnsi(commandLine[at + 1]);
        at += 2;
        switch (letter) {
        case 'T':
            options.Mode = RunMode::Test;
            break;
        case 'X':
        case 'Z':
            options.Mode = letter == 'X' ? RunMode::Extract : RunMode::ExtractZ;
            SkipBlanks(commandLine, at);
            if (at < commandLine.size() && commandLine[at] != '/') {
                options.ExtractDirectory = TakeWord(commandLine, at);
            }
            break;
        case 'M':
            // "/M=name" names an answer file for an unattended run; it is not manual mode.
            if (at < commandLine.size() && commandLine[at] == '=') {
                ++at;
                options.AnswerFile = TakeWord(commandLine, at);
                break;
            }
            options.Mode = RunMode::Manual;
            if (at < commandLine.size() && commandLine[at] == '1') {
                options.ConfirmSelfRegistration = true;
                ++at;
            }
            break;
        default:
            break;
        }
        // Whatever else is glued to the option belongs to it.
        while (at < commandLine.size() && !IsBlank(commandLine[at])) {
            ++at;
        }
    }
}

std::string AnswerFilePath(std::string_view name, std::string_view setupDirectory) {
    if (name.find('\\') != std::string_view::npos || setupDirectory.empty()) {
        return std::string(name);
    }
    std::string path(setupDirectory);
    if (path.back() != '\\') {
        path += '\\';
    }
    return path + std::string(name);
}

} // namespace vorn
