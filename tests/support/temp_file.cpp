// Temporary files for tests.
#include "temp_file.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

namespace plandra::test {

namespace {

// A name no other test file of this or another test process has.
std::filesystem::path UniqueTempPath(std::string_view suffix) {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::filesystem::temp_directory_path() /
           ("plandra-test-" + std::to_string(stamp) + "-" + std::to_string(counter++) +
            std::string(suffix));
}

} // namespace

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void WriteFileText(const std::filesystem::path& path, std::string_view contents) {
    std::ofstream file(path, std::ios::binary);
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

TempFile::TempFile(std::string_view contents, std::string_view suffix)
    : Path(UniqueTempPath(suffix)) {
    WriteFileText(Path, contents);
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(Path, ignored);
}

TempFolder::TempFolder() : Path(UniqueTempPath("")) {
    std::filesystem::create_directory(Path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
}

std::string TempFolder::WithSeparator() const {
    return (Path / "").string();
}

std::size_t TempFolder::FileCount() const {
    auto entries = std::filesystem::directory_iterator(Path);
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

std::string DrawingWithEntities(std::initializer_list<std::string_view> entities) {
    return CrLfLines({"0", "SECTION", "2", "ENTITIES"}) + CrLfLines(entities) +
           CrLfLines({"0", "ENDSEC", "0", "EOF"});
}

std::filesystem::path SourceDir() {
    return PLANDRA_SOURCE_DIR;
}
std::filesystem::path CorpusDir() {
    return PLANDRA_CORPUS_DIR;
}

} // namespace plandra::test
