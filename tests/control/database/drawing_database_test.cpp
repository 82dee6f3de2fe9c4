#include "control/database/drawing_database.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

LineRec LineAt(float x) {
    LineRec line;
    line.X1 = x;
    return line;
}

TEST(DrawingDatabase, InitDBDimensionsEveryArrayAndEmptiesTheCounters) {
    DrawingDatabase database;
    database.LineCount = 7;
    database.PointCount = 3;
    database.EllipseCount = 2;
    database.SeqCount = 12;
    database.InBlock = true;
    database.Layers().Add(IntegerTrue, 0, "OLD", IntegerFalse, false);

    ASSERT_TRUE(database.InitDB(true));

    EXPECT_EQ(database.SeqArray.UpperBound(), 100);
    EXPECT_EQ(database.Lines.UpperBound(), 50);
    EXPECT_EQ(database.PolySegs.UpperBound(), 50);
    EXPECT_EQ(database.Texts.UpperBound(), 50);
    EXPECT_EQ(database.Arcs.UpperBound(), 10);
    EXPECT_EQ(database.Solids.UpperBound(), 10);
    EXPECT_EQ(database.Attribs.UpperBound(), 5);
    EXPECT_EQ(database.Blocks.UpperBound(), 5);
    EXPECT_EQ(database.PendingInserts.UpperBound(), 0);
    EXPECT_EQ(database.LineCount, 0);
    EXPECT_EQ(database.SeqCount, 0);
    // Points and ellipses start again too, so counts do not carry over to the next drawing.
    EXPECT_EQ(database.PointCount, 0);
    EXPECT_EQ(database.EllipseCount, 0);
    EXPECT_FALSE(database.InBlock);
    ASSERT_TRUE(database.colLayers);
    EXPECT_EQ(database.colLayers->Count(), 0);
}

TEST(DrawingDatabase, PartialInitDBKeepsTheDrawingAndEmptiesOnlyTheBlocks) {
    DrawingDatabase database;
    database.InitDB(true);
    database.AppendEntity(EntityKind::Line, database.Lines, database.LineCount, LineAt(1), 100);
    auto layers = database.colLayers;
    database.Blocks.Dimension(40);
    database.InBlock = true;

    database.InitDB(false);

    EXPECT_EQ(database.LineCount, 1);
    EXPECT_EQ(database.SeqCount, 1);
    EXPECT_EQ(database.colLayers, layers);
    EXPECT_EQ(database.Blocks.UpperBound(), 5);
    EXPECT_FALSE(database.InBlock);
}

TEST(DrawingDatabase, GrowthFollowsTheDocumentedIncrementsAndKeepsRecords) {
    DrawingDatabase database;
    database.InitDB(true);
    for (int i = 1; i <= 51; ++i) {
        database.AppendEntity(EntityKind::Line, database.Lines, database.LineCount,
                              LineAt(static_cast<float>(i)), 100);
    }
    EXPECT_EQ(database.Lines.UpperBound(), 150);
    for (int i = 1; i <= 51; ++i) {
        EXPECT_EQ(database.Lines[i].X1, static_cast<float>(i));
    }

    for (int i = 1; i <= 51; ++i) {
        database.AppendEntity(EntityKind::Text, database.Texts, database.TextCount, TextRec{}, 50);
    }
    EXPECT_EQ(database.Texts.UpperBound(), 100);

    // Points are created by the growth rule on first use.
    for (int i = 1; i <= 101; ++i) {
        database.AppendEntity(EntityKind::Point, database.Points, database.PointCount, PointRec{},
                              100);
    }
    EXPECT_EQ(database.Points.UpperBound(), 200);
    EXPECT_EQ(database.SeqCount, 203);
    EXPECT_EQ(database.SeqArray.UpperBound(), 300);
}

TEST(DrawingDatabase, SequenceListsEveryRecordOnceInReadingOrder) {
    DrawingDatabase database;
    database.InitDB(true);
    database.AppendEntity(EntityKind::Line, database.Lines, database.LineCount, LineAt(1), 100);
    database.AppendEntity(EntityKind::Arc, database.Arcs, database.ArcCount, ArcRec{}, 10);
    database.AppendEntity(EntityKind::Line, database.Lines, database.LineCount, LineAt(2), 100);

    ASSERT_EQ(database.SeqCount, 3);
    EXPECT_EQ(database.SeqArray[1].EntityType, 1);
    EXPECT_EQ(database.SeqArray[1].EntityIndex, 1);
    EXPECT_EQ(database.SeqArray[2].EntityType, 4);
    EXPECT_EQ(database.SeqArray[2].EntityIndex, 1);
    EXPECT_EQ(database.SeqArray[3].EntityType, 1);
    EXPECT_EQ(database.SeqArray[3].EntityIndex, 2);
}

TEST(DrawingDatabase, ExpandSeqArrayAddsOneHundredElements) {
    DrawingDatabase database;
    database.InitDB(true);
    database.SeqArray[100] = SeqEntry{5, 9};
    EXPECT_TRUE(database.ExpandSeqArray());
    EXPECT_EQ(database.SeqArray.UpperBound(), 200);
    EXPECT_EQ(database.SeqArray[100].EntityIndex, 9);
    EXPECT_EQ(database.SeqArray[200].EntityIndex, 0);
}

TEST(DrawingDatabase, CheckExtentsWidensFromTheEmptyStartOnAllFourSides) {
    DrawingDatabase database;
    EXPECT_EQ(database.Extents, EmptyExtents);
    database.CheckExtents(3, -2, 1, 5);
    EXPECT_EQ(database.Extents, (RealRect{1, 5, 3, -2}));
    database.CheckExtents(2, 0, 2, 0);
    EXPECT_EQ(database.Extents, (RealRect{1, 5, 3, -2}));
    database.CheckExtents(-10, 10, 20, -20);
    EXPECT_EQ(database.Extents, (RealRect{-10, 10, 20, -20}));
}

} // namespace
} // namespace plandra
