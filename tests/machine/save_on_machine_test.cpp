// Save through the machine's files: a copy that fails part way, or a replacement the
// machine refuses, leaves the existing drawing as it was and no new file beside it.
#include "control/interface/control_fixture.h"
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_files.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace plandra::test {
namespace {

using namespace platform;
namespace fs = std::filesystem;

TEST(SaveOnMachine, AFailedCopyOrReplacementLeavesTheTargetAndNoNewFile) {
    TempFolder folder;
    const fs::path drawings = folder.Folder() / "drive_c" / "DRAWINGS";
    fs::create_directories(drawings);
    std::unique_ptr<SandboxMachine> machine =
        std::move(SandboxMachine::Create(folder.Folder(), WindowsFamily::WindowsNT).Machine);
    SandboxFiles files{*machine};
    FaultInjectingFiles faulty{files};
    HeadlessHost host;
    DXFHost withFiles = host.Host();
    withFiles.Files = &faulty;
    DXF dxf{host.Surfaces(), withFiles};

    // About 3 MB of comments, so that the copy takes several writes.
    std::string drawing = DrawingWithEntities({"0", "LINE", "8", "0", "10", "0.5", "20", "0.25"});
    const std::string comment = "999\r\n" + std::string(98, 'C') + "\r\n";
    for (int i = 0; i < 30000; ++i) {
        drawing += comment;
    }
    const fs::path input = folder.Folder() / "in.dxf";
    WriteFileText(input, drawing);
    dxf.SetFileName(input.string());

    const struct {
        FileCall Failing;
        int Use;                 ///< 0: nothing fails.
        const char* Description; ///< Empty when the save succeeds.
    } cases[] = {
        {FileCall::WriteFile, 0, ""},
        {FileCall::WriteFile, 2, "Disk full\r\n ->  Save."},
        {FileCall::GetTempFileNameA, 1, "Path/File access error\r\n ->  Save."},
        {FileCall::MoveFileExA, 1, "Path/File access error\r\n ->  Save."},
    };
    for (const auto& c : cases) {
        WriteFileText(drawings / "PLAN.DXF", "old");
        faulty.Plan = {};
        if (c.Use != 0) {
            faulty.Plan.FailAt(c.Failing, c.Use, winerror::DiskFull, FaultRepeat::FromThenOn);
        }
        if (*c.Description == '\0') {
            EXPECT_TRUE(dxf.Save("C:\\DRAWINGS\\PLAN.DXF"));
            EXPECT_EQ(ReadFileText(drawings / "PLAN.DXF"), drawing);
            EXPECT_GT(faulty.Plan.Uses(FileCall::WriteFile), 2);
        } else {
            EXPECT_EQ(ErrorOf([&] { dxf.Save("C:\\DRAWINGS\\PLAN.DXF"); }).Description,
                      c.Description);
            EXPECT_EQ(ReadFileText(drawings / "PLAN.DXF"), "old") << c.Description;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(drawings), fs::directory_iterator()), 1)
            << c.Description;
    }
}

} // namespace
} // namespace plandra::test
