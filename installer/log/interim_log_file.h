// The engine's interim log: a temporary file that collects the records of one run and
// is appended to the installation log when the log is closed.
#pragma once

#include "log_sink.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

namespace vorn {

class InterimLogFile final : public LogSink {
public:
    /// Creates a new empty file named as GetTempFileName names one: the first three
    /// characters of `prefix` ("KTG", "KTI"), four hexadecimal digits and ".TMP", in
    /// `directory`. Returns nullptr when no such file can be created.
    static std::unique_ptr<InterimLogFile> Create(const std::filesystem::path& directory,
                                                  std::string_view prefix);

    InterimLogFile(const InterimLogFile&) = delete;
    InterimLogFile& operator=(const InterimLogFile&) = delete;
    /// Deletes the interim file if Close has not done so.
    ~InterimLogFile() override;

    bool Append(std::string_view text) override;

    const std::filesystem::path& Path() const { return FilePath; }

    /// Closes the interim file and deletes it. Unless `installLog` is empty, its content
    /// is first appended to that file, which is created with its directories when
    /// missing. Returns false when the content could not be appended.
    bool Close(const std::filesystem::path& installLog);

private:
    InterimLogFile(std::filesystem::path path, std::ofstream file)
        : FilePath(std::move(path)), File(std::move(file)) {}

    std::filesystem::path FilePath;
    std::ofstream File;
    bool Closed = false;
};

} // namespace vorn
