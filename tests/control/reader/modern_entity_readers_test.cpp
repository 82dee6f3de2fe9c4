// The kinds read when ReadModernEntities is on: LWPOLYLINE, TRACE and LEADER, inside
// and outside blocks, and what the classic reader makes of the same files.
#include "control/reader/text_encoding.h"
#include "reader_fixture.h"

#include <array>
#include <string>
#include <vector>

namespace plandra {
namespace {

using test::Dxf;
using test::EntitiesDrawing;
using test::Section;

using Segment = std::array<float, 6>; // X1, Y1, X2, Y2, width and bulge

class ModernReaderTest : public test::ReaderFixture {
protected:
    ModernReaderTest() { Options.ReadModernEntities = true; }

    std::vector<Segment> Segments() const {
        std::vector<Segment> segments;
        for (Long i = 1; i <= Database.PolySegCount; ++i) {
            const PolySegRec& s = Database.PolySegs[i];
            segments.push_back({s.X1, s.Y1, s.X2, s.Y2, s.Width, s.Bulge});
        }
        return segments;
    }
};

TEST_F(ModernReaderTest, PolylineKindsBecomeSegments) {
    const struct {
        const char* Entity;
        std::vector<Segment> Expected;
    } cases[] = {
        // Open, with a bulge and per-vertex widths; the count of 90 is not trusted.
        {"0|LWPOLYLINE|8|P|90|7|70|0|10|0|20|0|40|1|41|3|42|1|10|2|20|0|10|2|20|2",
         {{0, 0, 2, 0, 2, 1}, {2, 0, 2, 2, 0, 0}}},
        // Closed with a constant width; a mirrored extrusion negates X and bulges.
        {"0|LWPOLYLINE|8|P|70|1|43|0.5|230|-1|10|1|20|0|42|0.5|10|2|20|0|10|2|20|1",
         {{-1, 0, -2, 0, 0.5f, -0.5f}, {-2, 0, -2, 1, 0.5f, 0}, {-2, 1, -1, 0, 0.5f, 0}}},
        // Closed with two vertices draws one segment, not the same one back.
        {"0|LWPOLYLINE|8|P|70|1|10|0|20|0|10|1|20|0", {{0, 0, 1, 0, 0, 0}}},
        {"0|LWPOLYLINE|8|P|90|3", {}},
        {"0|LEADER|8|P|76|3|10|0|20|0|10|1|20|1|10|3|20|1",
         {{0, 0, 1, 1, 0, 0}, {1, 1, 3, 1, 0, 0}}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Load(EntitiesDrawing(c.Entity))) << c.Entity;
        EXPECT_EQ(Segments(), c.Expected) << c.Entity;
    }
}

TEST_F(ModernReaderTest, TraceIsASolidAndNewKindsFollowInserts) {
    const std::string blocks =
        Section("BLOCKS", "0|BLOCK|8|0|2|B|10|1|20|0|0|LWPOLYLINE|8|0|10|1|20|0|10|2|20|0|"
                          "0|TRACE|8|0|10|1|20|0|11|2|20|0|12|1|22|1|13|2|23|1|0|ENDBLK");
    ASSERT_TRUE(Load(blocks + Section("ENTITIES", "0|INSERT|8|D|2|B|10|10|20|10|41|2|42|2") +
                     Dxf("0|EOF")));
    EXPECT_EQ(Segments(), (std::vector<Segment>{{10, 10, 12, 10, 0, 0}}));
    ASSERT_EQ(Database.SolidCount, 1);
    const SolidRec& solid = Database.Solids[1];
    EXPECT_EQ((std::array{solid.X1, solid.Y1, solid.X3, solid.Y3, solid.X4, solid.Y4}),
              (std::array<float, 6>{10, 10, 12, 12, 10, 12}));
    EXPECT_EQ(Database.colLayers->Item(Database.PolySegs[1].LayerID)->LayerName, "D");
}

TEST_F(ModernReaderTest, OnlyAnEntityNameAfterGroupZeroStartsAReader) {
    // A layer called LWPOLYLINE, and the classic reader, which passes the kind over.
    const std::string drawing = EntitiesDrawing("0|LINE|8|LWPOLYLINE|10|0|20|0|11|1|21|1|"
                                                "0|LWPOLYLINE|8|LWPOLYLINE|10|0|20|0|10|5|20|0");
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(std::make_tuple(Database.LineCount, Database.PolySegCount), std::make_tuple(1, 1));
    Options.ReadModernEntities = false;
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(std::make_tuple(Database.LineCount, Database.PolySegCount), std::make_tuple(1, 0));
}

TEST_F(ModernReaderTest, AnInvertedHeaderBoxGivesWayToTheEntitiesExtents) {
    const std::string drawing =
        Section("HEADER", "9|$EXTMIN|10|1E20|20|1E20|9|$EXTMAX|10|-1E20|20|-1E20") +
        EntitiesDrawing("0|LINE|8|0|10|0|20|0|11|4|21|2");
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(Database.Extents, (RealRect{0, 2, 4, 0}));
    Options.ReadModernEntities = false;
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(Database.Extents.Left, 1e20f);
}

// A solid hatch (70 = 1) or a pattern (70 = 0) whose paths are a polyline square
// 0 to 4 and a hole of line edges 1 to 2, and a path with no edges at all.
std::string Hatch(const char* solid) {
    return std::string("0|HATCH|8|H|2|SOLID|70|") + solid +
           "|91|5|92|3|72|0|73|1|93|4|10|0|20|0|10|4|20|0|10|4|20|4|10|0|20|4|97|0|"
           "92|0|93|9|72|1|10|1|20|1|11|2|21|1|72|1|10|2|20|1|11|2|21|2|72|1|10|2|20|2|11|1|21|2|"
           "72|1|10|1|20|2|11|1|21|1|97|0|92|0|93|3|97|0|75|0|76|1|98|1|10|3|20|3";
}

TEST_F(ModernReaderTest, SolidHatchesAreFilledAreasWithHolesAndPatternsTheirOutlines) {
    ASSERT_TRUE(
        Load(test::Section("BLOCKS", "0|BLOCK|8|0|2|B|10|0|20|0|" + Hatch("1") + "|0|ENDBLK") +
             EntitiesDrawing("0|INSERT|8|0|2|B|10|10|20|0|41|2|42|2|" + Hatch("0"))));
    ASSERT_EQ(Database.FillCount, 1);
    const FillRec& fill = Database.Fills[1];
    EXPECT_EQ(fill.RingSizes, (std::vector<Long>{4, 4}));
    EXPECT_EQ(fill.Points[2], (FillPoint{18, 8}));
    EXPECT_EQ(fill.Points[4], (FillPoint{12, 2}));
    EXPECT_EQ(Database.Extents, (RealRect{0, 8, 18, 0}));
    // The pattern hatch: four sides of the square and four of the hole; the seed
    // point after 98 is no vertex.
    EXPECT_EQ(Database.PolySegCount, 8);
    EXPECT_EQ(Database.SeqCount, 9);
}

TEST_F(ModernReaderTest, DamagedHatchesReadWithoutHarm) {
    for (const char* entity : {
             "0|HATCH|8|H|70|1|91|1000000|92|2",           // the count lies, no vertices
             "0|HATCH|8|H|70|1|92|2|10|0|20|0|10|1|20|1",  // one line, open
             "0|HATCH|8|H|70|1|92|0|72|9|10|0|72|2|40|-1", // unknown edge, negative radius
             "0|HATCH|8|H|70|1|92|0|72|4|94|0|95|99|40|9|40|1|10|0|20|0|10|1|20|1|42|0",
             "0|HATCH|8|H|70|1|92|2|10|0|20|0|42|1E300|10|1|20|0|10|0|20|1",
             // Arc edges whose angles no turn changes, or billions of turns apart.
             "0|HATCH|8|H|70|1|92|0|72|2|10|0|20|0|40|1|50|1E20|51|0|73|1",
             "0|HATCH|8|H|70|1|92|0|72|2|10|0|20|0|40|1|50|0|51|-1E15|73|1",
             "0|HATCH|8|H|70|1|92|0|72|3|10|0|20|0|11|1|21|0|40|1|50|0|51|-1E15|73|0",
         }) {
        EXPECT_TRUE(Load(EntitiesDrawing(entity))) << entity;
    }
}

TEST(TextEncoding, DecodesByVersionAndCodePageIntoCodePage1252) {
    const struct {
        const char* Version;
        const char* CodePage;
        std::string Bytes;
        std::string Text;
    } cases[] = {
        {"AC1021", "ANSI_1252", "Caf\xC3\xA9 \xE2\x82\xAC \xE2\x88\x85", "Caf\xE9 \x80 ?"},
        // Invalid UTF-8: a lone continuation, a cut sequence, an overlong form, a
        // surrogate; each byte that starts nothing valid is one "?".
        {"AC1024", "",
         "a\x80"
         "b\xE2\x82",
         "a?b??"},
        {"AC1032", "", "\xC0\xAF\xED\xA0\x80", "?????"},
        {"AC1015", "ANSI_1252", "Caf\xE9", "Caf\xE9"},
        {"AC1015", "ANSI_1251",
         "\xC4"
         "a",
         "?a"},
        {"AC1015", "", "\\U+00E9t\\U+4E2D \\M+1A1B2 \\U+zz", "\xE9t? ? \\U+zz"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeDrawingText(c.Bytes, EncodingOf(c.Version, c.CodePage)), c.Text)
            << c.Version << " " << c.CodePage << " " << c.Bytes;
    }
}

TEST_F(ModernReaderTest, TextsAndAttributesAreDecodedByTheHeader) {
    const std::string drawing =
        Section("HEADER", "9|$ACADVER|1|AC1027|9|$DWGCODEPAGE|3|ANSI_1252") +
        EntitiesDrawing("0|TEXT|8|0|1|\xC3\xA9t\xC3\xA9|0|MTEXT|8|0|1|\\U+00B1 1|"
                        "0|INSERT|8|0|2|X|0|ATTRIB|8|0|70|0|1|\xC3\xBC");
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(Database.Texts[1].Text.Trimmed(), "\xE9t\xE9");
    EXPECT_EQ(Database.Texts[2].Text.Trimmed(), "\xB1 1");
    EXPECT_EQ(Database.Attribs[1].Text.Trimmed(), "\xFC");
    Options.ReadModernEntities = false;
    ASSERT_TRUE(Load(drawing));
    EXPECT_EQ(Database.Texts[1].Text.Trimmed(), "\xC3\xA9t\xC3\xA9");
}

} // namespace
} // namespace plandra
