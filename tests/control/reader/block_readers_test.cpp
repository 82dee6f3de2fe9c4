// Block definitions, INSERT copies with scale, rotation and mirroring, pending
// inserts, DIMENSION blocks and the life of the scratch files.
#include "control/database/aci_colors.h"
#include "reader_fixture.h"

#include <cmath>
#include <filesystem>
#include <tuple>
#include <vector>

namespace plandra {
namespace {

using test::CrLfLines;
using test::Dxf;
using test::ExpectNear;

// A drawing of a layer table (layer "0", then WALLS), a BLOCKS section and an ENTITIES
// section.
std::string Drawing(const std::string& blocks, const std::string& entities) {
    return test::Section("TABLES",
                         "0|TABLE|2|LAYER|0|LAYER|2|0|62|7|0|LAYER|2|WALLS|62|3|0|ENDTAB") +
           Dxf("0|SECTION|2|BLOCKS") + blocks + Dxf("0|ENDSEC|0|SECTION|2|ENTITIES") + entities +
           Dxf("0|ENDSEC|0|EOF");
}

std::string Block(std::string_view name, std::string_view baseX, std::string_view baseY,
                  const std::string& entities) {
    return CrLfLines({"0", "BLOCK", "8", "0", "2", name, "70", "0", "10", baseX, "20", baseY}) +
           entities + CrLfLines({"0", "ENDBLK", "8", "0"});
}

std::string Insert(std::string_view name, std::string_view x, std::string_view y,
                   std::initializer_list<std::string_view> more = {}) {
    return CrLfLines({"0", "INSERT", "8", "WALLS", "2", name, "10", x, "20", y}) + CrLfLines(more);
}

std::string Line(std::string_view layer, std::string_view x1, std::string_view y1,
                 std::string_view x2, std::string_view y2) {
    return CrLfLines({"0", "LINE", "8", layer, "10", x1, "20", y1, "11", x2, "21", y2});
}

class BlockReadersTest : public test::ReaderFixture {
protected:
    const LineRec& LineAt(Long index) const { return Database.Lines[index]; }
};

TEST_F(BlockReadersTest, InsertScalesRotatesAndTranslatesLines) {
    ASSERT_TRUE(Load(Drawing(Block("B", "0", "0", Line("0", "0", "0", "1", "0")),
                             Insert("B", "10", "10", {"41", "2", "42", "2", "50", "90"}))));
    ASSERT_EQ(Database.LineCount, 1);
    ExpectNear({LineAt(1).X1, LineAt(1).Y1, LineAt(1).X2, LineAt(1).Y2}, {10, 10, 10, 12});
    EXPECT_EQ(Database.SeqCount, 1);
    // Copies widen the extents; the definition itself widened them with its own,
    // block-relative coordinates.
    ExpectNear({Database.Extents.Left, Database.Extents.Top}, {0, 12});
}

TEST_F(BlockReadersTest, BaseContentsAreRelativeToTheBasePoint) {
    ASSERT_TRUE(Load(
        Drawing(Block("B", "5", "5", Line("0", "5", "5", "6", "5") + Dxf("0|POINT|8|0|10|7|20|8")),
                Insert("B", "100", "0", {"41", "3", "42", "-2", "50", "0"}))));
    ASSERT_EQ(Database.LineCount, 1);
    ASSERT_EQ(Database.PointCount, 1);
    ExpectNear({LineAt(1).X1, LineAt(1).X2, Database.Points[1].X, Database.Points[1].Y},
               {100, 103, 106, -6});
}

TEST_F(BlockReadersTest, MirroredArcsTurnTheOtherWay) {
    const std::string arc = Dxf("0|ARC|8|0|10|5|20|0|40|1|50|0|51|90");
    ASSERT_TRUE(
        Load(Drawing(Block("B", "0", "0", arc),
                     Insert("B", "0", "0", {"41", "-1"}) + Insert("B", "0", "0", {"42", "-1"}) +
                         Insert("B", "0", "0", {"41", "-2", "42", "-2", "50", "10"}))));
    ASSERT_EQ(Database.ArcCount, 3);
    const ArcRec* arcs = &Database.Arcs[0];
    // Mirrored in X, mirrored in Y, and mirrored in both (a turn by 180) then turned by 10.
    ExpectNear({arcs[1].CenterX, arcs[1].StartAngle, arcs[1].EndAngle, arcs[2].StartAngle,
                arcs[2].EndAngle, arcs[3].Radius, arcs[3].StartAngle, arcs[3].EndAngle},
               {-5, 90, 180, -90, 0, 2, -170, -80});
}

TEST_F(BlockReadersTest, TextsTurnWithTheInsertDirectlyAndThroughAnotherBlock) {
    const std::string text = Dxf("0|TEXT|8|0|10|1|20|0|40|2|50|15|1|Door");
    const std::string outer = Block("OUTER", "0", "0", Insert("INNER", "0", "0", {"50", "30"}));
    ASSERT_TRUE(Load(
        Drawing(Block("INNER", "0", "0", text) + outer,
                Insert("INNER", "0", "0", {"50", "30", "41", "2"}) + Insert("OUTER", "0", "0"))));
    ASSERT_EQ(Database.TextCount, 2);
    const TextRec* texts = &Database.Texts[0];
    ExpectNear({texts[1].Rotation, texts[1].Height, texts[1].X, texts[2].Rotation, texts[2].Height},
               {45, 4, static_cast<float>(2 * std::cos(30 * 3.14159 / 180)), 45, 2});
    EXPECT_EQ(texts[1].Text.Trimmed(), "Door");
}

TEST_F(BlockReadersTest, FirstLayerTakesTheInsertsLayerAndOthersKeepTheirs) {
    ASSERT_TRUE(Load(Drawing(
        Block("B", "0", "0", Line("0", "0", "0", "1", "0") + Line("WALLS", "0", "1", "1", "1")),
        Dxf("0|INSERT|8|DOORS|2|B|10|0|20|0"))));
    ASSERT_EQ(Database.LineCount, 2);
    // DOORS is added after the table's two layers.
    EXPECT_EQ(Database.colLayers->Item(3)->LayerName, "DOORS");
    EXPECT_EQ(LineAt(1).LayerID, 3);
    EXPECT_EQ(LineAt(2).LayerID, 2);
}

TEST_F(BlockReadersTest, ColourOverrideReachesOnlyLinesAndPolylineSegments) {
    const std::string contents =
        Line("WALLS", "0", "0", "1", "0") +
        Dxf("0|POLYLINE|8|WALLS|66|1|0|VERTEX|8|WALLS|10|0|20|0|0|VERTEX|8|WALLS|10|1|20|1|"
            "0|SEQEND|0|CIRCLE|8|WALLS|10|0|20|0|40|1|0|TEXT|8|WALLS|10|0|20|0|40|1|1|T|"
            "0|SOLID|8|WALLS|10|0|20|0|11|1|21|0|12|0|22|1|0|POINT|8|WALLS|10|0|20|0");
    ASSERT_TRUE(Load(Drawing(Block("B", "0", "0", contents), Insert("B", "0", "0", {"62", "1"}))));
    const Long red = ColorFromACI(1);
    const Long green = ColorFromACI(3);
    EXPECT_EQ(
        (std::vector{LineAt(1).Color, Database.PolySegs[1].Color, Database.Arcs[1].Color,
                     Database.Texts[1].Color, Database.Solids[1].Color, Database.Points[1].Color}),
        (std::vector{red, red, green, green, green, green}));
}

TEST_F(BlockReadersTest, PendingInsertIsCopiedIntoItsBlockWhenEntitiesBegin) {
    const std::string outer =
        Block("OUTER", "0", "0", Line("0", "0", "0", "1", "0") + Insert("LATER", "5", "0"));
    const std::string later = Block("LATER", "0", "0", Line("0", "0", "0", "0", "1"));
    ASSERT_TRUE(Load(Drawing(outer + later, Insert("OUTER", "100", "0"))));
    EXPECT_EQ(Database.PendingInsertCount, 1);
    ASSERT_EQ(Database.LineCount, 2);
    ExpectNear({LineAt(1).X1, LineAt(2).X1, LineAt(2).Y2}, {100, 105, 1});
}

TEST_F(BlockReadersTest, EntitiesOfADefinitionReachTheDrawingOnlyThroughInsertsAsOwnCopies) {
    const std::string block = Block("B", "0", "0", Line("0", "0", "0", "1", "0"));
    ASSERT_TRUE(Load(Drawing(block, "")));
    EXPECT_EQ(Database.LineCount, 0);
    EXPECT_EQ(Database.SeqCount, 0);
    ASSERT_EQ(Database.BlockCount, 1);
    EXPECT_EQ(Database.Blocks[1].Name.Trimmed(), "B");

    ASSERT_TRUE(Load(Drawing(block, Insert("B", "0", "0") + Insert("B", "0", "5"))));
    ASSERT_EQ(Database.LineCount, 2);
    Database.Lines[1].Deleted = IntegerTrue;
    EXPECT_EQ(LineAt(2).Deleted, IntegerFalse);
    EXPECT_FLOAT_EQ(LineAt(2).Y1, 5);
}

TEST_F(BlockReadersTest, BlocksThatInsertThemselvesCopyNothing) {
    const std::string self = Block("SELF", "0", "0",
                                   Line("0", "0", "0", "1", "0") + Insert("SELF", "1", "0") +
                                       Dxf("0|DIMENSION|8|0|2|SELF"));
    // A and B insert each other: B takes A's line when B is defined, A takes B's
    // contents once (pending) when ENTITIES begins, and nothing goes round again.
    const std::string a =
        Block("A", "0", "0", Line("0", "0", "0", "1", "0") + Insert("B", "0", "1"));
    const std::string b =
        Block("B", "0", "0", Line("0", "0", "0", "2", "0") + Insert("A", "0", "2"));
    ASSERT_TRUE(Load(Drawing(self + a + b, Insert("SELF", "0", "0") + Insert("A", "0", "0"))));
    EXPECT_EQ(Database.LineCount, 1 + 3);
}

TEST_F(BlockReadersTest, NestingThatMultipliesWithoutEndIsRefused) {
    std::string blocks = Block("L0", "0", "0", Line("0", "0", "0", "1", "0"));
    for (int level = 1; level <= 8; ++level) {
        std::string inserts;
        for (int copy = 0; copy < 10; ++copy) {
            inserts += Insert("L" + std::to_string(level - 1), "0", std::to_string(copy));
        }
        blocks += Block("L" + std::to_string(level), "0", "0", inserts);
    }
    EXPECT_EQ(LoadError(Drawing(blocks, "")),
              "Too many entities from inserted blocks.\r\n ->  DXFInsert.\r\n ->  LoadDXF.");
    EXPECT_EQ(ScratchFolder.FileCount(), 0u);
}

TEST_F(BlockReadersTest, DimensionCopiesItsBlockWithItsOwnLayerAndColour) {
    const std::string longText(80, 'x');
    const std::string contents =
        Line("WALLS", "0", "0", "1", "0") +
        Dxf("0|TEXT|8|WALLS|10|0|20|0|40|2.5|50|90|1|" + longText + "|0|POINT|8|0|10|0|20|0");
    ASSERT_TRUE(Load(Drawing(Block("*D1", "1", "1", contents),
                             Dxf("0|DIMENSION|8|DIMS|62|1|2|*D1|12|11|22|11|70|0"))));
    const Long dims = 3; // added after the table's two layers
    ASSERT_EQ(Database.LineCount, 1);
    EXPECT_EQ(std::tuple(LineAt(1).LayerID, LineAt(1).Color), std::tuple(dims, ColorFromACI(1)));
    ASSERT_EQ(Database.TextCount, 1);
    EXPECT_EQ(Database.Texts[1].Text.Trimmed(), std::string(60, 'x'));
    ExpectNear({LineAt(1).X1, LineAt(1).Y1, Database.Texts[1].Height, Database.Texts[1].Rotation},
               {9, 9, 2.5, 90});
    EXPECT_EQ(Database.PointCount, 0);
}

TEST_F(BlockReadersTest, MirroredCopiesOfPolylinesAndEllipses) {
    const std::string contents =
        Dxf("0|POLYLINE|8|0|40|0.6|0|VERTEX|8|0|10|0|20|0|42|1|0|VERTEX|8|0|10|2|20|0|0|SEQEND|"
            "0|ELLIPSE|8|0|10|1|20|1|11|2|21|0|40|0.5|41|0.5|42|1.5");
    ASSERT_TRUE(Load(Drawing(Block("B", "0", "0", contents), Insert("B", "0", "0", {"41", "-1"}))));
    ASSERT_EQ(Database.PolySegCount, 1);
    ASSERT_EQ(Database.EllipseCount, 1);
    const PolySegRec& segment = Database.PolySegs[1];
    const EllipseRec& ellipse = Database.Ellipses[1];
    // Widths come back from the scratch file as whole numbers: 0.6 as 1.
    ExpectNear({segment.X2, segment.Bulge, segment.Width, ellipse.CenterX, ellipse.MajorX,
                ellipse.Ratio, ellipse.StartParam, ellipse.EndParam},
               {-2, -1, 1, -1, -2, 0.5, -1.5, -0.5});
}

TEST_F(BlockReadersTest, ScratchFilesAreNumberedPerControlAndGoneAfterEveryRead) {
    const std::string drawing = Drawing(Block("A", "0", "0", Line("0", "0", "0", "1", "0")) +
                                            Block("B", "0", "0", Line("0", "0", "0", "1", "0")),
                                        Insert("A", "0", "0"));
    ASSERT_TRUE(Load(drawing));
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(Database.BlockFileCounter, 4);
    EXPECT_EQ(Database.Blocks[1].FileName.Trimmed(), "");
    EXPECT_EQ(ScratchFolder.FileCount(), 0u);

    // A read that fails inside a block definition leaves nothing behind either.
    const std::string failing =
        Drawing(Block("A", "0", "0", Line("0", "1e300", "0", "1", "0")), "");
    EXPECT_EQ(LoadError(failing), "Overflow\r\n ->  DXFLine.\r\n ->  LoadDXF.");
    EXPECT_EQ(ScratchFolder.FileCount(), 0u);
}

TEST_F(BlockReadersTest, MissingScratchFolderFallsBackToTheTemporaryFolder) {
    Options.TmpFileNamePath = ScratchFolder.WithSeparator() + "missing/";
    ASSERT_TRUE(
        Load(Drawing(Block("B", "0", "0", Line("0", "0", "0", "1", "0")), Insert("B", "0", "0"))));
    EXPECT_EQ(Database.LineCount, 1);
    EXPECT_NE(Options.TmpFileNamePath, ScratchFolder.WithSeparator() + "missing/");
    EXPECT_TRUE(std::filesystem::is_directory(Options.TmpFileNamePath));
}

} // namespace
} // namespace plandra
