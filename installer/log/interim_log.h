// The engine's interim log on the machine's file calls: a temporary file that collects
// the records of one run and is appended to the installation log when the log closes.
#pragma once

#include "log_sink.h"
#include "platform/files.h"

#include <memory>
#include <string>
#include <string_view>

namespace vorn {

/// Every byte goes through the files service, so a sandbox path such as
/// "C:\APP\INSTALL.LOG" lands in the machine folder and injected faults (a full disk)
/// reach the log: Append and Close then return false.
class InterimLog final : public LogSink {
public:
    /// Creates a new empty file with GetTempFileNameA in `directory` ("KTG" or "KTI" as
    /// `prefix`). Returns nullptr when no such file can be made.
    static std::unique_ptr<InterimLog> Create(platform::FileService& files,
                                              std::string_view directory, std::string_view prefix);

    InterimLog(const InterimLog&) = delete;
    InterimLog& operator=(const InterimLog&) = delete;
    /// Deletes the interim file if Close has not done so.
    ~InterimLog() override;

    bool Append(std::string_view text) override;

    const std::string& Path() const { return FilePath; }
    /// The open file, as library functions receive the log; invalid once closed.
    platform::FileHandle Handle() const { return File.Get(); }

    /// Closes the interim file and deletes it. Unless `installLog` is empty, its content
    /// is first appended to that file, which is made with its folders when missing; a log
    /// that ends in the middle of a line gets a line end first, so the new section's
    /// header starts a line. Returns false when the content could not be appended.
    bool Close(std::string_view installLog);

private:
    InterimLog(platform::FileService& files, std::string path, platform::UniqueFile file)
        : Files(files), FilePath(std::move(path)), File(std::move(file)) {}

    bool AppendTo(std::string_view installLog);

    platform::FileService& Files;
    std::string FilePath;
    platform::UniqueFile File;
    bool Closed = false;
};

} // namespace vorn
