// The layer collection the host sees: adding, finding, removing and its position errors.
#include "control/database/control_error.h"
#include "control/database/dxf_layers.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(DxfLayers, AddAppendsInOrderAndRemoveMovesLaterLayersDown) {
    DXFLayers layers;
    auto first = layers.Add(IntegerTrue, 0x0000FF, "Walls ", IntegerFalse, false, "ignored key");
    auto second = layers.Add(IntegerFalse, 0xFFFFFF, "MARKUP", IntegerTrue, true);

    ASSERT_EQ(layers.Count(), 2);
    EXPECT_EQ(layers.Item(1), first);
    EXPECT_EQ(layers.Item(2), second);
    EXPECT_EQ(first->LayerName, "Walls ");
    EXPECT_EQ(first->LayerColor, 0x0000FF);
    EXPECT_EQ(first->LayerOn, IntegerTrue);
    EXPECT_FALSE(first->GetRedlineLayer());
    EXPECT_EQ(second->NewLayer, IntegerTrue);
    EXPECT_TRUE(second->GetRedlineLayer());
    layers.Remove(1);
    ASSERT_EQ(layers.Count(), 1);
    EXPECT_EQ(layers.Item(1), second);
}

TEST(DxfLayers, CheckDuplicateLayerComparesExactly) {
    DXFLayers layers;
    layers.Add(IntegerTrue, 0, "WALLS", IntegerFalse, false);
    std::string error = "stale";
    bool exists = true;

    EXPECT_TRUE(layers.CheckDuplicateLayer(error, exists, "Walls"));
    EXPECT_FALSE(exists);
    EXPECT_EQ(error, "");
    EXPECT_TRUE(layers.CheckDuplicateLayer(error, exists, "WALLS "));
    EXPECT_FALSE(exists);
    EXPECT_TRUE(layers.CheckDuplicateLayer(error, exists, "WALLS"));
    EXPECT_TRUE(exists);
}

TEST(DxfLayers, PositionsOutsideTheCollectionRaiseTheInvalidArgumentError) {
    DXFLayers layers;
    layers.Add(IntegerTrue, 0, "A", IntegerFalse, false);
    for (Long position : {0, 2, -1}) {
        try {
            layers.Item(position);
            FAIL() << "position " << position;
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Number, 5);
            EXPECT_EQ(error.Description, "Invalid procedure call or argument");
        }
    }
    EXPECT_THROW(layers.Remove(3), ControlError);
}

} // namespace
} // namespace plandra
