// SETUP.EXE and VORN0132.DLL on Windows: the archive of the sandbox test, run on the
// machine itself, leaves the same installation log.
#include "installer/archive/archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "installer/log/install_log_reader.h"
#include "sample_install_script.h"
#include "support/temp_file.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(SetupExe, RunsAnArchiveThroughVorn0132AndLeavesTheLog) {
    const std::filesystem::path app = "C:\\APP";
    std::filesystem::remove_all(app);
    plandra::test::TempFolder folder;
    // The answer file is looked for beside SETUP.EXE, which the build puts beside this test.
    plandra::test::WriteFileText("ANSWERS.TXT", "USER = Ann\r\n");

    const SampleScript script = BuildSample();
    ArchiveExtras extras;
    extras.FinishOffset = script.Finish;
    extras.CancelOffset = script.Cancel;
    extras.BytesPerDisk = 1024;
    extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::SupportProgram)] =
        archive_test::Noise(1500, 5);
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(WriteSetupArchive(archive, script.Bytes, *PackPayload(archive_test::Files()).Payload,
                                extras),
              "");

    EXPECT_EQ(std::system(("SETUP.EXE --silent " + archive + " /M=ANSWERS.TXT").c_str()), 0);
    LogReadResult read = ReadInstallLog(app / "INSTALL.LOG");
    ASSERT_FALSE(read.Error);
    EXPECT_EQ(read.Log.Title, "Plandra Setup");
    EXPECT_EQ(read.Log.Info.Product, "Plandra");
    std::vector<std::string> made;
    for (const LogEntry& entry : read.Log.Records) {
        if (const auto* dir = std::get_if<MadeDirRecord>(&entry.Record)) {
            made.push_back(dir->Path);
        }
    }
    EXPECT_EQ(made, (std::vector<std::string>{"C:\\APP\\Ann", "C:\\APP\\D1", "C:\\APP\\D2",
                                              "C:\\APP\\TWO", "C:\\APP\\FINISH"}));
    std::filesystem::remove_all(app);
}

} // namespace
} // namespace vorn
