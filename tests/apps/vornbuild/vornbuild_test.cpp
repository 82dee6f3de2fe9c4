// vornbuild as its users run it: a script built into a setup, run by vornsetup through
// the engine on a sandbox machine, and the archive listed back and built again.
#include "platform/posix/sandbox_machine.h"
#include "support/run_program.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace {

using plandra::test::ProgramOutcome;
using plandra::test::RunProgram;

const std::string Script = PLANDRA_SOURCE_DIR "/tests/apps/vornbuild/small-setup.vns";

TEST(Vornbuild, BuildsASetupThatVornsetupRunsToTheExpectedLog) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    ASSERT_TRUE(
        platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
    const std::string setup = (folder.Folder() / "setup").string();
    const ProgramOutcome built = RunProgram(VORNBUILD_PROGRAM " " + Script + " -o " + setup +
                                            " --disk-size 1024 --setup-program " VORNSETUP_PROGRAM);
    ASSERT_EQ(built.Status, 0) << built.Output;

    // The setup program is run from the setup folder it was copied to.
    const ProgramOutcome ran = RunProgram(setup + "/vornsetup --machine " + machine.string() +
                                          " --engine " VORN0132_LIBRARY " " + setup + "/SETUP.VRN");
    EXPECT_EQ(ran.Status, 0) << ran.Output;
    const std::string log =
        plandra::test::ReadFileText(machine / "drive_c" / "APP" / "INSTALL.LOG");
    std::size_t at = 0;
    for (const char* line : {"Title: Plandra Setup\r\n", "Product: Plandra\r\n",
                             "Made Dir: C:\\APP\\D1\r\n", "Made Dir: C:\\APP\\D2\r\n",
                             "Made Dir: C:\\APP\\TWO\r\n", "Made Dir: C:\\APP\\FINISH\r\n"}) {
        at = log.find(line, at);
        EXPECT_NE(at, std::string::npos) << line << " in\n" << log;
    }
    EXPECT_EQ(log.find("NOT-TWO"), std::string::npos);
    EXPECT_EQ(log.find("CANCEL"), std::string::npos);
}

TEST(Vornbuild, ListsTheArchiveAsAScriptThatBuildsTheSameArchive) {
    plandra::test::TempFolder folder;
    const std::filesystem::path first = folder.Folder() / "first";
    ASSERT_EQ(RunProgram(VORNBUILD_PROGRAM " " + Script + " -o " + first.string()).Status, 0);
    const ProgramOutcome listed =
        RunProgram(VORNBUILD_PROGRAM " --list " + (first / "SETUP.VRN").string());
    ASSERT_EQ(listed.Status, 0) << listed.Output;
    // The listing names installed files by their names: it is built beside them.
    const std::filesystem::path listing = folder.Folder() / "listed.vns";
    plandra::test::WriteFileText(listing, listed.Output);
    std::filesystem::copy_file(PLANDRA_SOURCE_DIR "/tests/apps/vornbuild/readme.txt",
                               folder.Folder() / "readme.txt");
    std::filesystem::last_write_time(
        folder.Folder() / "readme.txt",
        std::filesystem::last_write_time(PLANDRA_SOURCE_DIR "/tests/apps/vornbuild/readme.txt"));
    const std::filesystem::path second = folder.Folder() / "second";
    const ProgramOutcome rebuilt =
        RunProgram(VORNBUILD_PROGRAM " " + listing.string() + " -o " + second.string());
    ASSERT_EQ(rebuilt.Status, 0) << rebuilt.Output;
    EXPECT_EQ(plandra::test::ReadFileText(second / "SETUP.VRN"),
              plandra::test::ReadFileText(first / "SETUP.VRN"))
        << listed.Output;
}

// A file kept in a library file beside the setup arrives through the transfer library
// and is logged; a library that is missing, of another setup or damaged ends the run.
TEST(Vornbuild, InstallsAFileKeptInALibraryFileBesideTheSetup) {
    plandra::test::TempFolder folder;
    std::string kept;
    for (int i = 0; i < 20000; ++i) {
        kept += "line " + std::to_string(i * 7919 % 10007) + "\r\n";
    }
    plandra::test::WriteFileText(folder.Folder() / "kept.txt", kept);
    plandra::test::WriteFileText(folder.Folder() / "plain.txt", "from the archive");
    plandra::test::WriteFileText(folder.Folder() / "setup.vns",
                                 "log-path \"C:\\\\APP\\\\INSTALL.LOG\"\n"
                                 "library-base \"D:\\\\PLAN\"\n"
                                 "transfer-library \"" TRANSFER_LIBRARY "\"\n"
                                 "status-file \"SETUP.MIF\"\n"
                                 "status-template \"%6%|%7%\"\n"
                                 "text 15 \"Transfer error %d:\"\n"
                                 "text 43 \"Not this setup's library.\"\n"
                                 "install \"kept.txt\" to \"C:\\\\APP\\\\KEPT.TXT\" library-file\n"
                                 "install \"plain.txt\" to \"C:\\\\APP\\\\PLAIN.TXT\"\n");
    const std::filesystem::path built = folder.Folder() / "built";
    const ProgramOutcome made = RunProgram(
        VORNBUILD_PROGRAM " " + (folder.Folder() / "setup.vns").string() + " -o " + built.string());
    ASSERT_EQ(made.Status, 0) << made.Output;
    const std::string library = plandra::test::ReadFileText(built / "PLAN000");
    ASSERT_GT(library.size(), 4u);

    struct Case {
        const char* Name;
        std::string Library; // Beside the setup; empty: none.
        std::string Said;
    };
    const Case cases[] = {
        {"as built", library, "Installation completed"},
        {"missing", "", "Transfer error 2: D:\\PLAN000 not found"},
        {"of another setup", "XXXX" + library.substr(4), "Not this setup's library."},
        {"cut short", library.substr(0, library.size() / 2), "cannot be read past"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string name = "case" + std::to_string(&c - cases);
        const std::filesystem::path medium = folder.Folder() / name;
        const std::filesystem::path machine = folder.Folder() / (name + "-machine");
        std::filesystem::create_directories(medium);
        std::filesystem::copy_file(built / "SETUP.VRN", medium / "SETUP.VRN");
        if (!c.Library.empty()) {
            plandra::test::WriteFileText(medium / "PLAN000", c.Library);
        }
        ASSERT_TRUE(
            platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
        const ProgramOutcome ran =
            RunProgram("VORN_MACHINE=" + machine.string() + " " VORNSETUP_PROGRAM " --machine " +
                       machine.string() + " --medium " + medium.string() +
                       " --engine " VORN0132_LIBRARY " " + (medium / "SETUP.VRN").string());
        const bool good = c.Library == library;
        EXPECT_EQ(ran.Status, good ? 0 : 1) << ran.Output;
        // The run's message is kept in the status file.
        const std::string said =
            ran.Output + plandra::test::ReadFileText(machine / "drive_c" / "WINNT" / "SETUP.MIF");
        EXPECT_NE(said.find(c.Said), std::string::npos) << said;
        const std::filesystem::path app = machine / "drive_c" / "APP";
        EXPECT_EQ(std::filesystem::exists(app / "KEPT.TXT"), good);
        if (good) {
            EXPECT_EQ(plandra::test::ReadFileText(app / "KEPT.TXT"), kept);
            EXPECT_EQ(plandra::test::ReadFileText(app / "PLAIN.TXT"), "from the archive");
            const std::string log = plandra::test::ReadFileText(app / "INSTALL.LOG");
            EXPECT_NE(log.find("File Copy: C:\\APP\\KEPT.TXT\r\n"), std::string::npos) << log;
            EXPECT_NE(log.find("File Copy: C:\\APP\\PLAIN.TXT\r\n"), std::string::npos) << log;
        }
    }
}

TEST(Vornbuild, AScriptWithAMistakeWritesNothing) {
    plandra::test::TempFolder folder;
    const std::filesystem::path script = folder.Folder() / "bad.vns";
    plandra::test::WriteFileText(script, "title \"x\"\ninstall \"gone.txt\" to \"C:\\\\X\"\n");
    const ProgramOutcome built = RunProgram(VORNBUILD_PROGRAM " " + script.string() + " -o " +
                                            (folder.Folder() / "out").string());
    EXPECT_EQ(built.Status, 1);
    EXPECT_NE(built.Output.find("bad.vns:2:9: the file"), std::string::npos) << built.Output;
    EXPECT_FALSE(std::filesystem::exists(folder.Folder() / "out"));
}

} // namespace
