// The reader's main loop: group lines, the checks on the file, errors with their trail,
// extents, the progress bar, the layer table and what one read leaves for the next.
#include "reader_fixture.h"

#include <algorithm>
#include <tuple>

namespace plandra {
namespace {

using test::Dxf;
using test::EntitiesDrawing;
using test::Section;

class DxfReaderTest : public test::ReaderFixture {};

TEST_F(DxfReaderTest, GroupLinesAreReadLeniently) {
    struct Case {
        const char* What;
        const char* Entities;
        float X, Y;
        Long Lines;
    };
    const Case cases[] = {
        {"group codes with leading blanks", "  0|POINT|  8|0| 10|3| 20|4|  0|EOF", 3, 4, 0},
        {"a repeated group keeps its last value", "0|POINT|10|1|10|9|0|EOF", 9, 0, 0},
        {"non-numeric and missing coordinates are zero", "0|POINT|10|abc|20||0|EOF", 0, 0, 0},
        {"a code line that is not a number ends the entity", "0|POINT|10|4|x|LINE|0|EOF", 4, 0, 1},
        {"keywords match only exactly", "0|POINT|0|LINE |8|0|0| LINE|8|0|0|line|8|0", 0, 0, 0},
        // Kept last: its group 1000 is checked after the loop.
        {"extended data groups are dropped and the rest kept",
         "0|POINT|8|0|1001|APP|1000|kept?|1070|99|-5|neg|10|7|20|8|0|EOF", 7, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ASSERT_TRUE(Load(EntitiesDrawing(c.Entities)));
        ASSERT_EQ(Database.PointCount, 1);
        EXPECT_EQ(std::tuple(Database.Points[1].X, Database.Points[1].Y, Database.LineCount,
                             Database.SeqCount),
                  std::tuple(c.X, c.Y, c.Lines, 1 + c.Lines));
    }
    EXPECT_EQ(Database.GroupValue[1000], "kept?");
}

TEST_F(DxfReaderTest, AKeywordValueStartsThatReaderAndGroupsDoNotLeakToTheNextEntity) {
    // An entity without a reader is passed over line by line, so its value "ARC"
    // is taken for an ARC that reads the following groups.
    ASSERT_TRUE(Load(EntitiesDrawing("0|LWPOLYLINE|1|ARC|10|5|20|6|40|2|0|EOF")));
    ASSERT_EQ(Database.ArcCount, 1);
    EXPECT_EQ(std::tuple(Database.Arcs[1].CenterX, Database.Arcs[1].Radius), std::tuple(5.f, 2.f));

    // Group values of the last entity do not leak into the next.
    ASSERT_TRUE(Load(EntitiesDrawing("0|LINE|62|1|11|5|0|LINE|8|0|0|EOF")));
    ASSERT_EQ(Database.LineCount, 2);
    EXPECT_EQ(Database.Lines[1].Color, 0x0010FF);
    EXPECT_EQ(Database.Lines[2].X2, 0.0f);
    EXPECT_EQ(Database.Lines[2].Color, 0) << "the colour of its new layer, black";
}

TEST_F(DxfReaderTest, FilesThatAreNotDrawingsRaiseTheirErrorAndRestoreThePointer) {
    test::TempFile empty(""), noSection(Dxf("hello|SECTIONS|world"));
    // Bare line feeds stay inside the line, so this file is one line without "SECTION".
    test::TempFile lineFeeds("0\nSECTION\n2\nENTITIES\n0\nEOF\n");
    const std::string notDxf = " does not appear to be a DXF file.";
    const std::pair<std::string, std::string> cases[] = {
        {empty.Name(), empty.Name() + notDxf},
        {noSection.Name(), noSection.Name() + notDxf},
        {lineFeeds.Name(), lineFeeds.Name() + notDxf},
        {"/nonexistent/folder/drawing.dxf", "File not found\r\n ->  LoadDXF."},
    };
    for (const auto& [file, description] : cases) {
        EXPECT_EQ(LoadFileError(file), description);
        EXPECT_EQ(Screen.GetMousePointer(), platform::MousePointer::Default) << file;
    }
}

TEST_F(DxfReaderTest, TheSectionLineMayHaveBlanksAndIsSoughtFromTheLineLeftBehind) {
    EXPECT_TRUE(Load(Dxf("999|comment|  SECTION  |0|EOF")));
    EXPECT_TRUE(Database.DXFComplete);
    test::TempFile plain(Dxf("no|section|here"));
    Database.CurrentLine = " SECTION ";
    EXPECT_TRUE(Reader().MakeSureFileIsDXF(plain.Name()));
    Database.CurrentLine.clear();
    EXPECT_FALSE(Reader().MakeSureFileIsDXF(plain.Name()));
    EXPECT_EQ(Database.CurrentLine, "here");
}

TEST_F(DxfReaderTest, ATruncatedEntityReportsTheTrailAndKeepsWhatWasStored) {
    EXPECT_EQ(LoadError(Dxf("0|SECTION|2|ENTITIES|0|LINE|10|1|0|LINE|10|2|20")),
              "Input past end of file. Error in LoadEntity.\r\n ->  DXFLine.\r\n ->  LoadDXF.");
    EXPECT_EQ(std::tuple(Database.LineCount, Database.SeqCount, Database.DXFComplete),
              std::tuple(1, 1, false));
    EXPECT_EQ(Screen.GetMousePointer(), platform::MousePointer::Default);
    EXPECT_EQ(Surface.Calls.back(), platform::RecordingPictureBox::Call::Cls);
}

TEST_F(DxfReaderTest, AnOverflowingColourNumberReportsTheReaderByItsName) {
    const std::pair<std::string, std::string> cases[] = {
        {"LINE", "DXFLine."},     {"POINT", "DXFPoint."}, {"SOLID", "DXFSolid ."},
        {"3DFACE", "DXF3DFace."}, {"CIRCLE", "."},        {"ELLIPSE", "."},
    };
    for (const auto& [entity, reader] : cases) {
        EXPECT_EQ(LoadError(EntitiesDrawing("0|" + entity + "|62|32768|0|EOF")),
                  "Overflow\r\n ->  " + reader + "\r\n ->  LoadDXF.")
            << entity;
    }
    EXPECT_EQ(LoadError(Dxf("0|SECTION|2|TABLES|0|TABLE|2|LAYER|0|LAYER|2|X|62|-40000|0|ENDTAB")),
              "Overflow\r\n ->  DXFNewLayer.\r\n ->  LoadDXF.");
}

TEST_F(DxfReaderTest, ReadingSetsTheCompletionFlagZoomHistoryAndRedlineTextHeight) {
    Options.RedlineTextHeight = 5;
    ASSERT_TRUE(Load(EntitiesDrawing("0|LINE|10|1|20|2|11|3|21|4|0|EOF")));
    EXPECT_TRUE(Database.DXFComplete);
    EXPECT_EQ(Options.RedlineTextHeight, 0.0f);
    RealRect expected{1, 4, 3, 2};
    EXPECT_EQ(Database.Extents, expected);
    for (const RealRect& entry : ZoomStack) {
        EXPECT_EQ(entry, expected);
    }
    EXPECT_TRUE(Database.InEntitiesSection);
}

TEST_F(DxfReaderTest, ProgressBarGrowsInStepsOfAboutFivePercentAndIsHiddenAtTheEnd) {
    // About 1,000,000 bytes of comments after the header.
    std::string body = Dxf("0|SECTION|2|ENTITIES");
    while (body.size() < 1'000'000) {
        body += Dxf("999|a comment line that only fills the file to its size");
    }
    ASSERT_TRUE(Load(body + Dxf("0|EOF")));

    using Call = platform::RecordingPictureBox::Call;
    ASSERT_FALSE(StatusBar.Calls.empty());
    EXPECT_EQ(StatusBar.Calls.front(), Call::Show);
    EXPECT_GE(StatusBar.Boxes.size(), 19u);
    EXPECT_LE(StatusBar.Boxes.size(), 20u);
    for (std::size_t i = 1; i < StatusBar.Boxes.size(); ++i) {
        EXPECT_GT(StatusBar.Boxes[i].X2, StatusBar.Boxes[i - 1].X2);
    }
    EXPECT_EQ(StatusBar.Boxes.front().Color, 0xFF0000u); // blue in COLORREF
    EXPECT_EQ(StatusBar.Boxes.front().Y2, 20);
    EXPECT_LE(StatusBar.Boxes.back().X2, 400);
    auto refreshes = std::count(StatusBar.Calls.begin(), StatusBar.Calls.end(), Call::Refresh);
    EXPECT_EQ(static_cast<std::size_t>(refreshes), StatusBar.Boxes.size());
    ASSERT_GE(StatusBar.Calls.size(), 2u);
    EXPECT_EQ(StatusBar.Calls[StatusBar.Calls.size() - 2], Call::Hide);
    EXPECT_EQ(StatusBar.Calls.back(), Call::Cls);
    EXPECT_FALSE(StatusBar.Visible());
}

TEST_F(DxfReaderTest, HeaderExtentsWinOnlyWhenBothVariablesArePresent) {
    const std::string min = "9|$EXTMIN|10|-5|20|-6", max = "9|$EXTMAX|10|50|20|60";
    const std::string line = "0|LINE|10|1|20|1|11|100|21|200";
    const std::string entities = Section("ENTITIES", line) + Dxf("0|EOF");
    ASSERT_TRUE(Load(Section("HEADER", min + "|30|0|" + max) + entities));
    EXPECT_EQ(Database.Extents, (RealRect{-5, 60, 50, -6}));
    EXPECT_TRUE(Database.ExtentsFromHeader);

    // Entities read before the second variable have widened the extents already.
    ASSERT_TRUE(Load(Section("HEADER", min) + Dxf("0|SECTION|2|ENTITIES|" + line +
                                                  "|0|SECTION|2|HEADER|" + max + "|0|EOF")));
    EXPECT_EQ(Database.Extents, (RealRect{-5, 60, 50, -6}));

    ASSERT_TRUE(Load(Section("HEADER", min) + entities));
    EXPECT_EQ(Database.Extents, (RealRect{-5, 200, 100, -6}));
    EXPECT_FALSE(Database.ExtentsFromHeader);

    Options.CalcExtents = true;
    ASSERT_TRUE(Load(Section("HEADER", min + "|30|0|" + max) + entities));
    EXPECT_EQ(Database.Extents, (RealRect{1, 200, 100, 1}));
}

TEST_F(DxfReaderTest, ExtentsStartAgainWithEveryFile) {
    ASSERT_TRUE(Load(Section("HEADER", "9|$EXTMIN|10|0|20|0|9|$EXTMAX|10|9|20|9") + Dxf("0|EOF")));
    ASSERT_TRUE(Load(EntitiesDrawing("0|LINE|10|1|20|2|11|3|21|4|0|EOF")));
    EXPECT_EQ(Database.Extents, (RealRect{1, 4, 3, 2})) << "not frozen by the last header";
    ASSERT_TRUE(Load(EntitiesDrawing("0|EOF")));
    EXPECT_EQ(Database.Extents, EmptyExtents);
}

TEST_F(DxfReaderTest, LayerTableEntriesBecomeLayersAfterTheTableName) {
    const std::string tables = Section("TABLES", "0|TABLE|2|LAYER|70|5|"
                                                 "0|LAYER|2|WALLS|70|0|62|-3|6|CONTINUOUS|"
                                                 "0|LAYER|2|Frozen|70|1|62|5|"
                                                 "0|LAYER|2|Locked|70|4|62|1|"
                                                 "0|LAYER|2|Markup|62|7|999|REDLINE markup layer|"
                                                 "0|LAYER|2|Quiet|62|7|999|redline in lower case|"
                                                 "0|LAYER|2||62|2|0|ENDTAB");
    ASSERT_TRUE(Load(tables + EntitiesDrawing("0|LINE|8|Walls|0|CIRCLE|8|Unlisted|40|1")));

    const DXFLayers& layers = *Database.colLayers;
    ASSERT_EQ(layers.Count(), 7);
    struct Expected {
        const char* Name;
        Long Color;
        bool On;
        bool Redline;
    };
    const Expected expected[] = {
        {"WALLS", 0x00FF00, false, false},   {"Frozen", 0xFF1000, false, false},
        {"Locked", 0x0010FF, true, false},   {"Markup", 0xFFFFFF, true, true},
        {"Quiet", 0xFFFFFF, true, false},    {"", 0x00FFFF, true, false},
        {"Unlisted", 0x000000, true, false},
    };
    for (Long i = 1; i <= 7; ++i) {
        const DXFLayer& layer = *layers.Item(i);
        const Expected& e = expected[i - 1];
        EXPECT_EQ(std::tuple(layer.LayerName, layer.LayerColor, layer.LayerOn != 0,
                             layer.GetRedlineLayer(), layer.NewLayer),
                  std::tuple(e.Name, e.Color, e.On, e.Redline, IntegerFalse))
            << i;
    }
    EXPECT_EQ(std::tuple(Database.Lines[1].LayerID, Database.Lines[1].Color,
                         Database.Arcs[1].LayerID, Database.Arcs[1].Color),
              std::tuple(1, 0x00FF00, 7, 0));
}

TEST_F(DxfReaderTest, AReadThatFailedInsideABlockDoesNotSwallowTheNextMergedRead) {
    EXPECT_EQ(
        LoadError(Section("BLOCKS", "0|BLOCK|2|A|10|0|20|0|0|LINE|8|0|10|1e300|20|0|11|1|21|0") +
                  Dxf("0|EOF")),
        "Overflow\r\n ->  DXFLine.\r\n ->  LoadDXF.");
    // As Regen with dxfMergeAdd: the database is not emptied before the read.
    test::TempFile next(EntitiesDrawing("0|LINE|8|0|10|0|20|0|11|1|21|1"));
    ASSERT_TRUE(Reader().LoadDXF(next.Name()));
    EXPECT_EQ(std::tuple(Database.LineCount, Database.SeqCount), std::tuple(1, 1));
}

} // namespace
} // namespace plandra
