// The redline creation methods on the database: the fields each stores, the layer it
// lands on, and bad values that leave counts, sequence and extents as they were.
#include "control/database/layer_lookup.h"
#include "control/redline/redline_entities.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>

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
    EXPECT_EQ(DXFAddLine(Database, 1, 2, 3, 4, "markup"), 1);
    const LineRec& line = Database.Lines[1];
    // End point first: a written file gives (1, 2) under groups 10 and 20.
    EXPECT_EQ((std::array{line.X1, line.Y1, line.X2, line.Y2}), (std::array{3.f, 4.f, 1.f, 2.f}));
    EXPECT_EQ((std::array<Long, 3>{line.LayerID, line.Redline, line.Deleted}),
              (std::array<Long, 3>{2, -1, 0}));
    EXPECT_EQ(DXFAddCircle(Database, 0, 0, 3, 4, " MARKUP "), 1);
    EXPECT_EQ(Database.Arcs[1].Radius, 5);
    EXPECT_EQ(DXFAddSolid(Database, {1, 2, 3, 4, 5, 6, 7, 8}, "MARKUP"), 1);
    EXPECT_EQ(Database.Solids[1].X4, 7); // argument order
    EXPECT_EQ(Database.LineCount, Database.Lines.UpperBound());
    EXPECT_EQ(Database.SeqCount, 3);
    EXPECT_EQ(Database.SeqArray.UpperBound(), 3);
    EXPECT_EQ(Database.SeqArray[3].EntityType, static_cast<Long>(EntityKind::Solid));
    EXPECT_EQ(Database.Extents, (RealRect{-5, 8, 7, -5}));
}

TEST_F(RedlineEntities, TextsAreOneLineOfOneHundredCharactersInArial) {
    const struct {
        std::string Text;
        std::string Stored;
    } cases[] = {
        {"say \"hi\"; done", "say \"hi\"; done"},
        {"two\r\nlines", "two  lines"},
        {std::string(300, 'x'), std::string(100, 'x')},
    };
    for (const auto& c : cases) {
        Long index = DXFAddText(Database, {5, 6, c.Text, 2.5f, 1, 30}, "MARKUP");
        const TextRec& text = Database.Texts[index];
        EXPECT_EQ(text.Text.Trimmed(), c.Stored);
        EXPECT_EQ(text.FontName.Trimmed(), "Arial");
    }
}

TEST_F(RedlineEntities, EmptyNamesGoToLayerZeroAndUnknownOrRenamedOnesAddALayer) {
    SetLayerID(Database, "OLD"); // remembered at position 3 for the load
    Database.Layers().Item(3)->LayerName = "RENAMED";
    DXFAddLine(Database, 0, 0, 1, 1, "  ");
    DXFAddLine(Database, 0, 0, 1, 1, "OLD");
    EXPECT_EQ(Database.Lines[1].LayerID, 1);
    EXPECT_EQ(Database.Lines[2].LayerID, 4);
    EXPECT_EQ(Database.Layers().Count(), 4);
}

TEST_F(RedlineEntities, BadNumbersRaiseAndLeaveTheDatabaseAsItWas) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    DXFAddLine(Database, 0, 0, 1, 1, "MARKUP");
    const RealRect extents = Database.Extents;
    const struct {
        std::function<void()> Add;
        RuntimeError Error;
    } cases[] = {
        {[&] { DXFAddLine(Database, nan, 0, 1, 1, "MARKUP"); }, RuntimeError::InvalidArgument},
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
    for (const auto& c : cases) {
        try {
            c.Add();
            ADD_FAILURE() << "no error";
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Number, static_cast<std::int32_t>(c.Error));
        }
    }
    EXPECT_EQ(Database.SeqCount, 1);
    EXPECT_EQ(Database.LineCount + Database.ArcCount + Database.SolidCount + Database.TextCount, 1);
    EXPECT_EQ(Database.Layers().Count(), 2);
    EXPECT_EQ(Database.Extents, extents);
}

} // namespace
} // namespace plandra
