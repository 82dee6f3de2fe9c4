// The installation script compiler: each statement's record, each mistake's place and
// message, and a script listed back and compiled again to the same bytes.
#include "installer/authoring/script_compiler.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/script_header.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace {

using vorn::authoring::BuildFile;
using vorn::authoring::CompileError;
using vorn::authoring::CompileScript;

/// Files of a pretend build machine, all in /src.
struct Files {
    std::map<std::string, std::string> Contents;
    vorn::authoring::FileReader Reader() const {
        return [this](const std::filesystem::path& path) -> std::optional<BuildFile> {
            auto found = Contents.find(path.lexically_normal().generic_string());
            if (found == Contents.end()) {
                return std::nullopt;
            }
            return BuildFile{{found->second.begin(), found->second.end()}, 0x5A21, 0x6000};
        };
    }
};

std::vector<std::uint8_t> Records(const std::vector<std::uint8_t>& script) {
    const vorn::HeaderReadResult read = vorn::ReadScriptHeader(script);
    return {script.begin() + read.RecordsOffset, script.end()};
}

TEST(ScriptCompiler, EveryStatementGivesItsRecord) {
    struct Case {
        const char* Source;
        std::vector<std::uint8_t> Start; ///< The first record's first bytes.
    };
    const Case cases[] = {
        {R"(install "a.txt" to "C:\\A" compare-versions private no-progress replace-older-or-same)",
         {0, 0x2D, 0x00}},
        {R"(install "a.txt" to "C:\\A" shared never-replace main-archive self-register )"
         R"(not-system-shared main-archive-no-byte-progress)",
         {0, 0x1A, 0x78}},
        {R"(install-from "http://h/a.dll" to "C:\\A.DLL")", {0, 0x40, 0}},
        {R"(install-wildcard "C:\\*.TXT" to "C:\\D" subdirectories)", {18, 0, 0x81}},
        {R"(delete "C:\\X" in-test-mode remove-directory subdirectories)", {11, 0x0D, 'C'}},
        {R"(mkdir "C:\\D")", {17, 'C', ':'}},
        {R"(rename "C:\\A" "B")", {29, 'C'}},
        {R"(message information cancel-ends "t" "x")", {3, 0x84, 't', 0, 'x', 0, 63}},
        {R"(message style 0x21 "t" "x")", {3, 0x20}},
        {"ask question alternative-captions \"t\" \"x\"\nend", {3, 0x4D}},
        {"if A != \"1\"\nelse\nend", {12, 0x01, 'A', 0, '1', 0, 13, 8, 0, 63}},
        {"if call \"l.dll\" \"F\" \"a\"\nend", {9, 0x02, 'l'}},
        {"while %A% length-is \"3\"\nend", {12, 0x1C, 'A', 0, '3', 0, 8, 1, 63}},
        {"do while A >= \"1.5\"\nend", {12, 0x37}},
        {"while call engine \"f1\" \"\"\nend", {9, 0x0B, 0, 'f', '1', 0, 0, 8, 1}},
        {"do while call \"l\" \"F\" \"\" close-progress\nend", {9, 0x17}},
        {R"(call "l" "F" "a" abort-if-true)", {9, 0x01, 'l', 0, 'F', 0, 'a', 0}},
        {"tempfile T", {22, 'T', 0}},
        {"exit", {24, 63}},
        {"filler", {27, 63}},
        {R"(log "x\r\n\t\x7F\"\\")", {28, 'x', '\r', '\n', '\t', 0x7F, '"', '\\', 0}},
        {"log-file pause", {30, 1, 0}},
        {"log-file resume", {30, 0, 0}},
        {R"(log-file "C:\\L")", {30, 2, 'C'}},
        {R"(record 7 "03" "a" "b" "c")", {7, 3, 'a', 0, 'b', 0, 'c', 0, 63}},
        {"finish\nexit", {24, 63}},
        {"cancel\nexit", {24, 63}},
        {"include \"inc.vns\"", {28, 'i', 0}},
        {R"(ini "P.INI" "S" "a=1" "b=")",
         {5, 'P', '.', 'I', 'N', 'I', 0, 'S', 0, 'a', '=', '1', '\r', 'b', '=', 0}},
        {R"(ini "P" "S" remove-section)", {5, 'P', 0, 'S', 0, 0, 63}},
        {R"(registry HKLM "K" "N" dword 0x10)", {10, 0x02, 3, 'K', 0, '1', '6', 0, 'N', 0}},
        {R"(registry HKCU "K" default multi-string ["a", "b"])",
         {10, 0x41, 2, 'K', 0, 'a', 0x7F, 'b', 0, 0}},
        {R"(registry HKCC "K" "B" binary "0aFF %X%")", {10, 4, 4, 'K', 0, '0', 'a', 'F', 'F', ' '}},
        {R"(registry-delete HKCR "K")", {10, 0x80, 0, 'K', 0, 0, 0}},
        {R"(registry-delete HKU "K" "N")", {10, 0xC3, 0, 'K', 0, 0, 'N', 0}},
        {"progman open\nprogman close", {15, 16, 63}},
        {R"(group "G" common)",
         {4, 3, '[', 'C', 'r', 'e', 'a', 't', 'e', 'G', 'r', 'o', 'u', 'p', '(', 'G', 0}},
        {R"(icon "N" "C")",
         {4, 0, '[', 'A', 'd', 'd', 'I', 't', 'e', 'm', '(', 'C', ',', 'N', ')', ']', 0}},
        {R"(progman "[X(a" closing 1)", {4, 3, '[', 'X', '(', 'a', 0}},
        {R"(run "P" "A" directory "D" minimized wait)", {7, 6, 'P', 0, 'A', 0, 'D', 0}},
        {R"(sysinfo V file-version "F")", {21, 5, 'V', 0, 'F', 0}},
        {"sysinfo V 11", {21, 11, 'V', 0, 0}},
        {R"(odbc-driver "I" "D" ["A", "B"] 32-bit)", {25, 2, 'I', 0, 'D', 0, 'A', 0x7F, 'B', 0}},
        {R"(odbc-source "D" [] close-progress 32-bit)", {26, 3, 'D', 0, 0}},
        {R"(sound "S" loop)", {23, 1, 0, 0, 0, 0, 'S', 0}},
        {"stop-sound", {23, 0, 0, 0, 0, 0, 0}},
        {R"(video "V" at 320 2 wait)", {23, 3, 0x40, 1, 2, 0, 'V', 0}},
        {R"(billboard "a.txt" at 10 20 right-aligned remove 3 effect dissolve scale close-progress)",
         {6, 0xA4, 0x48, 10, 0x40, 20, 0, 0, 0, 0, 0}},
        {"billboard-remove all close-progress", {6, 0x01, 0x40, 0, 0, 0, 0, 0, 0, 0, 0}},
        {R"(set V "x" upper-case from-answer-file)",
         {9, 8, 0, 'f', '1', '6', 0, '1', '5', '3', 0x7F, 'V', 0x7F, 'x', 0}},
        {R"(edit-autoexec "L" search "S" replace contains backup line 3)",
         {9, 8, 0, 'f', '1', 0, '4', '4', 0x7F, 'S', 0x7F, 'L', 0x7F, 0x7F, '3', 0}},
        {R"(read-registry V HKLM "K" "N" or "D" directory-only)",
         {9, 8, 0, 'f', '9', 0, '5', 0x7F, 'V', 0x7F, 'K', 0x7F, 'D', 0x7F, 'N', 0}},
        {"self-register-now", {9, 8, 0, 'f', '2', '9', 0, '0', 0x7F, 0}},
    };
    Files files{{{"/src/a.txt", "hello"}, {"/src/inc.vns", "log \"i\"\n"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source);
        std::vector<std::uint8_t> records;
        ASSERT_NO_THROW(records =
                            Records(CompileScript(c.Source, "/src/s.vns", files.Reader()).Script));
        ASSERT_GE(records.size(), c.Start.size());
        EXPECT_EQ(std::vector<std::uint8_t>(records.begin(), records.begin() + c.Start.size()),
                  c.Start);
    }
}

TEST(ScriptCompiler, AnInstalledFileCarriesItsSizeStampChecksumAndPlace) {
    Files files{{{"/src/a.txt", "hello"}, {"/src/b.txt", "world!"}}};
    const auto setup = CompileScript("install \"a.txt\" to \"A\"\ninstall \"b.txt\" to \"B\"\n"
                                     "install \"/src/a.txt\" to \"C\"",
                                     "/src/s.vns", files.Reader());
    ASSERT_EQ(setup.Payload.Entries.size(), 2u); // a.txt is packed once
    const std::vector<std::uint8_t> r = Records(setup.Script);
    auto dword = [&](std::size_t at) {
        return r[at] | r[at + 1] << 8 | r[at + 2] << 16 | std::uint32_t(r[at + 3]) << 24;
    };
    const std::size_t second = 43 + 2 + 2; // "A", "" and the description ""
    const vorn::PayloadEntry& b = setup.Payload.Entries[1];
    EXPECT_EQ(dword(second + 3), b.Offset);
    EXPECT_EQ(dword(second + 7), b.Offset + b.CompressedSize);
    EXPECT_EQ(dword(second + 11), 0x60005A21u); // DOS date, then time
    EXPECT_EQ(dword(second + 15), 6u);
    EXPECT_EQ(dword(second + 39), b.Crc);
    EXPECT_EQ(dword(2 * second + 3), 0u); // the third record installs a.txt again
}

TEST(ScriptCompiler, AProgramsVersionResourceIsFound) {
    const std::filesystem::path fixtures =
        plandra::test::SourceDir() / "tests" / "machine" / "fixtures";
    auto fields = [&](const char* name) {
        const std::string text = plandra::test::ReadFileText(fixtures / name);
        return vorn::authoring::ReadVersionFields(
            std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    EXPECT_EQ(fields("VER1.DLL"), (std::array<std::uint32_t, 5>{0x10000, 0, 0x40004, 2, 0}));
    EXPECT_EQ(fields("NOVER.DLL"), (std::array<std::uint32_t, 5>{}));
}

TEST(ScriptCompiler, MistakesAreReportedAtTheirPlace) {
    struct Case {
        std::string Source;
        std::string File;
        int Line;
        int Column;
        const char* Message;
    };
    std::string deepLoops;
    for (int i = 0; i < 33; ++i) {
        deepLoops += "while A == \"1\"\n";
    }
    std::string languages;
    for (int i = 0; i < 256; ++i) {
        languages += "language \"L\"\n";
    }
    std::string variables;
    for (int i = 0; i < 240; ++i) {
        variables += "tempfile T" + std::to_string(i) + "\n";
    }
    const Case cases[] = {
        {"log \"abc", "s.vns", 1, 5, "unterminated string"},
        {"\n  frobnicate", "s.vns", 2, 3, "expected a statement, found 'frobnicate'"},
        {"log \"x\"\nif A == \"1\"\nlog \"x\"", "s.vns", 2, 1, "never ends: expected end"},
        {"tempfile ABCDEFGHIJKLMNOP", "s.vns", 1, 10, "longer than 15"},
        {"log \"a%ABCDEFGHIJKLMNOPQ%\"", "s.vns", 1, 5, "longer than 15"},
        {"install \"missing.txt\" to \"X\"", "s.vns", 1, 9, "does not exist on the build"},
        {deepLoops, "s.vns", 33, 1, "at most 32 deep"},
        {languages, "s.vns", 256, 1, "at most 255 languages"},
        {variables, "s.vns", 240, 10, "at most 239 variables"},
        {"end", "s.vns", 1, 1, "end without an open block"},
        {"log \"" + std::string(256, 'x') + "\"", "s.vns", 1, 5, "longer than the engine's 255"},
        {"message \"t\" [\"" + std::string(1024, 'x') + "\"]", "s.vns", 1, 13,
         "the text is longer than the engine's 1023"},
        {"while A == \"1\"\nelse", "s.vns", 2, 1, "else belongs in an if"},
        {"log \"\\q\"", "s.vns", 1, 6, "after a backslash"},
        {"log \"x\"\n\"y\"", "s.vns", 2, 1, "expected a statement, found \"y\""},
        {"log \"a\\x00\"", "s.vns", 1, 7, "zero byte"},
        {"if A ~ \"1\"", "s.vns", 1, 6, "unexpected character '~'"},
        {"if A between \"1\"", "s.vns", 1, 6, "expected a comparison"},
        {"log", "s.vns", 1, 4, "expected the text to log, found the end of the line"},
        {"log \"a\" \"b\"", "s.vns", 1, 9, "expected the end of the line, found \"b\""},
        {"language \"A\"\nlanguage \"B\"\ntitle [\"x\"]", "s.vns", 3, 11, "expected 2 texts"},
        {"title \"x\"\nlanguage \"B\"", "s.vns", 2, 1, "declared before"},
        {"include \"loop.vns\"", "loop.vns", 1, 1, "includes nest at most 16"},
        {"include \"bad.vns\"", "bad.vns", 2, 3, "expected a statement"},
        {"product \"a\"\nproduct \"b\"", "s.vns", 2, 1, "given twice"},
        {"finish\nfinish", "s.vns", 2, 1, "section is given twice"},
        {"if A == \"1\"\nfinish", "s.vns", 2, 1, "outside every block"},
        {"text 45 \"x\"", "s.vns", 1, 6, "up to 44"},
        {"record 3 \"00\"", "s.vns", 1, 8, "without a block statement"},
        {"record 7 \"0300\" \"a\" \"b\" \"c\"", "s.vns", 1, 1, "needs 1 fixed bytes"},
        {"rename \"a\" \"C:\\\\b\"", "s.vns", 1, 12, "without a directory"},
        {"install \"a.txt\" to \"X\" never-replace replace-older", "s.vns", 1, 38, "one date rule"},
        {"registry HKXX \"K\" \"N\" string \"v\"", "s.vns", 1, 10, "expected a registry root"},
        {"registry HKLM \"K\" \"N\" binary \"0g\"", "s.vns", 1, 30, "expected hexadecimal"},
        {"registry HKLM \"K\" \"N\" text \"v\"", "s.vns", 1, 23, "expected a value type"},
        {"ini \"F\" \"S\"", "s.vns", 1, 12, "expected a line key=value or remove-section"},
        {"group \"A,B\"", "s.vns", 1, 7, "without , ( ) [ ] or"},
        {"run \"P\" fast", "s.vns", 1, 9, "expected directory, maximized"},
        {"sysinfo V weather", "s.vns", 1, 11, "expected a system information item"},
        {"billboard \"none.bmp\"", "s.vns", 1, 11, "does not exist on the build"},
        {"set V \"x\" increment decrement", "s.vns", 1, 21, "conflicts with a word"},
        {"read-ini V \"F\" \"S\" \"K\" or", "s.vns", 1, 26, "expected a string"},
        {"dialog-set \"bad.vns\"", "s.vns", 1, 12, "cannot be read: "},
        {"install \"a.txt\" to \"X\" library-file", "s.vns", 1, 1, "need a library-base name"},
        {"library-base \"L\"\ninstall \"a.txt\" to \"X\" library-file", "s.vns", 2, 1,
         "expected a transfer-library statement"},
        {"install-from \"a\" to \"X\" library-file", "s.vns", 1, 25, "only a file of the build"},
        {"install \"a.txt\" to \"X\" main-archive library-file", "s.vns", 1, 37,
         "does not come from the main archive"},
        {"transfer-library \"t.dll\"", "s.vns", 1, 18, "t.dll does not exist on the build machine"},
    };
    Files files{{{"/src/loop.vns", "include \"loop.vns\""},
                 {"/src/bad.vns", "\n  oops"},
                 {"/src/a.txt", "a"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source.substr(0, 60));
        try {
            CompileScript(c.Source, "/src/s.vns", files.Reader());
            ADD_FAILURE() << "compiled";
        } catch (const CompileError& error) {
            EXPECT_EQ(std::filesystem::path(error.File).filename(), c.File);
            EXPECT_EQ(error.Line, c.Line) << error.what();
            EXPECT_EQ(error.Column, c.Column) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
        }
    }
}

// A script with every statement and two languages, listed and compiled again.
TEST(ScriptCompiler, ListingCompilesToTheSameScript) {
    const std::string script = R"vns(language "English" "English"
language "Deutsch" "German"
language-dialog "Language" "Choose a language:"
header-flags 0x40
archive-id 1234
font "MS Sans Serif" 8 0
library-base "PLN"
log-path "C:\\APP\\INSTALL.LOG"
status-file "PLANDRA.MIF"
status-template "%1%|%2%"
manufacturer "Vorn"
product "Plandra"
version "1.0"
serial "42"
uninstall-status "PLANDRA.MIF"
title ["Setup", "Installation"]
text 3 ["Copying", "Kopiere"]
include "files.vns"
ask question ["Go?", "Los?"] "%PRODUCT%"
    do while call engine "f16" ["en", "de"]
        tempfile T
    end
else
    while call "x.dll" "F" "a" close-progress
        message stop "t" "m"
    end
end
call "x.dll" "G" "" abort-if-true
finish
log-file "C:\\L.LOG"
exit
cancel
log-file pause
record 10 "0001" "HKLM" "Software\\Vorn" "v=1"
ini "PLANDRA.INI" "Settings" "Units=mm" "Grid="
ini "%WIN%\\WIN.INI" "Plandra" remove-section
registry HKLM "Software\\Vorn" "Path" string "%INSTDIR%"
registry HKCU "Software\\Vorn" default expand-string "%INSTDIR%\\x"
registry HKCR "Plandra.Drawing" "Count" dword 42
registry HKU "S" "Names" multi-string ["a", "", "b"]
registry HKCC "S" "Bytes" binary "00 ff %B%"
registry HKLM "S" "Odd" dword "%N%"
registry-delete HKLM "Software\\Old"
registry-delete HKLM "Software\\Old" "Value"
registry-delete HKLM "Software\\Old" default
progman open
group ["Plandra", "Plandra DE"] common
group "Tools"
icon ["Viewer", "Betrachter"] "%INSTDIR%\\VIEWER.EXE"
progman "[ShowGroup(Plandra,1)]"
progman "[DeleteGroup(Old" closing 0
progman close
run "%INSTDIR%\\SETUP2.EXE" "/q" directory "%INSTDIR%" minimized wait
run "" "notepad README.TXT" maximized
sysinfo WINVER windows-version
sysinfo OCXDATE file-date "%SYS%\\PLANDRA.OCX"
sysinfo ODD 11
odbc-driver "ODBC.INF" "Plandra Driver" ["Driver=PLN.DLL", "Setup=PLNS.DLL"] 32-bit
odbc-source "Plandra Driver" ["DSN=Plandra", "DBQ=%INSTDIR%"] close-progress
sound "%INSTDIR%\\START.WAV" loop
stop-sound
video "%INSTDIR%\\INTRO.AVI" at 100 50 wait
billboard ["a.txt", "b.bmp"] at 10 20 right-aligned bottom-aligned progress-sequence remove 3 effect slide-from-left or-paint center-horizontally center-vertically scale repeat-down metafile close-progress
billboard "b.bmp" remove all
billboard-remove all
billboard-remove 2 close-progress
add-to-path "%INSTDIR%"
edit-autoexec "SET P=%INSTDIR%" search "SET P" replace starts-with case-sensitive ignore-blanks backup comment "REM old" line 3
edit-config "FILES=40" after ends-with
edit-text-file "%INSTDIR%\\P.CFG" ["lang=en", "lang=de"] search "lang=" contains no-backup
add-device "%SYS%\\PLN.386"
read-ini UNITS "PLANDRA.INI" "Settings" "Units" or "mm"
read-registry OLDDIR HKLM "Software\\Vorn" "Path" or "C:\\PLANDRA" directory-only
read-registry DEF HKCU "Software\\X" ""
add-font "PLN.TTF" "Plandra (TrueType)"
system-directory SYSDIR
set COUNT "%COUNT%" increment from-answer-file
append NAME ["en", "de"] upper-case close-progress abort-if-true
read-environment TMPDIR "TEMP" or "C:\\TEMP"
close-archive
self-register "%INSTDIR%\\PLANDRA.OCX"
self-register-now ["Registering", "Registriere"]
self-register-now
call engine "f16" "1\x7FX"
dialog-set "pages.dlg" when SETUP "custom"
dialog-set "pages.dlg"
record 4 "d3" "[CreateGroup(G"
)vns";
    vorn::DialogPageLayout page{{}, {}, {"Options", "Optionen"}, {}};
    page.Template.Caption = "Options";
    page.Entries.push_back({2, 1, 2, 0, 1, 0, 0, {""}, "", ""});
    const std::vector<std::uint8_t> pages = vorn::BuildDialogSet({page}, 2);
    Files files{
        {{"/src/a.txt", "alpha"},
         {"/src/b.bmp", "BM"},
         {"/src/pages.dlg", std::string(pages.begin(), pages.end())},
         {"/src/files.vns", "install \"a.txt\" to \"C:\\\\A\" description [\"A\", \"B\"] "
                            "shared replace-older\ninstall-wildcard \"*\" to \"C:\\\\W\"\n"
                            "if A contains \"x\"\n delete \"C:\\\\T\" subdirectories\nend"}}};
    const auto first = CompileScript(script, "/src/s.vns", files.Reader());
    vorn::ArchiveHeader archive;
    archive.FinishOffset = first.Extras.FinishOffset;
    archive.CancelOffset = first.Extras.CancelOffset;
    const std::string listing =
        vorn::authoring::ListScript(first.Script, archive, first.Payload.Entries);
    const auto second = CompileScript(listing, "/src/listed.vns", files.Reader());
    EXPECT_EQ(second.Script, first.Script) << listing;
    EXPECT_EQ(second.Extras.FinishOffset, first.Extras.FinishOffset);
    EXPECT_EQ(second.Extras.CancelOffset, first.Extras.CancelOffset);
    EXPECT_EQ(second.Payload.Data, first.Payload.Data);
    // Only the record no statement gives back is listed as a record.
    EXPECT_EQ(listing.find("record "), listing.rfind("record 4 \"d3\"")) << listing;
}

} // namespace
