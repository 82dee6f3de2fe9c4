// The DXF reader's block scratch files on the sandbox machine: they land in its folder,
// are gone after the read, and a full disk reaches them as the reader's own error. Save
// writes there too: a copy that fails part way leaves the target and no new file.
#include "control/interface/control_fixture.h"
#include "control/reader/reader_fixture.h"
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_files.h"
#include "support/control_error_of.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace plandra {
namespace {

using namespace platform;
namespace fs = std::filesystem;

// A block holding one line, inserted once.
const std::string Drawing = test::Dxf(
    "0|SECTION|2|BLOCKS|0|BLOCK|8|0|2|B|70|0|10|0|20|0|0|LINE|8|0|10|0|20|0|11|1|21|0|"
    "0|ENDBLK|8|0|0|ENDSEC|0|SECTION|2|ENTITIES|0|INSERT|8|0|2|B|10|5|20|5|0|ENDSEC|0|EOF");

class ScratchFilesOnMachine : public test::ReaderFixture {
protected:
    ~ScratchFilesOnMachine() override { fs::remove_all(Folder); }

    std::string Read(std::string tmpFileNamePath) {
        Options.TmpFileNamePath = std::move(tmpFileNamePath);
        test::TempFile file(Drawing);
        Database.InitDB(true);
        Database.BlockCount = 0;
        Database.PendingInsertCount = 0;
        DxfReader reader(Database, Options, ZoomStack,
                         ReaderSurfaces{Screen, &StatusBar, &Surface, &MessageBoxes, &Faulty});
        try {
            reader.LoadDXF(file.Name());
        } catch (const ControlError& error) {
            return error.Description;
        }
        return "";
    }
    bool Leftovers() const {
        for (const auto& entry : fs::recursive_directory_iterator(Folder / "drive_c")) {
            if (entry.path().extension() == ".TMP") {
                return true;
            }
        }
        return false;
    }

    fs::path Folder = fs::temp_directory_path() / ("scratch-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine =
        std::move(SandboxMachine::Create(Folder, WindowsFamily::WindowsNT).Machine);
    SandboxFiles Files{*Machine};
    FaultInjectingFiles Faulty{Files};
};

TEST_F(ScratchFilesOnMachine, BlocksGoThroughTheMachinesFiles) {
    const struct {
        const char* Folder;
        FileCall Failing;
        std::uint32_t Error;     ///< 0: nothing fails.
        const char* Description; ///< Empty when the read succeeds.
        const char* FolderAfter;
    } cases[] = {
        {"C:\\TEMP\\", FileCall::WriteFile, 0, "", "C:\\TEMP\\"},
        {"C:\\NO SUCH\\", FileCall::WriteFile, 0, "", "C:\\"},
        {"C:\\TEMP\\", FileCall::WriteFile, winerror::DiskFull,
         "Disk full\r\n ->  DXFLine.\r\n ->  LoadDXF.", "C:\\TEMP\\"},
        {"C:\\TEMP\\", FileCall::CreateFileA, winerror::AccessDenied,
         "Path/File access error\r\n ->  DXFBlock.\r\n ->  LoadDXF.", "C:\\TEMP\\"},
        {"C:\\TEMP\\", FileCall::ReadFile, winerror::InvalidHandle,
         "Device I/O error\r\n ->  DXFInsert.\r\n ->  LoadDXF.", "C:\\TEMP\\"},
    };
    for (const auto& c : cases) {
        if (c.Error != 0) {
            Faulty.Plan.FailAt(c.Failing, Faulty.Plan.Uses(c.Failing) + 1, c.Error);
        }
        EXPECT_EQ(Read(c.Folder), c.Description) << c.Folder << " " << c.Description;
        EXPECT_EQ(Options.TmpFileNamePath, c.FolderAfter);
        EXPECT_EQ(Database.LineCount, *c.Description == '\0' ? 1 : 0) << c.Description;
        EXPECT_GT(Faulty.Plan.Uses(FileCall::CreateFileA), 0);
        EXPECT_FALSE(Leftovers()) << c.Description;
    }
}

TEST_F(ScratchFilesOnMachine, AFailedSaveLeavesTheTargetAndNoNewFile) {
    test::HeadlessHost host;
    DXFHost withFiles = host.Host();
    withFiles.Files = &Faulty;
    DXF dxf{host.Surfaces(), withFiles};
    std::string drawing = Drawing; // and 3 MB of comments: the copy takes several writes
    for (int i = 0; i < 30000; ++i) {
        drawing += "999\r\n" + std::string(98, 'C') + "\r\n";
    }
    test::TempFile input(drawing);
    dxf.SetFileName(input.Name());
    const fs::path target = Folder / "drive_c" / "TEMP" / "PLAN.DXF";
    const std::pair<FileCall, std::string> cases[] = {
        {FileCall::FindClose, ""}, // nothing fails
        {FileCall::WriteFile, "Disk full"},
        {FileCall::GetTempFileNameA, "Path/File access error"},
        {FileCall::MoveFileExA, "Path/File access error"},
    };
    auto files = [&] {
        return std::distance(fs::directory_iterator(target.parent_path()),
                             fs::directory_iterator());
    };
    for (const auto& [failing, description] : cases) {
        test::WriteFileText(target, "old");
        const auto before = files();
        Faulty.Plan = {};
        Faulty.Plan.FailAt(failing, failing == FileCall::WriteFile ? 2 : 1, winerror::DiskFull,
                           FaultRepeat::FromThenOn);
        if (description.empty()) {
            EXPECT_TRUE(dxf.Save("C:\\TEMP\\PLAN.DXF"));
            EXPECT_GT(Faulty.Plan.Uses(FileCall::WriteFile), 2);
        } else {
            EXPECT_EQ(test::ErrorOf([&] { dxf.Save("C:\\TEMP\\PLAN.DXF"); }).Description,
                      description + "\r\n ->  Save.");
        }
        EXPECT_EQ(test::ReadFileText(target), description.empty() ? drawing : "old");
        EXPECT_EQ(files(), before) << description;
    }
}

} // namespace
} // namespace plandra
