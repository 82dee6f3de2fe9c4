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
// and is logged; a library that is missing, of another setup, cut short or damaged ends
// the run with its message (kept in the status file).
TEST(Vornbuild, InstallsAFileKeptInALibraryFileBesideTheSetup) {
    plandra::test::TempFolder folder;
    const std::filesystem::path& at = folder.Folder();
    const std::string kept = std::string(70000, 'k') + "\r\n";
    plandra::test::WriteFileText(at / "kept.txt", kept);
    plandra::test::WriteFileText(at / "plain.txt", "from the archive");
    plandra::test::WriteFileText(at / "setup.vns", R"(log-path "C:\\APP\\INSTALL.LOG"
library-base "D:\\PLAN"
transfer-library ")" TRANSFER_LIBRARY R"("
status-file "SETUP.MIF"
status-template "%7%"
text 15 "Transfer error %d:"
text 43 "Not this setup's library."
install "kept.txt" to "C:\\APP\\KEPT.TXT" library-file
install "plain.txt" to "C:\\APP\\PLAIN.TXT"
)");
    ASSERT_EQ(RunProgram(VORNBUILD_PROGRAM " " + (at / "setup.vns").string() + " -o " +
                         (at / "built").string())
                  .Status,
              0);
    const std::string library = plandra::test::ReadFileText(at / "built" / "PLAN000");
    const std::pair<std::string, std::string> cases[] = {
        {library, "Installation completed"},
        {"", "Transfer error 2: D:\\PLAN000 not found"},
        {"XXXX" + library.substr(4), "Not this setup's library."},
        {library.substr(0, library.size() / 2), "cannot be read past"},
        {library.substr(0, 4) + std::string(library.size() - 4, '\xFF'), "is damaged"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [content, said] = cases[i];
        SCOPED_TRACE(said);
        const std::filesystem::path medium = at / ("medium" + std::to_string(i));
        const std::filesystem::path machine = at / ("machine" + std::to_string(i));
        std::filesystem::create_directories(medium);
        std::filesystem::copy_file(at / "built" / "SETUP.VRN", medium / "SETUP.VRN");
        if (!content.empty()) {
            plandra::test::WriteFileText(medium / "PLAN000", content);
        }
        ASSERT_TRUE(
            platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
        const ProgramOutcome ran =
            RunProgram("VORN_MACHINE=" + machine.string() + " " VORNSETUP_PROGRAM " --machine " +
                       machine.string() + " --medium " + medium.string() +
                       " --engine " VORN0132_LIBRARY " " + (medium / "SETUP.VRN").string());
        const bool good = content == library;
        EXPECT_EQ(ran.Status, good ? 0 : 1) << ran.Output;
        const std::filesystem::path drive = machine / "drive_c";
        const std::string text =
            ran.Output + plandra::test::ReadFileText(drive / "WINNT" / "SETUP.MIF");
        EXPECT_NE(text.find(said), std::string::npos) << text;
        EXPECT_EQ(plandra::test::ReadFileText(drive / "APP" / "KEPT.TXT"), good ? kept : "");
        EXPECT_EQ(
            plandra::test::ReadFileText(drive / "APP" / "INSTALL.LOG")
                    .find("File Copy: C:\\APP\\KEPT.TXT\r\nFile Copy: C:\\APP\\PLAIN.TXT\r\n") !=
                std::string::npos,
            good);
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
