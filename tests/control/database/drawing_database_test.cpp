// The drawing database: how InitDB dimensions and empties it, how its arrays grow,
// the sequence of records, the extents and the bounds of the record arrays.
#include "control/database/drawing_database.h"
#include "support/control_error_of.h"

#include <array>
#include <gtest/gtest.h>
#include <limits>
#include <tuple>

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

    const DrawingDatabase& d = database;
    // Sequence, lines, polyline segments, texts, arcs, solids, attributes, blocks, inserts.
    EXPECT_EQ(
        (std::array{d.SeqArray.UpperBound(), d.Lines.UpperBound(), d.PolySegs.UpperBound(),
                    d.Texts.UpperBound(), d.Arcs.UpperBound(), d.Solids.UpperBound(),
                    d.Attribs.UpperBound(), d.Blocks.UpperBound(), d.PendingInserts.UpperBound()}),
        (std::array<Long, 9>{100, 50, 50, 50, 10, 10, 5, 5, 0}));
    // Points and ellipses start again too, so counts do not carry over to the next drawing.
    EXPECT_EQ((std::array{d.LineCount, d.SeqCount, d.PointCount, d.EllipseCount}),
              (std::array<Long, 4>{}));
    EXPECT_FALSE(database.InBlock);
    ASSERT_TRUE(database.colLayers);
    EXPECT_EQ(database.colLayers->Count(), 0);
}

TEST(DrawingDatabase, PartialInitDBKeepsTheDrawingAndEmptiesOnlyTheBlocks) {
    DrawingDatabase database;
    database.InitDB(true);
    database.Append(LineAt(1), 100);
    auto layers = database.colLayers;
    database.Blocks.Dimension(40);
    database.InBlock = true;

    database.InitDB(false);

    EXPECT_EQ(std::tuple(database.LineCount, database.SeqCount, database.Blocks.UpperBound(),
                         database.InBlock),
              std::tuple(1, 1, 5, false));
    EXPECT_EQ(database.colLayers, layers);
}

TEST(DrawingDatabase, ArraysGrowByTheCallersIncrementAndKeepTheirRecords) {
    DrawingDatabase database;
    database.InitDB(true);
    for (int i = 1; i <= 51; ++i) {
        database.Append(LineAt(static_cast<float>(i)), 100);
        database.Append(TextRec{}, 50);
    }
    EXPECT_EQ(database.Lines.UpperBound(), 150);
    for (int i = 1; i <= 51; ++i) {
        EXPECT_EQ(database.Lines[i].X1, static_cast<float>(i));
    }
    EXPECT_EQ(database.Texts.UpperBound(), 100);

    // Points are created by the growth rule on first use.
    for (int i = 1; i <= 101; ++i) {
        database.Append(PointRec{}, 100);
    }
    EXPECT_EQ(database.Points.UpperBound(), 200);
    EXPECT_EQ(database.SeqCount, 203);
    EXPECT_EQ(database.SeqArray.UpperBound(), 300);
}

TEST(DrawingDatabase, SequenceListsEveryRecordOnceInReadingOrderAndGrowsByOneHundred) {
    DrawingDatabase database;
    database.InitDB(true);
    database.Append(LineAt(1), 100);
    database.Append(ArcRec{}, 10);
    database.Append(LineAt(2), 100);

    ASSERT_EQ(database.SeqCount, 3);
    const std::pair<Long, Long> expected[] = {{1, 1}, {4, 1}, {1, 2}}; // kind and index
    for (Long i = 1; i <= 3; ++i) {
        EXPECT_EQ(std::pair(database.SeqArray[i].EntityType, database.SeqArray[i].EntityIndex),
                  expected[i - 1])
            << i;
    }
    // ExpandSeqArray adds one hundred elements.
    database.SeqArray[100] = SeqEntry{5, 9};
    EXPECT_TRUE(database.ExpandSeqArray());
    EXPECT_EQ(std::tuple(database.SeqArray.UpperBound(), database.SeqArray[100].EntityIndex,
                         database.SeqArray[200].EntityIndex),
              std::tuple(200, 9, 0));
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

TEST(RecordArray, IndexesOutsideTheBoundsRaiseSubscriptOutOfRange) {
    RecordArray<LineRec> lines;
    lines.Dimension(3);
    lines.Store(5, LineRec{}, 10); // grows to 5 - 1 + 10
    for (Long index : {Long{-1}, Long{15}, std::numeric_limits<Long>::min()}) {
        EXPECT_EQ(test::ErrorOf([&] { lines[index].X1 = 1; }).Description, "Subscript out of range")
            << index;
    }
    EXPECT_THROW(lines.Store(-1, LineRec{}, 10), ControlError);
    EXPECT_NO_THROW(lines[14].X1 = 1);
}

} // namespace
} // namespace plandra
