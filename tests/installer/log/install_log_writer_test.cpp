// The installation log as the engine writes it: the exact words of every record.
#include "installer/log/install_log_writer.h"

#include <functional>
#include <gtest/gtest.h>

namespace vorn {
namespace {

struct WriteCase {
    const char* What;
    std::function<bool(InstallLogWriter&)> Call;
    std::string Text;
};

TEST(InstallLogWriter, WritesEachRecordInTheLogsExactWords) {
    const WriteCase cases[] = {
        {"header",
         [](auto& w) {
             return w.Header({2024, 5, 6, 9, 7, 3}, "Plandra", "C:\\SETUP\\SETUP.EXE");
         },
         "***  Installation Started 05/06/24 9:07  ***\r\nTitle: Plandra\r\n"
         "Source: C:\\SETUP\\SETUP.EXE\r\n"},
        {"information",
         [](auto& w) {
             return w.Information({"P.MIF", "Acme", "Plandra", "1.0", "42"});
         },
         "Uninstall MIF: P.MIF\r\nManufacturer: Acme\r\nProduct: Plandra\r\n"
         "Version Number: 1.0\r\nSerial Number: 42\r\n"},
        {"admin", [](auto& w) { return w.AdminRights(); }, "User Rights: Admin\r\n"},
        {"copy", [](auto& w) { return w.FileCopied("C:\\A.EXE"); }, "File Copy: C:\\A.EXE\r\n"},
        {"overwrite", [](auto& w) { return w.FileOverwritten("C:\\A.EXE"); },
         "File Overwrite: C:\\A.EXE\r\n"},
        {"backup", [](auto& w) { return w.BackupCopy("C:\\B\\A.EXE"); },
         "Backup Copy: C:\\B\\A.EXE\r\n"},
        {"shared mark", [](auto& w) { return w.SharedCountIgnored(); },
         "Shared DLL counter ignored:\r\n"},
        {"in use", [](auto& w) { return w.InUse("C:\\A.DLL"); },
         "In Use: C:\\A.DLL Not Copied\r\n"},
        {"version kept", [](auto& w) { return w.VersionKept(); },
         "Version: Following file not copied.\r\n "},
        {"version kept, shared file", [](auto& w) { return w.VersionKept(NextLineBlank::Omitted); },
         "Version: Following file not copied.\r\n"},
        {"date kept", [](auto& w) { return w.DateKept("C:\\A.DLL"); },
         "Date/Time: Following file not copied.\r\n File Copy: C:\\A.DLL\r\n"},
        {"date kept, notice only", [](auto& w) { return w.DateKept(); },
         "Date/Time: Following file not copied.\r\n"},
        {"edit", [](auto& w) { return w.FileEdit("C:\\CONFIG.SYS", "C:\\CONFIG.001"); },
         "File Edit: C:\\CONFIG.SYS\r\nBackup Copy: C:\\CONFIG.001\r\n"},
        {"self-register", [](auto& w) { return w.SelfRegistered("C:\\X.OCX"); },
         "Self-Register: C:\\X.OCX\r\n"},
        {"self-register failed", [](auto& w) { return w.SelfRegisterFailed("C:\\X.OCX"); },
         "Could not Self-Register: C:\\X.OCX\r\n"},
        {"made dir", [](auto& w) { return w.MadeDir("C:\\APP"); }, "Made Dir: C:\\APP\r\n"},
        {"group", [](auto& w) { return w.IconGroup("Plandra"); }, "Icon Group: Plandra\r\n"},
        {"item", [](auto& w) { return w.IconItem("Viewer", "C:\\APP\\V.EXE /x"); },
         "Icon Name: Viewer\r\nIcon Cmd: C:\\APP\\V.EXE /x\r\n"},
        {"ini new", [](auto& w) { return w.IniNew(); }, "INI New: Created INI\r\n"},
        {"ini entry with old value",
         [](auto& w) {
             return w.IniEntry({"C:\\W.INI", "S", "K", "new", "old"});
         },
         "INI File: C:\\W.INI\r\nINI Sect: S\r\nINI Item: K\r\nINI Val: new\r\nINI Old: old\r\n"},
        {"ini entry of a new key",
         [](auto& w) {
             return w.IniEntry({"C:\\W.INI", "S", "K", "new", std::nullopt});
         },
         "INI File: C:\\W.INI\r\nINI Sect: S\r\nINI Item: K\r\nINI Val: new\r\n"},
        {"ini entry whose old value was empty",
         [](auto& w) {
             return w.IniEntry({"C:\\W.INI", "S", "K", "", ""});
         },
         "INI File: C:\\W.INI\r\nINI Sect: S\r\nINI Item: K\r\nINI Val: \r\nINI Old: \r\n"},
        {"registry default value, no old value",
         [](auto& w) {
             return w.RegValue({"Software\\A", "v", "", 0, 0, {}});
         },
         "RegDB Key: Software\\A\r\nRegDB Val: v\r\n"},
        {"registry multi-string",
         [](auto& w) {
             return w.RegValue({"Software\\A", "v", "Paths", 2, 2, {"one", "two", "three"}});
         },
         "RegDB Key: Software\\A\r\nRegDB Val: v\r\nRegDB Name: Paths\r\nRegDB Type: 2\r\n"
         "RegDB Root: 2\r\nRegDB Old: one\r\nRegDB Old: two\r\nRegDB Old: three\r\n"},
        {"registry root only",
         [](auto& w) {
             return w.RegValue({"K", "v", "", 0, 3, {"old"}});
         },
         "RegDB Key: K\r\nRegDB Val: v\r\nRegDB Root: 3\r\nRegDB Old: old\r\n"},
        {"device", [](auto& w) { return w.AddDevice("C:\\WINDOWS\\SYSTEM\\V.386"); },
         "Add Device: C:\\WINDOWS\\SYSTEM\\V.386\r\n"},
        {"line", [](auto& w) { return w.Line("Installation aborted"); },
         "Installation aborted\r\n"},
        {"text as it is", [](auto& w) { return w.Text("note\r\nmore"); }, "note\r\nmore"},
        // A line break in a field would make the rest a record of its own.
        {"line breaks in fields become blanks",
         [](auto& w) {
             return w.IniEntry({"W.INI", "S", "K", "a\r\nFile Copy: C:\\X", "b\nc"});
         },
         "INI File: W.INI\r\nINI Sect: S\r\nINI Item: K\r\nINI Val: a  File Copy: C:\\X\r\n"
         "INI Old: b c\r\n"},
    };
    for (const WriteCase& c : cases) {
        MemoryLogSink sink;
        InstallLogWriter writer(sink);
        EXPECT_TRUE(c.Call(writer)) << c.What;
        EXPECT_EQ(sink.Text, c.Text) << c.What;
    }
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
