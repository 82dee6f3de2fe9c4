// The scratch file records: readable text that reads back to the same records, and
// the errors of records that do not match their kind.
#include "control/reader/scratch_records.h"
#include "reader_fixture.h"

namespace plandra {
namespace {

std::vector<ScratchRecord> ReadBack(const std::string& contents) {
    test::TempFile file(contents, ".TMP");
    return ReadScratchFile(file.Name());
}

TEST(ScratchRecords, EveryKindReadsBackAsWritten) {
    LineRec line{0.5f, -2, 3, 1e-7f, 1, 255, 7};
    PolySegRec segment{1, 2, 3, 4, 2, 3, 0xFF00, -0.25f};
    TextRec text;
    text.X = 1.25f;
    text.Text.Assign("say \"hi\", twice\nthen go");
    text.Height = 2.5f;
    text.Rotation = 30;
    text.HorzAlign = 4;
    text.Underline = -1;
    text.LayerID = 2;
    text.Color = 9;
    text.FontName.Assign("Courier New");
    text.FontScalar = 0.8f;
    ArcRec arc{1, 2, 3, 45, 90, 4, 5, 2};
    SolidRec solid{1, 2, 3, 4, 5, 6, 7, 8, 1, 2};
    PointRec point{-1, 3.4e38f, 5, 6};
    EllipseRec ellipse{1, 2, 3, 4, 0.5f, 0.1f, 6.2f, 1, 2, 3};
    std::vector<ScratchRecord> written{line, segment, text, arc, solid, point, ellipse};

    std::string contents;
    for (const ScratchRecord& record : written) {
        contents += FormatScratchRecord(record);
    }
    std::vector<ScratchRecord> read = ReadBack(contents);
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].index(), written[i].index());
        EXPECT_EQ(FormatScratchRecord(read[i]), FormatScratchRecord(written[i]));
    }
    EXPECT_EQ(std::get<TextRec>(read[2]).Text.Trimmed(), "say \"hi\", twice\nthen go");
}

TEST(ScratchRecords, AreTwoReadableLinesAndPolylineWidthsReadBackWhole) {
    EXPECT_EQ(FormatScratchRecord(LineRec{0.5f, -2, 3, 4, 1, 255, 7}),
              "1\r\n0.5,-2,3,4,255,1,1,7\r\n");
    EXPECT_EQ(FormatScratchRecord(PointRec{1, 2, 3, 4}), "6\r\n1,2,4,3\r\n");
    // Polyline widths read back as whole numbers.
    std::vector<ScratchRecord> read =
        ReadBack("2\r\n0,0,1,1,0,1,2.5,0\r\n2\r\n0,0,1,1,0,1,3.5,0\r\n");
    EXPECT_FLOAT_EQ(std::get<PolySegRec>(read[0]).Width, 2);
    EXPECT_FLOAT_EQ(std::get<PolySegRec>(read[1]).Width, 4);
}

TEST(ScratchRecords, RecordsThatDoNotMatchTheirKindAndMissingFilesAreErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"6\r\n1,2,3\r\n", "Input past end of file"},
        {"6\r\n", "Input past end of file"},
        {"6\r\n1,x,3,4\r\n", "Type mismatch"},
        {"6\r\n1,2,3.5,4\r\n", "Type mismatch"},
        {"6\r\n1,2,3,4,5\r\n", "Type mismatch"},
        {"8\r\n1,2,3,4\r\n", "Type mismatch"},
        {"3\r\n0,0,unquoted,1,0,0,0,1,0,\"Arial\",1\r\n", "Type mismatch"},
        {"6\r\n1,1e39,3,4\r\n", "Overflow"},
    };
    for (const auto& [contents, error] : cases) {
        EXPECT_EQ(test::ErrorOf([&] { ReadBack(contents); }).Description, error) << contents;
    }
    const std::string missing = (test::SourceDir() / "no-such-folder" / "1.TMP").string();
    EXPECT_EQ(test::ErrorOf([&] { ReadScratchFile(missing); }).Description, "File not found");
}

} // namespace
} // namespace plandra
