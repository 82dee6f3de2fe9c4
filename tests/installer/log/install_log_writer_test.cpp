// The installation log as the engine writes it: the exact words of every record.
#include "installer/log/install_log_writer.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(InstallLogWriter, WritesEachRecordInTheLogsExactWords) {
    MemoryLogSink sink;
    InstallLogWriter w(sink);
    auto expect = [&sink](bool result, const std::string& text) {
        EXPECT_TRUE(result) << text;
        EXPECT_EQ(sink.Text, text);
        sink.Text.clear();
    };
    expect(w.Header({2024, 5, 6, 9, 7, 3}, "Plandra", "C:\\SETUP\\SETUP.EXE"),
           "***  Installation Started 05/06/24 9:07  ***\r\nTitle: Plandra\r\n"
           "Source: C:\\SETUP\\SETUP.EXE\r\n");
    expect(w.Information({"P.MIF", "Acme", "Plandra", "1.0", "42"}),
           "Uninstall MIF: P.MIF\r\nManufacturer: Acme\r\nProduct: Plandra\r\n"
           "Version Number: 1.0\r\nSerial Number: 42\r\n");
    expect(w.AdminRights(), "User Rights: Admin\r\n");
    expect(w.FileCopied("C:\\A.EXE"), "File Copy: C:\\A.EXE\r\n");
    expect(w.FileOverwritten("C:\\A.EXE"), "File Overwrite: C:\\A.EXE\r\n");
    expect(w.BackupCopy("C:\\B\\A.EXE"), "Backup Copy: C:\\B\\A.EXE\r\n");
    expect(w.SharedCountIgnored(), "Shared DLL counter ignored:\r\n");
    expect(w.InUse("C:\\A.DLL"), "In Use: C:\\A.DLL Not Copied\r\n");
    expect(w.VersionKept(), "Version: Following file not copied.\r\n ");
    expect(w.VersionKept(NextLineBlank::Omitted), "Version: Following file not copied.\r\n");
    expect(w.DateKept("C:\\A.DLL"),
           "Date/Time: Following file not copied.\r\n File Copy: C:\\A.DLL\r\n");
    expect(w.DateKept(), "Date/Time: Following file not copied.\r\n");
    expect(w.FileEdit("C:\\CONFIG.SYS", "C:\\CONFIG.001"),
           "File Edit: C:\\CONFIG.SYS\r\nBackup Copy: C:\\CONFIG.001\r\n");
    expect(w.SelfRegistered("C:\\X.OCX"), "Self-Register: C:\\X.OCX\r\n");
    expect(w.SelfRegisterFailed("C:\\X.OCX"), "Could not Self-Register: C:\\X.OCX\r\n");
    expect(w.MadeDir("C:\\APP"), "Made Dir: C:\\APP\r\n");
    expect(w.IconGroup("Plandra"), "Icon Group: Plandra\r\n");
    expect(w.IconItem("Viewer", "C:\\APP\\V.EXE /x"),
           "Icon Name: Viewer\r\nIcon Cmd: C:\\APP\\V.EXE /x\r\n");
    expect(w.IniNew(), "INI New: Created INI\r\n");
    const std::string ini = "INI File: C:\\W.INI\r\nINI Sect: S\r\nINI Item: K\r\n";
    expect(w.IniEntry({"C:\\W.INI", "S", "K", "new", "old"}),
           ini + "INI Val: new\r\nINI Old: old\r\n");
    expect(w.IniEntry({"C:\\W.INI", "S", "K", "new", std::nullopt}), ini + "INI Val: new\r\n");
    expect(w.IniEntry({"C:\\W.INI", "S", "K", "", ""}), ini + "INI Val: \r\nINI Old: \r\n");
    // A line break in a field would make the rest a record of its own.
    expect(w.IniEntry({"C:\\W.INI", "S", "K", "a\r\nFile Copy: C:\\X", "b\nc"}),
           ini + "INI Val: a  File Copy: C:\\X\r\nINI Old: b c\r\n");
    expect(w.RegValue({"Software\\A", "v", "", 0, 0, {}}),
           "RegDB Key: Software\\A\r\nRegDB Val: v\r\n");
    expect(w.RegValue({"Software\\A", "v", "Paths", 2, 2, {"one", "two", "three"}}),
           "RegDB Key: Software\\A\r\nRegDB Val: v\r\nRegDB Name: Paths\r\nRegDB Type: 2\r\n"
           "RegDB Root: 2\r\nRegDB Old: one\r\nRegDB Old: two\r\nRegDB Old: three\r\n");
    expect(w.RegValue({"K", "v", "", 0, 3, {"old"}}),
           "RegDB Key: K\r\nRegDB Val: v\r\nRegDB Root: 3\r\nRegDB Old: old\r\n");
    expect(w.AddDevice("C:\\WINDOWS\\SYSTEM\\V.386"), "Add Device: C:\\WINDOWS\\SYSTEM\\V.386\r\n");
    expect(w.Line("Installation aborted"), "Installation aborted\r\n");
    expect(w.Text("note\r\nmore"), "note\r\nmore");
}

TEST(InstallLogWriter, WritesNothingWhilePausedOrWithoutALog) {
    MemoryLogSink sink;
    InstallLogWriter writer(sink);
    writer.Pause();
    EXPECT_TRUE(writer.MadeDir("C:\\A"));
    writer.Resume();
    EXPECT_TRUE(writer.MadeDir("C:\\B"));
    EXPECT_EQ(sink.Text, "Made Dir: C:\\B\r\n");

    InstallLogWriter noLog;
    EXPECT_TRUE(noLog.MadeDir("C:\\A"));
}

TEST(InstallLogWriter, WritesEachRecordAtOnceAndReportsAFailedWrite) {
    struct FailingSink final : LogSink {
        bool Append(std::string_view) override {
            ++Writes;
            return false;
        }
        int Writes = 0;
    } sink;
    InstallLogWriter writer(sink);
    EXPECT_FALSE(writer.Header({2024, 1, 2, 3, 4, 5}, "T", "S"));
    EXPECT_FALSE(writer.RegValue({"K", "v", "N", 2, 1, {"a", "b"}}));
    EXPECT_FALSE(writer.IniEntry({"F", "S", "K", "V", "O"}));
    EXPECT_EQ(sink.Writes, 3);
}

TEST(DateTimeText, FormatsMonthDayShortYearAndAnUnpaddedHour) {
    struct Case {
        LocalDateTime Time;
        std::string Full;
        std::string Header;
    };
    const Case cases[] = {
        {{2024, 5, 6, 9, 7, 3}, "05/06/24 9:07:03", "05/06/24 9:07"},
        {{1999, 12, 31, 23, 59, 59}, "12/31/99 23:59:59", "12/31/99 23:59"},
        {{2000, 1, 1, 0, 0, 0}, "01/01/00 0:00:00", "01/01/00 0:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DateTimeText(c.Time), c.Full);
        EXPECT_EQ(LogHeaderDateTimeText(c.Time), c.Header);
    }
}

} // namespace
} // namespace vorn
