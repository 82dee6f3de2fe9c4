// The interim log the engine writes during a run, and how it becomes a section of
// INSTALL.LOG.
#include "installer/log/install_log_reader.h"
#include "installer/log/install_log_writer.h"
#include "installer/log/interim_log_file.h"
#include "log_test_support.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using test::ReadFileText;
using test::ScratchDirectory;

bool IsTempFileName(const std::string& name, std::string_view prefix) {
    return name.size() == 11 && name.starts_with(prefix) && name.ends_with(".TMP") &&
           name.substr(3, 4).find_first_not_of("0123456789ABCDEF") == std::string::npos;
}

TEST(InterimLogFile, IsNamedLikeATemporaryFileInAnExistingFolderAndDeletedWhenClosed) {
    ScratchDirectory scratch;
    auto first = InterimLogFile::Create(scratch.Folder(), "KTG");
    auto second = InterimLogFile::Create(scratch.Folder(), "KTI");
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(IsTempFileName(first->Path().filename().string(), "KTG"));
    EXPECT_TRUE(IsTempFileName(second->Path().filename().string(), "KTI"));
    EXPECT_TRUE(std::filesystem::exists(first->Path()));

    std::filesystem::path firstPath = first->Path();
    // The engine passes no log path when logging is paused or the run is a test.
    ASSERT_TRUE(first->Append("Made Dir: C:\\A\r\n"));
    EXPECT_TRUE(first->Close({}));
    EXPECT_FALSE(std::filesystem::exists(firstPath));
    EXPECT_FALSE(first->Append("late")) << "a closed log takes no more text";

    std::filesystem::path secondPath = second->Path();
    second.reset();
    EXPECT_FALSE(std::filesystem::exists(secondPath)) << "an interim log never closed is deleted";
    EXPECT_TRUE(std::filesystem::is_empty(scratch.Folder())) << "no log was written";
    EXPECT_EQ(InterimLogFile::Create(scratch.Folder() / "missing", "KTG"), nullptr);
}

TEST(InterimLogFile, EachInstallationAppendsASectionToTheLog) {
    ScratchDirectory scratch;
    std::filesystem::path installLog =
        scratch.Folder() / "Program Files" / "Plandra" / "INSTALL.LOG";
    std::uint64_t secondSectionOffset = 0;
    for (int installation = 1; installation <= 2; ++installation) {
        auto interim = InterimLogFile::Create(scratch.Folder(), "KTG");
        ASSERT_TRUE(interim);
        InstallLogWriter writer(*interim);
        writer.Header({2024, 5, installation, 9, 0, 0}, "Plandra", "C:\\SETUP.EXE");
        writer.FileCopied("C:\\PLANDRA\\PLANDRA.OCX");
        // A file that was not newer leaves the log in the middle of a line.
        writer.VersionKept();
        if (installation == 2) {
            secondSectionOffset = std::filesystem::file_size(installLog) + 2;
        }
        ASSERT_TRUE(interim->Close(installLog));
    }
    EXPECT_EQ(ReadFileText(installLog).substr(secondSectionOffset, 4), "*** ");

    LogReadResult result = ReadInstallLog(installLog);
    ASSERT_FALSE(result.Error.has_value());
    EXPECT_EQ(result.Log.Sections, 2);
    EXPECT_EQ(result.Log.LastSectionOffset, secondSectionOffset);
    const FileRecord file = test::File(FileRecordKind::Copy, "C:\\PLANDRA\\PLANDRA.OCX");
    const std::vector<LogEntry> expected = {{1, file}, {2, file}};
    EXPECT_EQ(result.Log.Records, expected);
}

TEST(InterimLogFile, ReportsALogThatCannotBeWritten) {
    ScratchDirectory scratch;
    auto interim = InterimLogFile::Create(scratch.Folder(), "KTG");
    ASSERT_TRUE(interim);
    interim->Append("Made Dir: C:\\A\r\n");
    // A directory stands where the log should go.
    std::filesystem::create_directories(scratch.Folder() / "INSTALL.LOG");
    std::filesystem::path interimPath = interim->Path();
    EXPECT_FALSE(interim->Close(scratch.Folder() / "INSTALL.LOG"));
    EXPECT_FALSE(std::filesystem::exists(interimPath));
}

} // namespace
} // namespace vorn
