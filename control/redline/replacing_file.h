// An output file that takes the place of its target only once it is whole.
#pragma once

#include "platform/files.h"
#include "platform/stdio_file.h"

#include <string>
#include <string_view>

namespace plandra {

/// Text lines written to a new file beside the target, each ended with carriage return
/// and line feed. Commit closes it and puts it in the target's place in one step; a
/// file that is never committed is deleted, so any existing target stays untouched.
/// The file goes through `files` when one is given (a machine's paths), else through
/// the host's own files; either way the bytes go out in large blocks.
class ReplacingFile {
public:
    /// Creates the new file; raises "Path/File access error" when the target's folder
    /// takes no new file.
    explicit ReplacingFile(std::string target, platform::FileService* files = nullptr);
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    ~ReplacingFile();

    void WriteLine(std::string_view line) {
        Pending.append(line);
        Pending.append("\r\n");
        if (Pending.size() >= FlushSize) {
            Flush();
        }
    }

    /// Writes bytes as they stand.
    void Write(std::string_view bytes) {
        if (Pending.size() + bytes.size() > FlushSize) {
            Flush();
        }
        if (bytes.size() >= FlushSize) {
            WriteThrough(bytes);
        } else {
            Pending.append(bytes);
        }
    }

    /// Writes what is pending, closes the file and replaces the target with it. A
    /// failed write or close raises "Disk full"; a refused replacement raises
    /// "Path/File access error" (on Windows, a target held open elsewhere).
    void Commit();

private:
    static constexpr std::size_t FlushSize = 1 << 20;
    void Flush();
    void WriteThrough(std::string_view bytes);

    void Close();

    std::string Target;
    platform::FileService* Files;
    std::string Temporary;
    platform::UniqueStdioFile File;
    platform::UniqueFile Service;
    std::string Pending;
};

} // namespace plandra
