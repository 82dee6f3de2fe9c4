#include "installer/log/install_log_reader.h"
#include "installer/log/oem_to_char.h"
#include "log_report.h"
#include "log_test_support.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vorn {
namespace {

using test::CrLfLines;
using test::LogWith;

std::string Listing(const InstallLog& log) {
    std::ostringstream text;
    cli::WriteLogText(text, log);
    return text.str();
}

std::vector<LogEntry> InFirstSection(std::vector<LogRecord> records) {
    std::vector<LogEntry> entries;
    for (LogRecord& record : records) {
        entries.push_back({1, std::move(record)});
    }
    return entries;
}

InstallLog ParsedOrFail(std::string_view text) {
    LogReadResult result = ParseInstallLog(text);
    EXPECT_FALSE(result.Error.has_value());
    return std::move(result.Log);
}

struct GrammarCase {
    const char* What;
    std::string Log;
    std::vector<LogRecord> Records;
};

TEST(InstallLogReader, ReadsEveryRecordKindAndItsFollowOnLines) {
    const GrammarCase cases[] = {
        {"copy with backup, link, overwrite",
         LogWith({"File Copy: C:\\A.EXE", "Backup Copy: C:\\B\\A.EXE", "Shell Link: C:\\A.LNK",
                  "File Overwrite: C:\\W\\X.DLL"}),
         {test::File(FileRecordKind::Copy, "C:\\A.EXE", "C:\\B\\A.EXE"),
          test::File(FileRecordKind::ShellLink, "C:\\A.LNK"),
          test::File(FileRecordKind::Overwrite, "C:\\W\\X.DLL")}},
        {"marks apply to the next file record only",
         LogWith({"Non-System File:", "Shared DLL counter ignored:", "File Overwrite: C:\\X.DLL",
                  "shared dll COUNTER ignored:", "Made Dir: C:\\D", "File Copy: C:\\Y.DLL"}),
         {test::File(FileRecordKind::Overwrite, "C:\\X.DLL", "", true, true),
          MadeDirRecord{"C:\\D"}, test::File(FileRecordKind::Copy, "C:\\Y.DLL")}},
        {"prefixes in any case, whole lines compared whole",
         LogWith(
             {"file copy: c:\\a", "USER RIGHTS: ADMIN", "User Rights: Admin ", "Made Dir:C:\\D"}),
         {test::File(FileRecordKind::Copy, "c:\\a"), AdminRightsRecord{}}},
        {"information-only and unknown lines are passed over",
         LogWith({"In Use: C:\\A Not Copied", "Could not Self-Register: C:\\X",
                  "Version: Following file not copied.", " File Copy: C:\\A",
                  "Date/Time: Following file not copied.", " File Copy: C:\\B",
                  "Backup Copy: C:\\Z", "RegDB Old: x", "Icon Cmd: y", "Title: z", "garbage"}),
         {}},
        {"edits, with and without a backup",
         LogWith({"File Edit: C:\\CONFIG.SYS", "Backup Copy: C:\\CONFIG.001",
                  "File Edit: C:\\AUTOEXEC.BAT", "Made Dir: C:\\D"}),
         {FileEditRecord{"C:\\CONFIG.SYS", "C:\\CONFIG.001"},
          FileEditRecord{"C:\\AUTOEXEC.BAT", ""}, MadeDirRecord{"C:\\D"}}},
        {"a new INI file's first entry is not an entry of its own",
         LogWith({"INI New: Created INI", "INI File: C:\\A.INI", "INI Sect: S", "INI Item: K",
                  "INI Val: v", "INI Old: o", "INI File: C:\\A.INI", "INI Sect: S", "INI Item: K2",
                  "INI Val: v2"}),
         {IniNewRecord{"C:\\A.INI"}, IniEntryRecord{"C:\\A.INI", "S", "K2", "v2", std::nullopt}}},
        {"INI New without its entry is dropped",
         LogWith({"INI New: Created INI", "Made Dir: C:\\D"}),
         {MadeDirRecord{"C:\\D"}}},
        {"INI entries: no old value means remove, an empty one means set empty",
         LogWith({"INI File: F", "INI Sect: S", "INI Item: K", "INI Val: v", "INI File: F",
                  "INI Sect: S", "INI Item: K", "INI Val: v", "INI Old: "}),
         {IniEntryRecord{"F", "S", "K", "v", std::nullopt},
          IniEntryRecord{"F", "S", "K", "v", ""}}},
        {"an INI entry without its key line is dropped, and that line read again",
         LogWith({"INI File: F", "INI Sect: S", "Made Dir: C:\\D"}),
         {MadeDirRecord{"C:\\D"}}},
        {"an INI entry without a value line ends early",
         LogWith({"INI File: F", "INI Sect: S", "INI Item: K", "INI Old: o"}),
         {IniEntryRecord{"F", "S", "K", "", std::nullopt}}},
        {"every old string of a multi-string value belongs to the one record",
         LogWith({"RegDB Key: Software\\A", "RegDB Val: x", "RegDB Name: Paths", "RegDB Type: 2",
                  "RegDB Root: 2", "RegDB Old: one", "RegDB Old: two",
                  "RegDB Old: ", "RegDB Key: K", "RegDB Val: v", "RegDB Root: 1"}),
         {RegValueRecord{"Software\\A", "x", "Paths", 2, 2, {"one", "two", ""}},
          RegValueRecord{"K", "v", "", 0, 1, {}}}},
        {"a registry value without its value line is dropped",
         LogWith({"RegDB Key: K", "RegDB Name: N", "Made Dir: C:\\D"}),
         {MadeDirRecord{"C:\\D"}}},
        {"numbers read as atoi reads them",
         LogWith({"RegDB Key: K", "RegDB Val: v", "RegDB Type:  4x", "RegDB Root: junk",
                  "RegDB Tree: T", "RegDB Root: -3", "RegDB Tree: U"}),
         {RegValueRecord{"K", "v", "", 4, 0, {}}, RegTreeRecord{"T", -3}, RegTreeRecord{"U", 0}}},
        {"items go into the last group of their section",
         LogWith({"Icon Name: Orphan", "Icon Cmd: C:\\O.EXE", "Icon Group: Lone",
                  "Icon Group: Tools", "Icon Name: Viewer", "Icon Cmd: C:\\V.EXE",
                  "Made Dir: C:\\D", "Icon Name: Second", "Icon Cmd: C:\\S.EXE", "Icon Group: G",
                  "Icon Name: Half", "Made Dir: C:\\E", "*** Second", "Icon Name: Next",
                  "Icon Cmd: C:\\N.EXE"}),
         {IconGroupRecord{"Tools"}, IconItemRecord{"Tools", "Viewer", "C:\\V.EXE"},
          MadeDirRecord{"C:\\D"}, IconItemRecord{"Tools", "Second", "C:\\S.EXE"},
          MadeDirRecord{"C:\\E"}}},
        {"uninstall programs, services, devices, servers, sub-systems",
         LogWith({"Execute Path: C:\\U.EXE /u", "Execute Name: Undo", "Execute Program: C:\\V.EXE",
                  "Create Service: Spooler", "Add Device: C:\\W\\S\\V.386",
                  "Self-Register: C:\\X.OCX", "SubSystem: BDE 5", "SubSystem: ODBC"}),
         {UninstallProgramRecord{"C:\\U.EXE /u", "Undo"}, UninstallProgramRecord{"C:\\V.EXE", ""},
          ServiceRecord{"Spooler"}, AddDeviceRecord{"C:\\W\\S\\V.386"},
          SelfRegisterRecord{"C:\\X.OCX"}, SubSystemRecord{"BDE 5"}}},
        {"directory trees lose a trailing \\*.*",
         LogWith({"File Tree: C:\\APP\\*.*", "File Tree: C:\\DOC", "Made Dir: C:\\APP\\*.*"}),
         {FileTreeRecord{"C:\\APP"}, FileTreeRecord{"C:\\DOC"}, MadeDirRecord{"C:\\APP\\*.*"}}},
        {"a lone line feed does not end a line",
         LogWith({}) + "File Copy: C:\\A\nB.EXE\r\n\nMade Dir: C:\\D\n\r",
         {test::File(FileRecordKind::Copy, "C:\\AB.EXE"), MadeDirRecord{"C:\\D"}}},
        {"empty lines do not separate a record from its follow-on line",
         LogWith({"File Copy: C:\\A", "", "Backup Copy: C:\\B"}),
         {test::File(FileRecordKind::Copy, "C:\\A", "C:\\B")}},
    };
    for (const GrammarCase& c : cases) {
        InstallLog log = ParsedOrFail(c.Log);
        EXPECT_EQ(log.Records, InFirstSection(c.Records)) << c.What << "\n" << Listing(log);
    }
}

TEST(InstallLogReader, RejectsALogWithoutHeaderOrTitle) {
    const std::string invalid[] = {
        "",
        "\r\n\n\r\n",
        "Title: T\r\n***  Installation\r\n",
        "**** Installation\r\nTitle: T\r\n",
        "***Installation\r\nTitle: T\r\n",
        "***  Installation\r\nSource: S\r\nFile Copy: C:\\A\r\n",
        "***  Installation\r\ntitle: T\r\n",
        // Line feeds alone end no line: this is one long first line.
        "***  Installation\nTitle: T\nFile Copy: C:\\A\n",
    };
    for (const std::string& text : invalid) {
        LogReadResult result = ParseInstallLog(text);
        ASSERT_TRUE(result.Error.has_value()) << text;
        EXPECT_EQ(LogReadErrorText(*result.Error), "Invalid INSTALL.LOG file.") << text;
    }
    InstallLog log = ParsedOrFail("\r\n\n***  Installation\r\nMade Dir: C:\\D\r\nTitle: T\r\n");
    EXPECT_EQ(log.Title, "T");
    EXPECT_EQ(log.LastSectionOffset, 3u);
    EXPECT_TRUE(log.Records.empty()) << "lines before the title are not records";
}

TEST(InstallLogReader, ReportsALogThatCannotBeOpened) {
    test::ScratchDirectory scratch;
    for (const std::filesystem::path& path : {scratch.Folder() / "INSTALL.LOG", scratch.Folder()}) {
        LogReadResult result = ReadInstallLog(path);
        ASSERT_TRUE(result.Error.has_value()) << path;
        EXPECT_EQ(LogReadErrorText(*result.Error), "Could not open INSTALL.LOG file.");
    }
    test::WriteFileText(scratch.Folder() / "INSTALL.LOG", LogWith({"Made Dir: C:\\D"}));
    LogReadResult result = ReadInstallLog(scratch.Folder() / "INSTALL.LOG");
    ASSERT_FALSE(result.Error.has_value());
    EXPECT_EQ(result.Log.Records, InFirstSection({MadeDirRecord{"C:\\D"}}));
}

TEST(InstallLogReader, TrimsTheInstallationWordsOffTheTitle) {
    const std::pair<std::string, std::string> cases[] = {
        {"Title: Plandra Installation", "Plandra"},
        {"Title: Plandra INSTALL", "Plandra"},
        {"Title: Plandra install", "Plandra"},
        {"Title: Plandra Install Installation", "Plandra"},
        {"Title: Plandra Installer", "Plandra Installer"},
        {"Title: Reinstall", "Reinstall"},
        {"Title: Installation", "Installation"},
        {"Title:  Installation", " Installation"},
        {"Title:  Install", " Install"},
        {"Title:", ""},
        {"Title:XPlandra", "Plandra"},
    };
    for (const auto& [line, title] : cases) {
        InstallLog log = ParsedOrFail(CrLfLines({"***  Installation Started", line}));
        EXPECT_EQ(log.Title, title) << line;
    }
}

TEST(InstallLogReader, NumbersSectionsAndConvertsOemPaths) {
    const std::string first =
        LogWith({"Uninstall MIF: A.MIF", "Product: First", "File Copy: C:\\APP\\A.EXE"});
    // A single blank after "***" marks OEM text: 0x81 is "ü" in code page 437.
    const std::string second =
        CrLfLines({"*** Installation Started 06/07/24 10:00  ***", "Title: Second title",
                   "Product: Second", "File Copy: C:\\APP\\A.EXE", "Made Dir: C:\\\x81",
                   "INI File: C:\\\x81.INI", "INI Sect: \x81", "INI Item: K", "INI Val: \x81",
                   "Icon Group: \x81", "Icon Name: N", "Icon Cmd: C:\\\x81.EXE"});
    const std::string third = CrLfLines({"***  Installation Started", "Made Dir: C:\\\x81"});
    InstallLog log = ParsedOrFail(first + "\n" + second + "\r\n" + third);
    EXPECT_EQ(log.Title, "Plandra");
    EXPECT_EQ(log.Sections, 3);
    EXPECT_EQ(log.LastSectionOffset, first.size() + 1 + second.size() + 2);
    EXPECT_EQ(log.Info.Mif, "A.MIF");
    EXPECT_EQ(log.Info.Product, "Second");
    const std::vector<LogEntry> expected = {
        {1, test::File(FileRecordKind::Copy, "C:\\APP\\A.EXE")},
        {2, test::File(FileRecordKind::Copy, "C:\\APP\\A.EXE")},
        {2, MadeDirRecord{"C:\\\xFC"}},
        // Only paths are converted: not sections, values, groups or commands.
        {2, IniEntryRecord{"C:\\\xFC.INI", "\x81", "K", "\x81", std::nullopt}},
        {2, IconGroupRecord{"\x81"}},
        {2, IconItemRecord{"\x81", "N", "C:\\\x81.EXE"}},
        {3, MadeDirRecord{"C:\\\x81"}},
    };
    EXPECT_EQ(log.Records, expected) << Listing(log);
}

TEST(OemToChar, ConvertsCodePage437ToCodePage1252) {
    EXPECT_EQ(OemToChar("C:\\Pl\x84ne\\\x9A\x62\x65r.txt"), "C:\\Pl\xE4ne\\\xDC\x62\x65r.txt");
    EXPECT_EQ(OemToChar("\x80\xE1\x9C\xC4\xB3\xFF"), "\xC7\xDF\xA3-\xA6\xA0");
    EXPECT_EQ(OemToChar("plain ASCII"), "plain ASCII");
}

} // namespace
} // namespace vorn
