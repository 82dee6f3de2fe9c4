// The redline creation methods on the database: the fields each stores, the layer it
// lands on, and bad values that leave counts, sequence and extents as they were.
#include "control/database/layer_lookup.h"
#include "control/redline/redline_entities.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace plandra {
namespace {

class RedlineEntities : public ::testing::Test {
protected:
    RedlineEntities() {
        Database.InitDB(true);
        Database.Layers().Add(IntegerTrue, 0, "0", IntegerFalse, false);
        Database.Layers().Add(IntegerTrue, 0, "MARKUP", IntegerFalse, false);
    }
    DrawingDatabase Database;
};

TEST_F(RedlineEntities, StoreTheFieldsTheWriterNeedsWithExactGrowth) {
    EXPECT_EQ(DXFAddLine(Database, 1, 2, 3, 4, " markup "), 1);
    const LineRec& line = Database.Lines[1];
    // End point first: a written file gives (1, 2) under groups 10 and 20.
    EXPECT_EQ((std::array{line.X1, line.Y1, line.X2, line.Y2}), (std::array{3.f, 4.f, 1.f, 2.f}));
    EXPECT_EQ(line.LayerID + line.Redline, 2 - 1);
    EXPECT_EQ(DXFAddCircle(Database, 0, 0, 3, 4, "MARKUP"), 1);
    EXPECT_EQ(Database.Arcs[1].Radius, 5);
    const std::array<std::string, 3> texts = {"say \"hi\"; done", "two\r\nlines",
                                              std::string(300, 'x')};
    for (const std::string& text : texts) {
        DXFAddText(Database, {5, 6, text, 2.5f, 1, 30}, "MARKUP");
    }
    EXPECT_EQ(Database.Texts[1].Text.Trimmed(), texts[0]);
    EXPECT_EQ(Database.Texts[2].Text.Trimmed(), "two  lines");
    EXPECT_EQ(Database.Texts[3].Text.Trimmed(), std::string(100, 'x'));
    EXPECT_EQ(Database.Texts[3].FontName.Trimmed(), "Arial");
    EXPECT_EQ(Database.LineCount, Database.Lines.UpperBound());
    EXPECT_EQ(Database.SeqArray.UpperBound(), 5);
    EXPECT_EQ(Database.Extents, (RealRect{-5, 6, 5, -5}));
}

TEST_F(RedlineEntities, EmptyNamesGoToLayerZeroAndUnknownOrRenamedOnesAddALayer) {
    SetLayerID(Database, "OLD"); // remembered at position 3 for the load
    Database.Layers().Item(3)->LayerName = "RENAMED";
    DXFAddLine(Database, 0, 0, 1, 1, "  ");
    DXFAddLine(Database, 0, 0, 1, 1, "OLD");
    EXPECT_EQ(Database.Lines[1].LayerID, 1);
    EXPECT_EQ(Database.Lines[2].LayerID, 4);
}

TEST_F(RedlineEntities, BadNumbersRaiseAndLeaveTheDatabaseAsItWas) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::pair<std::function<void()>, RuntimeError> cases[] = {
        {[&] { DXFAddLine(Database, nan, 0, 1, 1, "X"); }, RuntimeError::InvalidArgument},
        {[&] {
             DXFAddSolid(Database, {0, 0, 0, 0, 0, 0, 0, -inf}, "X");
         },
         RuntimeError::Overflow},
        {[&] { DXFAddCircle(Database, -3E38f, 0, 3E38f, 0, "X"); }, RuntimeError::Overflow},
        {[&] {
             DXFAddText(Database, {0, 0, "t", nan, 0, 0}, "X");
         },
         RuntimeError::InvalidArgument},
    };
    for (const auto& [add, expected] : cases) {
        try {
            add();
            ADD_FAILURE() << "no error";
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Number, static_cast<std::int32_t>(expected));
        }
    }
    EXPECT_EQ(Database.SeqCount, 0);
    EXPECT_EQ(Database.Layers().Count(), 2);
    EXPECT_EQ(Database.Extents, EmptyExtents);
}

} // namespace
} // namespace plandra
