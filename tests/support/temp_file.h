// Temporary files for tests, and DXF text built from lines.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>

namespace plandra::test {

/// The whole of a file as bytes; empty when it cannot be read.
std::string ReadFileText(const std::filesystem::path& path);
/// Writes `contents` as the whole of a file.
void WriteFileText(const std::filesystem::path& path, std::string_view contents);

/// A file in the temporary directory, removed when the object goes.
class TempFile {
public:
    explicit TempFile(std::string_view contents = {}, std::string_view suffix = ".dxf");
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    std::string Name() const { return Path.string(); }
    std::string Read() const { return ReadFileText(Path); }

private:
    std::filesystem::path Path;
};

/// A new folder in the temporary directory, removed with its contents when the
/// object goes.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::filesystem::path& Folder() const { return Path; }
    /// The folder's path with a separator at its end.
    std::string WithSeparator() const;
    /// How many files the folder holds.
    std::size_t FileCount() const;

private:
    std::filesystem::path Path;
};

/// Joins lines with CR LF ends, the last line ended too.
std::string CrLfLines(std::initializer_list<std::string_view> lines);

/// A complete minimal drawing: an ENTITIES section holding `entities` (lines as
/// they stand, group codes and values alternating).
std::string DrawingWithEntities(std::initializer_list<std::string_view> entities);

/// The project's folders, as the tests were built.
std::filesystem::path SourceDir();
std::filesystem::path CorpusDir();

} // namespace plandra::test
