// Finding layers by name, and the colour and visibility a layer gives its entities.
#include "control/database/control_error.h"
#include "control/database/layer_lookup.h"

#include <gtest/gtest.h>
#include <tuple>

namespace plandra {
namespace {

TEST(LayerLookup, SetLayerIDMatchesTrimmedNamesWithoutRegardToCaseAndAddsMissingOnes) {
    DrawingDatabase database;
    database.InitDB(true);
    database.Layers().Add(IntegerTrue, 0xFF, "WALLS ", IntegerFalse, false);
    database.Layers().Add(IntegerTrue, 0xFF00, "Doors", IntegerFalse, false);

    // Accented names match in upper case; the argument itself is not trimmed, so " Doors"
    // is a new layer.
    for (auto [name, id] : {std::pair{"Walls", 1},
                            {"walls", 1},
                            {"DOORS", 2},
                            {"\xE9t\xE9", 3},
                            {"\xC9T\xC9", 3},
                            {" Doors", 4}}) {
        EXPECT_EQ(SetLayerID(database, name), id) << name;
    }
    EXPECT_EQ(database.colLayers->Count(), 4);
    // Added layers are black and on.
    const DXFLayer& l = *database.colLayers->Item(4);
    EXPECT_EQ(std::tuple(l.LayerName, l.LayerColor, l.LayerOn, l.NewLayer, l.GetRedlineLayer()),
              std::tuple(" Doors", 0, IntegerTrue, IntegerFalse, false));
}

TEST(LayerLookup, SetLayerIDFindsTheFirstMatchAfterTheHostRenamesLayers) {
    DrawingDatabase database;
    database.InitDB(true);
    database.Layers().Add(IntegerTrue, 0, "A", IntegerFalse, false);
    database.Layers().Add(IntegerTrue, 0, "B", IntegerFalse, false);
    EXPECT_EQ(SetLayerID(database, "B"), 2);
    database.colLayers->Item(1)->LayerName = "B";
    database.LayerPositions.Clear(); // as every new load does
    EXPECT_EQ(SetLayerID(database, "B"), 1);
    database.colLayers->Item(1)->LayerName = "A";
    database.LayerPositions.Clear();
    EXPECT_EQ(SetLayerID(database, "B"), 2);
}

TEST(LayerLookup, LayerDrawColorAppliesTheColourRuleAndLayerIsOnReadsTheLayer) {
    DrawingDatabase database;
    DrawingOptions options;
    EXPECT_EQ(LayerDrawColor(database, options, 1, 0x123456), 0x123456)
        << "no layer collection yet: the entity's colour";

    database.InitDB(true);
    database.Layers().Add(IntegerTrue, 0x000000, "BLACK", IntegerFalse, false);
    database.Layers().Add(IntegerTrue, 0xFFFFFF, "WHITE", IntegerFalse, false);
    database.Layers().Add(IntegerTrue, 0x0000FF, "RED", IntegerFalse, false);

    options.BackColor = 0x000000;
    EXPECT_EQ(LayerDrawColor(database, options, 1, 0x55), 0xFFFFFF);
    EXPECT_EQ(LayerDrawColor(database, options, 2, 0x55), 0xFFFFFF);
    options.BackColor = 0xFFFFFF;
    EXPECT_EQ(LayerDrawColor(database, options, 1, 0x55), 0x000000);
    EXPECT_EQ(LayerDrawColor(database, options, 2, 0x55), 0x000000);
    EXPECT_EQ(LayerDrawColor(database, options, 3, 0x55), 0x0000FF);
    options.PrintAllBlack = true;
    EXPECT_EQ(LayerDrawColor(database, options, 3, 0x55), 0x000000);

    database.Layers().Add(IntegerFalse, 0, "OFF", IntegerFalse, false);
    EXPECT_TRUE(LayerIsOn(database, 3));
    EXPECT_FALSE(LayerIsOn(database, 4));
    EXPECT_THROW(LayerIsOn(database, 5), ControlError);
}

} // namespace
} // namespace plandra
