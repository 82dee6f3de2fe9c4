// Whatever the engine writes, the uninstaller reads back as the same records.
#include "installer/log/install_log_reader.h"
#include "installer/log/install_log_writer.h"
#include "log_report.h"

#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace vorn {
namespace {

// A random run of the engine: the writer's calls, and what the reader must find.
class RandomInstallation {
public:
    explicit RandomInstallation(unsigned seed) : Random(seed), Writer(Sink) {}

    void Run(int steps) {
        NewSection();
        for (int i = 0; i < steps; ++i) {
            Step();
        }
    }

    MemoryLogSink Sink;
    std::vector<LogEntry> Expected;
    UninstallInfo ExpectedInfo;
    const std::string ExpectedTitle = "Plandra Viewer";
    int Sections = 0;
    std::uint64_t LastSectionOffset = 0;

private:
    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Random); }

    // Field text of the kinds that trouble a parser: blanks at either end, code page
    // 1252 letters, prefixes of other records, empty text; never a line break.
    std::string Text() {
        static constexpr std::string_view Pieces[] = {
            "C:\\", "Program Files", "\\",   " ",    "A.EXE", "\xE9t\xE9",    "\xFC",       "\x80",
            ":",    "File Copy: ",   "*** ", "INI ", "\t",    "Installation", "RegDB Old: "};
        std::string text;
        for (int pieces = Pick(6); pieces > 0; --pieces) {
            text += Pieces[Pick(std::size(Pieces))];
        }
        return text;
    }

    void Expect(LogRecord record) { Expected.push_back({Sections, std::move(record)}); }

    void NewSection() {
        LastSectionOffset = Sink.Text.size();
        ++Sections;
        // Only the first section's title counts.
        Writer.Header({2000 + Pick(30), 1 + Pick(12), 1 + Pick(28), Pick(24), Pick(60), 0},
                      Sections == 1 ? ExpectedTitle : Text(), Text());
    }

    IniEntryRecord IniEntry(std::string file) {
        std::optional<std::string> old;
        if (Pick(2) == 0) {
            old = Text();
        }
        return {std::move(file), Text(), Text(), Text(), old};
    }

    void Step() {
        switch (Pick(14)) {
        case 0:
            NewSection();
            break;
        case 1:
            ExpectedInfo = {Text(), Text(), Text(), Text(), Text()};
            Writer.Information(ExpectedInfo);
            break;
        case 2:
            Writer.AdminRights();
            Expect(AdminRightsRecord{});
            break;
        case 3: {
            FileRecord file{Pick(2) == 0 ? FileRecordKind::Copy : FileRecordKind::Overwrite, Text(),
                            Text(), false, Pick(2) == 0};
            if (file.SharedCountIgnored) {
                Writer.SharedCountIgnored();
            }
            file.Kind == FileRecordKind::Copy ? Writer.FileCopied(file.Path)
                                              : Writer.FileOverwritten(file.Path);
            Writer.BackupCopy(file.Backup);
            Expect(std::move(file));
            break;
        }
        case 4:
            // Files that were not copied: their records start with a blank or say so.
            Writer.VersionKept();
            Writer.FileCopied(Text());
            Writer.BackupCopy(Text());
            Writer.DateKept(Text());
            Writer.InUse(Text());
            Writer.SelfRegisterFailed(Text());
            break;
        case 5: {
            FileEditRecord edit{Text(), Text()};
            Writer.FileEdit(edit.Path, edit.Backup);
            Expect(std::move(edit));
            break;
        }
        case 6: {
            std::string path = Text();
            Writer.SelfRegistered(path);
            Expect(SelfRegisterRecord{path});
            Writer.MadeDir(path);
            Expect(MadeDirRecord{path});
            Writer.AddDevice(path);
            Expect(AddDeviceRecord{path});
            break;
        }
        case 7: {
            IconItemRecord item{Text(), Text(), Text()};
            Writer.IconGroup(item.Group);
            if (Pick(4) == 0) {
                break; // a group that no item follows is not recorded
            }
            Writer.IconItem(item.Name, item.Command);
            Expect(IconGroupRecord{item.Group});
            Expect(std::move(item));
            break;
        }
        case 8: {
            std::string file = Text();
            Writer.IniNew();
            Writer.IniEntry(IniEntry(file));
            Expect(IniNewRecord{file});
            for (int more = Pick(3); more > 0; --more) {
                IniEntryRecord entry = IniEntry(file);
                Writer.IniEntry(entry);
                Expect(std::move(entry));
            }
            break;
        }
        case 9: {
            IniEntryRecord entry = IniEntry(Text());
            Writer.IniEntry(entry);
            Expect(std::move(entry));
            break;
        }
        default: {
            RegValueRecord value{Text(), Text(), Text(), Pick(8), Pick(64), {}};
            for (int olds = Pick(5); olds > 0; --olds) {
                value.Olds.push_back(Text());
            }
            Writer.RegValue(value);
            Expect(std::move(value));
            break;
        }
        }
    }

    std::mt19937 Random;
    InstallLogWriter Writer;
};

TEST(InstallLogRoundTrip, TheReaderFindsEveryRecordTheWriterWrote) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomInstallation run(seed);
        run.Run(static_cast<int>(seed % 60));
        LogReadResult result = ParseInstallLog(run.Sink.Text);
        ASSERT_FALSE(result.Error.has_value()) << "seed " << seed;
        const InstallLog& log = result.Log;
        std::ostringstream listing;
        cli::WriteLogText(listing, log);
        ASSERT_EQ(log.Records, run.Expected) << "seed " << seed << "\n" << listing.str();
        EXPECT_EQ(log.Title, run.ExpectedTitle);
        EXPECT_EQ(log.Sections, run.Sections);
        EXPECT_EQ(log.LastSectionOffset, run.LastSectionOffset);
        EXPECT_EQ(log.Info, run.ExpectedInfo);
    }
}

} // namespace
} // namespace vorn
