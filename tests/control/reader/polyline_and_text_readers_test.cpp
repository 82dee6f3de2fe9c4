// The readers of polylines (vertex chains, bulges, extrusion) and of texts, multi-line
// texts and attributes.
#include "platform/message_box.h"
#include "reader_fixture.h"

#include <array>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace plandra {
namespace {

using test::DrawingWithEntities;
using test::EntitiesDrawing;

// A polyline on layer P: its header groups, a VERTEX on P with the groups of each
// vertex, and SEQEND.
std::string Polyline(const std::string& header, const std::vector<std::string_view>& vertices) {
    std::string lines = "0|POLYLINE|8|P" + (header.empty() ? "" : "|" + header);
    for (std::string_view vertex : vertices) {
        lines += "|0|VERTEX|8|P|" + std::string(vertex);
    }
    return lines + "|0|SEQEND|8|P";
}

using Segment = std::array<float, 5>; // X1, Y1, X2, Y2 and bulge

class PolylineReaderTest : public test::ReaderFixture {
protected:
    std::vector<Segment> Segments() const {
        std::vector<Segment> segments;
        for (Long i = 1; i <= Database.PolySegCount; ++i) {
            const PolySegRec& s = Database.PolySegs[i];
            segments.push_back({s.X1, s.Y1, s.X2, s.Y2, s.Bulge});
        }
        return segments;
    }
};

TEST_F(PolylineReaderTest, VertexChainsBecomeSegments) {
    struct Case {
        const char* Name;
        const char* Header;
        std::vector<std::string_view> Vertices;
        std::vector<Segment> Expected;
    };
    const Case cases[] = {
        {"open: n - 1 segments, each with its start vertex's bulge",
         "70|0",
         {"10|0|20|0|42|0.5", "10|4|20|0", "10|4|20|3|42|-1"},
         {{0, 0, 4, 0, 0.5f}, {4, 0, 4, 3, 0}}},
        {"closed: the last vertex's bulge closes back to the first",
         "70|1",
         {"10|0|20|0", "10|4|20|0", "10|4|20|3|42|0.25"},
         {{0, 0, 4, 0, 0}, {4, 0, 4, 3, 0}, {4, 3, 0, 0, 0.25f}}},
        {"closed two-vertex circle: two half circles",
         "70|1",
         {"10|0|20|0|42|1", "10|2|20|0|42|1"},
         {{0, 0, 2, 0, 1}, {2, 0, 0, 0, 1}}},
        {"spline frame points draw nothing but move the current point",
         "70|4",
         {"10|0|20|0", "10|1|20|1|70|16", "10|2|20|0|70|8"},
         {{1, 1, 2, 0, 0}}},
        {"mirrored extrusion negates X and turns the bulge round",
         "70|0|210|0|220|0|230|-1",
         {"10|1|20|0|42|0.5", "10|2|20|0"},
         {{-1, 0, -2, 0, -0.5f}}},
        {"extrusion Z of 0 counts as 1", "230|0", {"10|1|20|0", "10|2|20|0"}, {{1, 0, 2, 0, 0}}},
        {"other flags (3D polyline) follow the same chain",
         "70|8",
         {"10|1|20|1", "10|2|20|2"},
         {{1, 1, 2, 2, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(Load(EntitiesDrawing(Polyline(c.Header, c.Vertices))));
        EXPECT_EQ(Segments(), c.Expected);
        EXPECT_EQ(Database.SeqCount, static_cast<Long>(c.Expected.size()));
        for (Long i = 1; i <= Database.SeqCount; ++i) {
            EXPECT_EQ(std::tuple(Database.SeqArray[i].EntityType, Database.SeqArray[i].EntityIndex),
                      std::tuple(static_cast<Long>(EntityKind::PolySeg), i));
        }
        EXPECT_TRUE(MessageBoxes.Boxes.empty());
    }
}

TEST_F(PolylineReaderTest, HeaderGivesWidthLayerAndColourToEverySegmentAndExtentsAreStored) {
    ASSERT_TRUE(
        Load(EntitiesDrawing(Polyline("62|1|40|0.5", {"10|0|20|0", "10|1|20|0", "10|2|20|0"}))));
    ASSERT_EQ(Database.PolySegCount, 2);
    for (Long i = 1; i <= 2; ++i) {
        const PolySegRec& s = Database.PolySegs[i];
        EXPECT_EQ(std::tuple(s.Width, s.Color, s.LayerID), std::tuple(0.5f, 0x0010FF, 1));
    }
    // The extents hold the points as stored, mirrored by the extrusion.
    ASSERT_TRUE(Load(EntitiesDrawing(Polyline("230|-1", {"10|1|20|0", "10|2|20|3"}))));
    EXPECT_EQ(Database.Extents, (RealRect{-2, 3, -1, 0}));
}

TEST_F(PolylineReaderTest, EntityLinesBetweenVerticesArePassedOver) {
    // A foreign entity between the vertices: its lines are read one by one.
    ASSERT_TRUE(Load(EntitiesDrawing(Polyline("", {"10|0|20|0|0|LINE|8|X|10|5", "10|1|20|0"}))));
    EXPECT_EQ(Database.PolySegCount, 1);
    EXPECT_EQ(Database.LineCount, 0);
}

TEST_F(PolylineReaderTest, PolylineWithoutVerticesShowsTheReadErrorAndGoesOn) {
    ASSERT_TRUE(
        Load(EntitiesDrawing("0|POLYLINE|8|P|70|0|0|SEQEND|8|P|0|LINE|10|1|20|1|11|2|21|2")));
    ASSERT_EQ(MessageBoxes.Boxes.size(), 1u);
    EXPECT_EQ(std::tuple(MessageBoxes.Boxes[0].Text, MessageBoxes.Boxes[0].Type,
                         Database.PolySegCount, Database.LineCount),
              std::tuple("Polyline read error", platform::mb::Ok, 0, 1));
}

TEST_F(PolylineReaderTest, PolylineWithoutSeqEndEndsTheReadWithItsTrail) {
    std::string error =
        LoadError(EntitiesDrawing("0|POLYLINE|8|P|0|VERTEX|10|1|20|1|0|VERTEX|10|2|20|2"));
    EXPECT_NE(error.find("\r\n ->  DXFPoly."), std::string::npos) << error;
}

class TextReaderTest : public test::ReaderFixture {};

TEST_F(TextReaderTest, ValuesAreCleanedOfCodesAndQuotes) {
    struct Case {
        const char* Entity;
        const char* Value;
        const char* Stored;
        bool Underline;
    };
    const Case cases[] = {
        {"TEXT", "%%c50",
         "\xD8"
         "50",
         false},
        {"TEXT", "25%%d", "25\xB0", false},
        {"TEXT", "%%p0.1",
         "\xB1"
         "0.1",
         false},
        {"TEXT", "%%C%%D%%P", "\xD8\xB0\xB1", false},
        {"TEXT", "%%uTitle", "Title", true},
        {"TEXT", "A %%Uword", "A word", true},
        {"TEXT", "%%127", "27", false},
        {"TEXT", "100%%", "100", false},
        {"TEXT", "say \"hi\"", "say ''hi''", false},
        {"TEXT", "a;b", "a;b", false},
        {"TEXT", ";", ";", false},
        {"MTEXT", "\\A1;Hello", "Hello", false},
        {"MTEXT", "\\fArial|b1|i0;Bold", "Bold", false},
        {"MTEXT", "One\\PTwo", "One Two", false},
        {"MTEXT", "{\\H2.5x;big} small", "big small", false},
        {"MTEXT", "1\\S1^2; in", "11/2 in", false},
        {"MTEXT", "\\Lunder\\l \\{x\\} a\\\\b", "under {x} a\\b", false},
        {"MTEXT", "\\X unknown", "\\X unknown", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Value);
        ASSERT_TRUE(Load(DrawingWithEntities({"0", c.Entity, "8", "T", "1", c.Value, "40", "1"})));
        ASSERT_EQ(Database.TextCount, 1);
        EXPECT_EQ(std::tuple(Database.Texts[1].Text.Trimmed(), Database.Texts[1].Underline != 0),
                  std::tuple(c.Stored, c.Underline));
    }
}

TEST_F(TextReaderTest, InsertionPointFollowsTheAlignment) {
    struct Case {
        const char* Entity;
        const char* Align;
        float X, Y;
    };
    const Case cases[] = {
        {"TEXT", "0", 1, 2},   {"TEXT", "3", 1, 2},   {"TEXT", "5", 1, 2},   {"TEXT", "1", 3, 4},
        {"TEXT", "4", 3, 4},   {"TEXT", "2", 3, 2},   {"TEXT", "6", 0, 0},   {"MTEXT", "2", 1, 2},
        {"ATTRIB", "0", 1, 2}, {"ATTRIB", "1", 3, 4}, {"ATTRIB", "2", 3, 4}, {"ATTRIB", "3", 1, 2},
        {"ATTRIB", "4", 3, 2}, {"ATTRIB", "5", 1, 2}, {"ATTRIB", "9", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Entity) + " " + c.Align);
        ASSERT_TRUE(Load(DrawingWithEntities({"0", c.Entity, "8", "T", "1", "x", "10", "1", "20",
                                              "2", "11", "3", "21", "4", "72", c.Align})));
        bool attribute = std::string_view(c.Entity) == "ATTRIB";
        EXPECT_EQ(attribute ? std::tuple(Database.Attribs[1].X, Database.Attribs[1].Y)
                            : std::tuple(Database.Texts[1].X, Database.Texts[1].Y),
                  std::tuple(c.X, c.Y));
    }
}

TEST_F(TextReaderTest, StoresHeightRotationFontAndWidensTheExtents) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|TEXT|8|T|62|3|1|Plan|7|romans|10|5|20|6|40|2.5|50|30|"
                                     "0|TEXT|8|T|1|Mono|7|STANDARD|40|3.5|0|EOF")));
    ASSERT_EQ(Database.TextCount, 2);
    const TextRec& text = Database.Texts[1];
    EXPECT_EQ(std::tuple(text.Height, text.Rotation, text.Color, text.FontName.Trimmed(),
                         text.FontScalar),
              std::tuple(2.5f, 30.0f, 0x00FF00, "Arial", 1.0f));
    EXPECT_EQ(Database.Texts[2].FontName.Trimmed(), "Courier New");
    EXPECT_EQ(Options.RedlineTextHeight, 3.5f);
    EXPECT_EQ(Database.SeqArray[2].EntityType, static_cast<Long>(EntityKind::Text));
    EXPECT_EQ(Database.Extents, (RealRect{0, 6, 5, 0}));
}

TEST_F(TextReaderTest, FitAlignmentTakesTheSlopeToTheAlignmentPoint) {
    struct Case {
        const char* AlignX;
        const char* AlignY;
        float Rotation;
    };
    // Insertion point (1, 1); group 50 says 7.
    const Case cases[] = {{"2", "2", 45}, {"0", "2", 7}, {"2", "0", 7}, {"1", "3", 7}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(DrawingWithEntities({"0", "TEXT", "1", "x", "10", "1", "20", "1", "11",
                                              c.AlignX, "21", c.AlignY, "50", "7", "72", "5"})));
        EXPECT_NEAR(Database.Texts[1].Rotation, c.Rotation, 1E-3) << c.AlignX << "," << c.AlignY;
    }
}

TEST_F(TextReaderTest, MTextContinuationChunksAreJoinedBeforeTheLastPart) {
    ASSERT_TRUE(
        Load(EntitiesDrawing("0|MTEXT|3|first |3|second |1|last|0|TEXT|1|one|3|x|2|two|0|EOF")));
    EXPECT_EQ(Database.Texts[1].Text.Trimmed(), "first second last");
    EXPECT_EQ(Database.Texts[2].Text.Trimmed(), "two");
}

TEST_F(TextReaderTest, AttributesKeepTheirTextAndSkipHiddenOnes) {
    ASSERT_TRUE(
        Load(EntitiesDrawing("0|ATTRIB|8|A|1|%%c \"x\"|40|2|70|0|0|ATTRIB|8|A|1|hidden|70|1|"
                             "0|ATTDEF|1|def|70|0|0|EOF")));
    ASSERT_EQ(Database.AttribCount, 1);
    EXPECT_EQ(std::tuple(Database.Attribs[1].Text.Trimmed(), Database.Attribs[1].LayerID,
                         Database.SeqCount, Database.SeqArray[1].EntityType,
                         Options.RedlineTextHeight, Database.TextCount),
              std::tuple("%%c \"x\"", 1, 1, static_cast<Long>(EntityKind::Attrib), 0.0f, 0));
}

} // namespace
} // namespace plandra
