// The readers of single entities: what each stores, and how it widens the extents.
#include "reader_fixture.h"

#include <cmath>

namespace plandra {
namespace {

using test::Dxf;
using test::EntitiesDrawing;

class EntityReadersTest : public test::ReaderFixture {};

TEST_F(EntityReadersTest, LineStoresEndPointsLayerColourAndPenStyle) {
    ASSERT_TRUE(Load(
        EntitiesDrawing("0|LINE|8|Walls|6|DASHDOT|62|3|10|1.5|20|-2|30|9|11|4|21|5|31|9|0|EOF")));
    ASSERT_EQ(Database.LineCount, 1);
    const LineRec& line = Database.Lines[1];
    EXPECT_EQ(line.X1, 1.5f);
    EXPECT_EQ(line.Y1, -2.0f);
    EXPECT_EQ(line.X2, 4.0f);
    EXPECT_EQ(line.Y2, 5.0f);
    EXPECT_EQ(line.LayerID, 1);
    EXPECT_EQ(line.Color, 0x00FF00);
    EXPECT_EQ(line.PenStyle, 3);
    EXPECT_EQ(line.Redline, IntegerFalse);
    EXPECT_EQ(line.Deleted, IntegerFalse);
    EXPECT_EQ(Database.Extents, (RealRect{1.5f, 5, 4, -2}));
}

TEST_F(EntityReadersTest, LineWithOnlyItsStartPointEndsAtTheOrigin) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|LINE|10|3|20|4|0|EOF")));
    EXPECT_EQ(Database.Lines[1].X2, 0.0f);
    EXPECT_EQ(Database.Lines[1].Y2, 0.0f);
    EXPECT_EQ(Database.Extents, (RealRect{0, 4, 3, 0}));
}

TEST_F(EntityReadersTest, ColourNumber256IsWhiteAndOnlyAnAbsentColourTakesTheLayers) {
    ASSERT_TRUE(Load(test::Section("TABLES", "0|TABLE|2|LAYER|0|LAYER|2|RED|62|1|0|ENDTAB") +
                     Dxf("0|SECTION|2|ENTITIES|0|POINT|8|RED|62|256|0|POINT|8|red|0|EOF")));
    EXPECT_EQ(Database.Points[1].Color, 0xFFFFFF);
    EXPECT_EQ(Database.Points[2].Color, 0x0010FF);
    EXPECT_EQ(Database.Points[2].LayerID, 1);
}

TEST_F(EntityReadersTest, CirclesAndArcsNormalizeAnglesAndWidenTheExtentsByTheirKind) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|CIRCLE|8|0|10|10|20|10|40|2|"
                                     "0|ARC|8|0|10|100|20|0|40|1|50|450|51|90|"
                                     "0|ARC|8|0|10|0|20|-50|40|10|50|-90|51|0|0|EOF")));
    ASSERT_EQ(Database.ArcCount, 3);
    EXPECT_EQ(Database.Arcs[1].StartAngle, 0.0f);
    EXPECT_EQ(Database.Arcs[1].EndAngle, 0.0f);
    EXPECT_EQ(Database.Arcs[2].StartAngle, 90.0f);
    EXPECT_EQ(Database.Arcs[2].EndAngle, 90.0f);
    EXPECT_EQ(Database.Arcs[3].StartAngle, -90.0f);

    // The circle's square, the second arc's square (equal angles count as a circle)
    // and the third arc's two end points only: (0, -60) and (10, -50).
    const RealRect& extents = Database.Extents;
    EXPECT_NEAR(extents.Left, 0.0f, 1e-4) << "cos of 90 degrees with pi as 3.14159";
    EXPECT_EQ(extents.Right, 101.0f);
    EXPECT_EQ(extents.Top, 12.0f);
    EXPECT_NEAR(extents.Bottom, -60.0f, 1e-3);
}

TEST_F(EntityReadersTest, EllipseStoresItsAxisAndReducesOnlyTheEndParameter) {
    ASSERT_TRUE(Load(
        EntitiesDrawing("0|ELLIPSE|8|0|6|DOT|10|5|20|6|11|3|21|0|40|0.5|41|400|42|725|0|EOF")));
    ASSERT_EQ(Database.EllipseCount, 1);
    const EllipseRec& ellipse = Database.Ellipses[1];
    EXPECT_EQ(ellipse.CenterX, 5.0f);
    EXPECT_EQ(ellipse.MajorX, 3.0f);
    EXPECT_EQ(ellipse.Ratio, 0.5f);
    EXPECT_EQ(ellipse.StartParam, 400.0f);
    EXPECT_EQ(ellipse.EndParam, 5.0f);
    EXPECT_EQ(ellipse.PenStyle, 2);
    EXPECT_EQ(Database.SeqArray[1].EntityType, 9);
    EXPECT_EQ(Database.Extents, EmptyExtents) << "ellipses and points leave the extents alone";
}

TEST_F(EntityReadersTest, SolidCornersAreStoredInPolygonOrder) {
    ASSERT_TRUE(Load(EntitiesDrawing("0|SOLID|8|0|10|0|20|0|11|1|21|0|12|0|22|1|13|1|23|1|"
                                     "0|SOLID|10|5|20|5|0|EOF")));
    ASSERT_EQ(Database.SolidCount, 2);
    const SolidRec& square = Database.Solids[1];
    const float corners[8] = {square.X1, square.Y1, square.X2, square.Y2,
                              square.X3, square.Y3, square.X4, square.Y4};
    const float expected[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(corners[i], expected[i]) << i;
    }
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
        EXPECT_EQ(edge.X1, expected[i - 1][0]) << i;
        EXPECT_EQ(edge.Y1, expected[i - 1][1]) << i;
        EXPECT_EQ(edge.X2, expected[i - 1][2]) << i;
        EXPECT_EQ(edge.Y2, expected[i - 1][3]) << i;
        EXPECT_EQ(edge.PenStyle, 4);
        EXPECT_EQ(edge.Color, 0xFF1000);
        EXPECT_EQ(Database.SeqArray[i].EntityIndex, i);
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
        EXPECT_EQ(Database.Lines[i].X1, static_cast<float>(i));
        EXPECT_EQ(Database.Points[i].X, static_cast<float>(i));
        EXPECT_EQ(Database.SeqArray[2 * i - 1].EntityType, 1);
        EXPECT_EQ(Database.SeqArray[2 * i].EntityIndex, i);
    }
}

} // namespace
} // namespace plandra
