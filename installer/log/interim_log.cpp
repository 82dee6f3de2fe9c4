// The engine's interim log on the machine's file calls.
#include "interim_log.h"

#include <array>
#include <vector>

namespace vorn {

using namespace platform;

namespace {

bool WriteAll(FileService& files, FileHandle file, std::string_view text) {
    std::uint32_t written = 0;
    return files.WriteFile(file, text, written) && written == text.size();
}

// Makes every folder above the file, as CreateDirectoryA makes one level at a time.
void CreateFoldersAbove(FileService& files, std::string_view path) {
    for (std::size_t end = path.find_first_of("\\/", 3); end != std::string_view::npos;
         end = path.find_first_of("\\/", end + 1)) {
        files.CreateDirectoryA(path.substr(0, end));
    }
}

} // namespace

std::unique_ptr<InterimLog> InterimLog::Create(FileService& files, std::string_view directory,
                                               std::string_view prefix) {
    std::string path;
    if (files.GetTempFileNameA(directory, prefix, 0, path) == 0) {
        return nullptr;
    }
    UniqueFile file(files.CreateFileA(path, file::GenericRead | file::GenericWrite, file::ShareRead,
                                      file::TruncateExisting, file::AttributeNormal),
                    FileCloser{&files});
    if (!file) {
        files.DeleteFileA(path);
        return nullptr;
    }
    return std::unique_ptr<InterimLog>(new InterimLog(files, std::move(path), std::move(file)));
}

InterimLog::~InterimLog() {
    if (!Closed) {
        File.Reset();
        Files.DeleteFileA(FilePath);
    }
}

bool InterimLog::Append(std::string_view text) {
    return !Closed && WriteAll(Files, File.Get(), text);
}

bool InterimLog::AppendTo(std::string_view installLog) {
    CreateFoldersAbove(Files, installLog);
    UniqueFile log(Files.CreateFileA(installLog, file::GenericRead | file::GenericWrite, 0,
                                     file::OpenAlways, file::AttributeNormal),
                   FileCloser{&Files});
    if (!log) {
        return false;
    }
    // A log that stops in the middle of a line (a dangling blank after "Version:
    // Following file not copied.") would swallow the next section's header line.
    std::array<char, 1> last{};
    std::uint32_t count = 0;
    if (Files.GetFileSize(log.Get(), nullptr) > 0 &&
        Files.SetFilePointer(log.Get(), -1, nullptr, file::End) != file::InvalidSetFilePointer &&
        Files.ReadFile(log.Get(), last, count) && count == 1 && last[0] != '\n' &&
        last[0] != '\r' && !WriteAll(Files, log.Get(), "\r\n")) {
        return false;
    }
    if (Files.SetFilePointer(log.Get(), 0, nullptr, file::End) == file::InvalidSetFilePointer ||
        Files.SetFilePointer(File.Get(), 0, nullptr, file::Begin) == file::InvalidSetFilePointer) {
        return false;
    }
    std::vector<char> buffer(64 * 1024);
    while (true) {
        if (!Files.ReadFile(File.Get(), buffer, count)) {
            return false;
        }
        if (count == 0) {
            return true;
        }
        if (!WriteAll(Files, log.Get(), std::string_view(buffer.data(), count))) {
            return false;
        }
    }
}

bool InterimLog::Close(std::string_view installLog) {
    if (Closed) {
        return false;
    }
    Closed = true;
    const bool appended = installLog.empty() || AppendTo(installLog);
    File.Reset();
    Files.DeleteFileA(FilePath);
    return appended;
}

} // namespace vorn
