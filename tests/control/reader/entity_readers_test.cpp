// The readers of single entities: what each stores, and how it widens the extents.
#include "reader_fixture.h"

#include <cmath>
#include <tuple>
#include <vector>

namespace plandra {
namespace {

using test::Dxf;
using test::EntitiesDrawing;

class EntityReadersTest : public test::ReaderFixture {};

TEST_F(EntityReadersTest, LineStoresEndPointsLayerColourAndPenStyleAndEndsAtTheOriginWithout) {
    ASSERT_TRUE(Load(
        EntitiesDrawing("0|LINE|8|Walls|6|DASHDOT|62|3|10|1.5|20|-2|30|9|11|4|21|5|31|9|0|EOF")));
    ASSERT_EQ(Database.LineCount, 1);
    const LineRec& l = Database.Lines[1];
    EXPECT_EQ(
        std::tuple(l.X1, l.Y1, l.X2, l.Y2, l.LayerID, l.Color, l.PenStyle, l.Redline, l.Deleted),
        std::tuple(1.5f, -2.0f, 4.0f, 5.0f, 1, 0x00FF00, 3, IntegerFalse, IntegerFalse));
    EXPECT_EQ(Database.Extents, (RealRect{1.5f, 5, 4, -2}));

    // A line with only its start point ends at the origin.
    ASSERT_TRUE(Load(EntitiesDrawing("0|LINE|10|3|20|4|0|EOF")));
    EXPECT_EQ(std::tuple(Database.Lines[1].X2, Database.Lines[1].Y2), std::tuple(0.0f, 0.0f));
    EXPECT_EQ(Database.Extents, (RealRect{0, 4, 3, 0}));
}

TEST_F(EntityReadersTest, ColourNumber256IsWhiteAndOnlyAnAbsentColourTakesTheLayers) {
    ASSERT_TRUE(Load(test::Section("TABLES", "0|TABLE|2|LAYER|0|LAYER|2|RED|62|1|0|ENDTAB") +
                     Dxf("0|SECTION|2|ENTITIES|0|POINT|8|RED|62|256|0|POINT|8|red|0|EOF")));
    EXPECT_EQ(
        std::tuple(Database.Points[1].Color, Database.Points[2].Color, Database.Points[2].LayerID),
        std::tuple(0xFFFFFF, 0x0010FF, 1));
}

TEST_F(EntityReadersTest, CirclesAndArcsNormalizeAnglesAndWidenTheExtentsByTheirKind) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|CIRCLE|8|0|10|10|20|10|40|2|"
                                     "0|ARC|8|0|10|100|20|0|40|1|50|450|51|90|"
                                     "0|ARC|8|0|10|0|20|-50|40|10|50|-90|51|0|0|EOF")));
    ASSERT_EQ(Database.ArcCount, 3);
    const ArcRec* arcs = &Database.Arcs[0];
    EXPECT_EQ((std::vector{arcs[1].StartAngle, arcs[1].EndAngle, arcs[2].StartAngle,
                           arcs[2].EndAngle, arcs[3].StartAngle}),
              (std::vector<float>{0, 0, 90, 90, -90}));

    // The circle's square, the second arc's square (equal angles count as a circle)
    // and the third arc's two end points only: (0, -60) and (10, -50).
    // The left is the cosine of 90 degrees with pi as 3.14159, not quite 0.
    const RealRect& e = Database.Extents;
    test::ExpectNear({e.Left, e.Right, e.Top, e.Bottom / 10}, {0, 101, 12, -6});
}

TEST_F(EntityReadersTest, EllipseStoresItsAxisAndReducesOnlyTheEndParameter) {
    ASSERT_TRUE(Load(
        EntitiesDrawing("0|ELLIPSE|8|0|6|DOT|10|5|20|6|11|3|21|0|40|0.5|41|400|42|725|0|EOF")));
    ASSERT_EQ(Database.EllipseCount, 1);
    const EllipseRec& e = Database.Ellipses[1];
    EXPECT_EQ(std::tuple(e.CenterX, e.MajorX, e.Ratio, e.StartParam, e.EndParam, e.PenStyle),
              std::tuple(5.0f, 3.0f, 0.5f, 400.0f, 5.0f, 2));
    EXPECT_EQ(Database.SeqArray[1].EntityType, 9);
    EXPECT_EQ(Database.Extents, EmptyExtents) << "ellipses and points leave the extents alone";
}

TEST_F(EntityReadersTest, SolidCornersAreStoredInPolygonOrder) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|SOLID|8|0|10|0|20|0|11|1|21|0|12|0|22|1|13|1|23|1|"
                                     "0|SOLID|10|5|20|5|0|EOF")));
    ASSERT_EQ(Database.SolidCount, 2);
    const SolidRec& square = Database.Solids[1];
    EXPECT_EQ((std::vector{square.X1, square.Y1, square.X2, square.Y2, square.X3, square.Y3,
                           square.X4, square.Y4}),
              (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1}));
    // The second solid omits corners 2 to 4, which therefore lie at the origin.
    EXPECT_EQ(Database.Solids[2].X4, 0.0f);
    EXPECT_EQ(Database.Extents, (RealRect{0, 5, 5, 0}));
}

TEST_F(EntityReadersTest, A3DFaceBecomesFourLinesAndWidensOnlyByItsFirstEdge) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|3DFACE|8|0|6|PHANTOM|62|5|10|0|20|0|11|2|21|0|12|2|22|3|"
                                     "13|-1|23|3|0|EOF")));
    ASSERT_EQ(Database.LineCount, 4);
    ASSERT_EQ(Database.SeqCount, 4);
    const float expected[4][4] = {{0, 0, 2, 0}, {2, 0, 2, 3}, {2, 3, -1, 3}, {-1, 3, 0, 0}};
    for (Long i = 1; i <= 4; ++i) {
        const LineRec& edge = Database.Lines[i];
        const float* e = expected[i - 1];
        EXPECT_EQ(std::tuple(edge.X1, edge.Y1, edge.X2, edge.Y2, edge.PenStyle, edge.Color,
                             Database.SeqArray[i].EntityIndex),
                  std::tuple(e[0], e[1], e[2], e[3], 4, 0xFF1000, i));
    }
    EXPECT_EQ(Database.Extents, (RealRect{0, 0, 2, 0}));
}

TEST_F(EntityReadersTest, EntitiesWhoseReadersComeLaterArePassedOver) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|INSERT|2|B|10|1|0|DIMENSION|2|D|0|EOF")));
    EXPECT_EQ(Database.SeqCount, 0);
}

TEST_F(EntityReadersTest, ManyEntitiesKeepEveryRecordThroughGrowth) {
    std::string entities;
    for (int i = 1; i <= 250; ++i) {
        std::string x = std::to_string(i);
        entities += "0|LINE|8|L|10|" + x + "|20|0|11|" + x + "|21|1|0|POINT|10|" + x + "|20|2|";
    }
    ASSERT_TRUE(Load(EntitiesDrawing(entities + "0|EOF")));
    ASSERT_EQ(Database.LineCount, 250);
    ASSERT_EQ(Database.PointCount, 250);
    ASSERT_EQ(Database.SeqCount, 500);
    for (Long i = 1; i <= 250; ++i) {
        EXPECT_EQ(std::tuple(Database.Lines[i].X1, Database.Points[i].X,
                             Database.SeqArray[2 * i - 1].EntityType,
                             Database.SeqArray[2 * i].EntityIndex),
                  std::tuple(static_cast<float>(i), static_cast<float>(i), 1, i));
    }
}

} // namespace
} // namespace plandra
