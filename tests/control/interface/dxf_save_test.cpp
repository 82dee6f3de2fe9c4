// Save: the working file copied with its new layers and live redline spliced in, read
// back by the control, and failures that leave the target as it was.
#include "control/database/aci_colors.h"
#include "control/database/dxf_number.h"
#include "control/redline/dxf_values.h"
#include "control_fixture.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <locale>
#include <stdexcept>

namespace plandra::test {
namespace {

// A drawing with handles, one layer, and a line on a layer named "LAYER".
std::string Drawing(std::string_view seed = "2A0") {
    return CrLfLines({"  0", "SECTION", "  2", "HEADER",  "  9", "$HANDSEED",  "  5", seed,
                      "  0", "ENDSEC",  "  0", "SECTION", "  2", "TABLES",     "  0", "TABLE",
                      "  2", "LAYER",   " 70", "1",       "  0", "LAYER",      "  2", "0",
                      " 70", "0",       " 62", "7",       "  6", "CONTINUOUS", "  0", "ENDTAB",
                      "  0", "ENDSEC",  "  0", "SECTION", "  2", "ENTITIES",   "  0", "LINE",
                      "  8", "LAYER",   " 10", "0",       " 20", "0",          " 11", "1",
                      " 21", "1",       "  0", "ENDSEC",  "  0", "EOF"});
}

std::string Between(const std::string& text, std::string_view from, std::string_view to) {
    const auto start = text.find(from);
    return text.substr(start, text.find(to, start) - start);
}

class DXFSave : public ::testing::Test {
protected:
    void Load(std::string_view contents) {
        WriteFileText(Input, contents);
        dxf.SetFileName(Input.string());
        ASSERT_EQ(dxf.Regen(dxfMergeNew), -1);
    }
    std::string Saved() const { return ReadFileText(Output); }

    HeadlessHost host;
    DXF dxf{host.Surfaces(), host.Host()};
    TempFolder folder;
    std::filesystem::path Input = folder.Folder() / "in.dxf";
    std::filesystem::path Output = folder.Folder() / "out.dxf";
};

TEST_F(DXFSave, SplicesLayersAndRedlineWithHandlesAndCountsDeletedOnesInTheSeed) {
    for (const bool deleteThird : {false, true}) {
        Load(Drawing());
        dxf.Layers()->Add(IntegerFalse, 0x0000FF, "NOTES", IntegerTrue, true);
        dxf.DXFAddLine(1, 2, 3, 4, "NOTES");
        dxf.DXFAddLine(0.1f, -2.5f, 1e7f, 0, "NOTES");
        if (deleteThird) {
            dxf.DXFAddLine(9, 9, 9, 9, "NOTES");
            dxf.SetRedlineEntitySelected(Long{4}); // after the file's line
            dxf.SetRedlineEntityType(dxfRedLineNewLine);
            std::string strError;
            ASSERT_TRUE(dxf.RedlineDeleteEntity(strError)) << strError;
        }
        ASSERT_TRUE(dxf.Save(Output.string()));
        const std::string saved = Saved();
        EXPECT_EQ(Between(saved, "$HANDSEED", "  0\r\nENDSEC"),
                  CrLfLines({"$HANDSEED", "  5", deleteThird ? "2AF" : "2AE"}));
        EXPECT_EQ(Between(saved, "0\r\nLAYER\r\n5", "  0\r\nENDTAB"),
                  CrLfLines({"0", "LAYER", "5", "2AB", "100", "AcDbSymbolTableRecord", "100",
                             "AcDbLayerTableRecord", "2", "NOTES", "999",
                             "REDLINE LAYER CREATED BY PLANDRA OCX FROM CORVANE", "70", "64", "62",
                             "-1", "6", "CONTINUOUS"}));
        EXPECT_EQ(
            Between(saved, "ENTITIES\r\n", "  0\r\nLINE\r\n  8\r\nLAYER"),
            CrLfLines({"ENTITIES", "0",  "LINE",  "5",   "2AC",        "100", "AcDbEntity", "100",
                       "AcDbLine", "8",  "NOTES", "10",  "1",          "20",  "2",          "30",
                       "0",        "11", "3",     "21",  "4",          "31",  "0",          "0",
                       "LINE",     "5",  "2AD",   "100", "AcDbEntity", "100", "AcDbLine",   "8",
                       "NOTES",    "10", "0.1",   "20",  "-2.5",       "30",  "0",          "11",
                       "1e+07",    "21", "0",     "31",  "0"}));
    }
}

TEST_F(DXFSave, WritesCirclesAndPaddedTextsWithoutHandlesWhenTheFileHasNoSeed) {
    std::string drawing = Drawing();
    drawing.erase(drawing.find("  9"), drawing.find("  0\r\nENDSEC") - drawing.find("  9"));
    Load(drawing);
    dxf.DXFAddCircle(1, 1, 4, 5, "0");
    dxf.DXFAddText(2, 3, "A", "0", dxfRealWorld, 2.5f, {}, 90.0f);
    dxf.DXFAddSolid(0, 0, 1, 0, 1, 1, 0, 1, "0"); // never written
    ASSERT_TRUE(dxf.Save(Output.string()));
    EXPECT_EQ(
        Between(Saved(), "ENTITIES\r\n", "  0\r\nLINE"),
        CrLfLines(
            {"ENTITIES", "0",  "CIRCLE", "8",  "0", "10",   "1",   "20", "1",
             "30",       "0",  "40",     "5",  "0", "TEXT", "8",   "0",  "10",
             "2",        "20", "3",      "30", "0", "40",   "2.5", "1",  "A" + std::string(99, ' '),
             "50",       "90"}));
}

TEST_F(DXFSave, WithNothingAddedOnlyTheSeedRisesByElevenEvenOverTheWorkingFileItself) {
    auto replaced = [](std::string text, std::string_view from, std::string_view to) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) {
            text.replace(at, from.size(), to);
        }
        return text;
    };
    const std::string expected = Drawing("10A");
    // Every line ends in CR LF in the copy: bare carriage returns gain a line feed, a last
    // line without an end gets one.
    const std::string inputs[] = {Drawing("FF"), replaced(Drawing("FF"), "\r\n", "\r"),
                                  Drawing("FF").substr(0, Drawing("FF").size() - 2)};
    for (const std::string& input : inputs) {
        Load(input);
        ASSERT_TRUE(dxf.Save(Input.string())); // the input itself, replaced once whole
        EXPECT_EQ(ReadFileText(Input), expected);
        EXPECT_EQ(folder.FileCount(), 1u); // no file left behind
    }
}

TEST_F(DXFSave, NumbersKeepTheirPeriodUnderACommaDecimalLocale) {
    struct GlobalLocale {
        std::locale Previous;
        ~GlobalLocale() { std::locale::global(Previous); }
    } restored;
    try {
        std::locale::global(std::locale("de_DE.UTF-8")); // the C library's locale too
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/bootstrap test makes it)";
    }
    Load(Drawing());
    dxf.DXFAddLine(0.1f, -2.5f, 1234.5f, 0.001f, "0");
    ASSERT_TRUE(dxf.Save(Output.string()));
    EXPECT_EQ(Between(Saved(), "AcDbLine\r\n8", "31\r\n"),
              CrLfLines({"AcDbLine", "8", "0", "10", "0.1", "20", "-2.5", "30", "0", "11", "1234.5",
                         "21", "0.001"}));
    dxf.SetFileName(Output.string());
    ASSERT_EQ(dxf.Regen(dxfMergeNew), -1);
    EXPECT_EQ(dxf.Drawing().Lines[1].X1, 0.1f);
    EXPECT_THROW(ParseLenientNumber("1.5e999"), ControlError);
}

TEST(DXFSaveValues, LayerColoursAndNumbers) {
    const struct {
        Long Color;
        Integer Number;
    } colors[] = {{0x0000FF, 1},  {ColorFromACI(1), 7}, {0xFFFFFF, 0},  {0x840000, 12},
                  {0x001031, 18}, {0x123456, 7},        {0x01000000, 7}};
    for (const auto& c : colors) {
        EXPECT_EQ(ColorToACI(c.Color), c.Number) << std::hex << c.Color;
    }
    // Seven significant digits; the rest of the forms are in the splices above.
    EXPECT_EQ(DxfSingle(1234567.9f), "1234568");
    EXPECT_EQ(DxfSingle(1e-6f), "1e-06");
}

TEST_F(DXFSave, ReadsBackThroughTheControlToTheSameEntities) {
    Load(Drawing());
    dxf.Layers()->Add(IntegerTrue, 0x00FF00, "NOTES", IntegerTrue, true);
    dxf.DXFAddLine(1, 2, 3, 4, "NOTES");
    dxf.DXFAddCircle(5, 5, 5, 7.5f, "NOTES");
    dxf.DXFAddText(6, 7, "NOTE", "NOTES", dxfRealWorld, 1.25f);
    ASSERT_TRUE(dxf.Save(Output.string()));
    dxf.SetFileName(Output.string());
    ASSERT_EQ(dxf.Regen(dxfMergeNew), -1);
    const DrawingDatabase& db = dxf.Drawing();
    ASSERT_EQ(dxf.Layers()->Count(), 3); // "0", "NOTES", then "LAYER" of the file's line
    const DXFLayer& notes = *dxf.Layers()->Item(2);
    EXPECT_EQ(notes.LayerName, "NOTES");
    EXPECT_EQ(notes.LayerColor, 0x00FF00);
    EXPECT_TRUE(notes.GetRedlineLayer());
    ASSERT_EQ(db.LineCount, 2);
    const LineRec& line = db.Lines[1];
    EXPECT_EQ((std::array{line.X1, line.Y1, line.X2, line.Y2, float(line.LayerID)}),
              (std::array{1.f, 2.f, 3.f, 4.f, 2.f}));
    EXPECT_EQ((std::array{db.Arcs[1].CenterX, db.Arcs[1].Radius}), (std::array{5.f, 2.5f}));
    EXPECT_EQ(db.Texts[1].Text.Trimmed(), "NOTE");
    EXPECT_EQ(db.Texts[1].Height, 1.25f);
}

TEST_F(DXFSave, FailuresRaiseThroughTheTrailAndLeaveTheTargetUntouched) {
    const struct {
        std::string Input;
        std::string Target; ///< relative to the folder
        std::string Description;
    } cases[] = {
        {Drawing(), "missing/out.dxf", "Path/File access error"},
        {Drawing("XYZ"), "out.dxf", "Type mismatch"},
        {Drawing("FFFFFFFFFFFFFFF5"), "out.dxf", "Overflow"},
        {Drawing().substr(0, Drawing().find("  0\r\nENDTAB")), "out.dxf", "Input past end of file"},
    };
    for (const auto& c : cases) {
        WriteFileText(Output, "old");
        WriteFileText(Input, c.Input);
        dxf.SetFileName(Input.string());
        const ControlError error =
            ErrorOf([&] { dxf.Save((folder.Folder() / c.Target).string()); });
        EXPECT_EQ(error.Number, static_cast<std::int32_t>(0x80040001));
        EXPECT_EQ(error.Description, c.Description + "\r\n ->  Save.");
        EXPECT_EQ(Saved(), "old");
        EXPECT_EQ(folder.FileCount(), 2u) << c.Description;
    }
    std::filesystem::remove(Input);
    EXPECT_EQ(ErrorOf([&] { dxf.Save(Output.string()); }).Description,
              "File not found\r\n ->  Save.");
    EXPECT_EQ(Saved(), "old");
}

TEST_F(DXFSave, ATargetHeldOpenElsewhereIsReplacedOnlyWhereTheSystemAllowsIt) {
    Load(Drawing());
    WriteFileText(Output, "old");
    // fopen shares reading and writing but not deletion, as most programs open files.
    std::FILE* reader = std::fopen(Output.string().c_str(), "rb");
    ASSERT_NE(reader, nullptr);
#ifdef _WIN32
    // Windows refuses to replace it: the save fails and the target stays.
    EXPECT_EQ(ErrorOf([&] { dxf.Save(Output.string()); }).Description,
              "Path/File access error\r\n ->  Save.");
    EXPECT_EQ(Saved(), "old");
#else
    // Elsewhere the new file takes the name and the open reader keeps the old one.
    EXPECT_TRUE(dxf.Save(Output.string()));
    char old[4] = {};
    EXPECT_EQ(std::fread(old, 1, 3, reader), 3u);
    EXPECT_STREQ(old, "old");
    EXPECT_EQ(Saved(), Drawing("2AB"));
#endif
    std::fclose(reader);
    EXPECT_EQ(folder.FileCount(), 2u);
}

} // namespace
} // namespace plandra::test
