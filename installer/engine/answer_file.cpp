// The answer file.
#include "answer_file.h"

#include "platform/ansi_text.h"
#include "platform/files.h"

namespace vorn {

std::vector<AnswerLine> ParseAnswerText(std::string_view text) {
    std::vector<AnswerLine> lines;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view name = platform::TrimBlanks(line.substr(0, equals));
        if (!name.empty()) {
            lines.push_back(
                {std::string(name), std::string(platform::TrimBlanks(line.substr(equals + 1)))});
        }
    }
    return lines;
}

std::optional<std::vector<AnswerLine>> ReadAnswerFile(platform::FileService& files,
                                                      std::string_view path) {
    platform::UniqueFile file(
        files.CreateFileA(path, platform::file::GenericRead, platform::file::ShareRead,
                          platform::file::OpenExisting, platform::file::AttributeNormal),
        platform::FileCloser{&files});
    if (!file) {
        return std::nullopt;
    }
    std::uint32_t high = 0;
    std::uint32_t size = files.GetFileSize(file.Get(), &high);
    if (size == platform::file::InvalidFileSize || high != 0 || size > MaxAnswerFileSize) {
        return std::nullopt;
    }
    std::string text(size, '\0');
    std::uint32_t read = 0;
    if (!files.ReadFile(file.Get(), std::span<char>(text), read)) {
        return std::nullopt;
    }
    text.resize(read);
    return ParseAnswerText(text);
}

} // namespace vorn
