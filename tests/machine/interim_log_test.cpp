// The engine's log on the sandbox machine: Windows paths land in the machine folder and
// a full disk reaches the log writer.
#include "installer/log/install_log_writer.h"
#include "installer/log/interim_log.h"
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace {

using namespace platform;
namespace fs = std::filesystem;

class InterimLogOnMachine : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(Folder); }

    std::string NativeText(const fs::path& path) {
        std::ifstream file(Folder / "drive_c" / path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path Folder = fs::temp_directory_path() / ("interim-log-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine =
        std::move(SandboxMachine::Create(Folder, WindowsFamily::WindowsNT).Machine);
    SandboxFiles Files{*Machine};
    FaultInjectingFiles Faulty{Files};
    vorn::LocalDateTime Started{1996, 7, 15, 13, 45, 20};
};

TEST_F(InterimLogOnMachine, ClosingAppendsTheRunToTheLogInTheMachineFolder) {
    std::ofstream(Folder / "drive_c" / "EARLIER.LOG", std::ios::binary)
        << "***  Earlier\r\nVersion: x ";
    for (const char* installLog : {"C:\\APP\\SUB\\INSTALL.LOG", "c:/earlier.log"}) {
        auto log = vorn::InterimLog::Create(Faulty, "C:\\TEMP", "KTG");
        ASSERT_TRUE(log);
        vorn::InstallLogWriter writer(*log);
        ASSERT_TRUE(writer.Header(Started, "Plandra", "A:\\SETUP.EXE"));
        ASSERT_TRUE(writer.MadeDir("C:\\APP"));
        EXPECT_TRUE(log->Close(installLog));
    }
    const std::string run = "***  Installation Started 07/15/96 13:45  ***\r\nTitle: Plandra\r\n"
                            "Source: A:\\SETUP.EXE\r\nMade Dir: C:\\APP\r\n";
    EXPECT_EQ(NativeText("APP/SUB/INSTALL.LOG"), run);
    EXPECT_EQ(NativeText("EARLIER.LOG"), "***  Earlier\r\nVersion: x \r\n" + run);
    EXPECT_TRUE(fs::is_empty(Folder / "drive_c" / "TEMP")) << "the interim files are gone";
}

TEST_F(InterimLogOnMachine, AFullDiskFailsTheWriterAndTheClose) {
    const struct {
        int FailingWrite; ///< 1: the header, 2: the record, 3: the copy into INSTALL.LOG
        bool HeaderWritten;
        bool RecordWritten;
        bool Appended; ///< an interim log that took nothing has nothing to copy
    } cases[] = {{1, false, false, true}, {2, true, false, false}, {3, true, true, false}};
    for (const auto& c : cases) {
        FaultInjectingFiles faulty(Files);
        faulty.Plan.FailAt(FileCall::WriteFile, c.FailingWrite, winerror::DiskFull,
                           FaultRepeat::FromThenOn);
        auto log = vorn::InterimLog::Create(faulty, "C:\\TEMP", "KTG");
        ASSERT_TRUE(log);
        vorn::InstallLogWriter writer(*log);
        EXPECT_EQ(writer.Header(Started, "Plandra", "A:\\SETUP.EXE"), c.HeaderWritten);
        EXPECT_EQ(writer.FileCopied("C:\\APP\\A.DLL"), c.RecordWritten);
        if (!c.RecordWritten) {
            EXPECT_EQ(faulty.GetLastError(), winerror::DiskFull);
        }
        EXPECT_EQ(log->Close("C:\\APP\\INSTALL.LOG"), c.Appended);
    }
    EXPECT_TRUE(fs::is_empty(Folder / "drive_c" / "TEMP"));
}

} // namespace
