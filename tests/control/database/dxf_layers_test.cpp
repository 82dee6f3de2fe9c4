// The layer collection the host sees: adding, finding, removing and its position errors.
#include "control/database/control_error.h"
#include "control/database/dxf_layers.h"
#include "support/control_error_of.h"

#include <gtest/gtest.h>
#include <tuple>

namespace plandra {
namespace {

TEST(DxfLayers, AddAppendsInOrderAndRemoveMovesLaterLayersDown) {
    DXFLayers layers;
    auto first = layers.Add(IntegerTrue, 0x0000FF, "Walls ", IntegerFalse, false, "ignored key");
    auto second = layers.Add(IntegerFalse, 0xFFFFFF, "MARKUP", IntegerTrue, true);

    ASSERT_EQ(layers.Count(), 2);
    EXPECT_EQ(layers.Item(1), first);
    EXPECT_EQ(layers.Item(2), second);
    EXPECT_EQ(std::tuple(first->LayerName, first->LayerColor, first->LayerOn,
                         first->GetRedlineLayer(), second->NewLayer, second->GetRedlineLayer()),
              std::tuple("Walls ", 0x0000FF, IntegerTrue, false, IntegerTrue, true));
    layers.Remove(1);
    ASSERT_EQ(layers.Count(), 1);
    EXPECT_EQ(layers.Item(1), second);
}

TEST(DxfLayers, CheckDuplicateLayerComparesExactly) {
    DXFLayers layers;
    layers.Add(IntegerTrue, 0, "WALLS", IntegerFalse, false);
    std::string error = "stale";
    bool exists = true;

    for (auto [name, found] : {std::pair{"Walls", false}, {"WALLS ", false}, {"WALLS", true}}) {
        EXPECT_TRUE(layers.CheckDuplicateLayer(error, exists, name));
        EXPECT_EQ(std::pair(exists, error), std::pair(found, std::string())) << name;
    }
}

TEST(DxfLayers, PositionsOutsideTheCollectionRaiseTheInvalidArgumentError) {
    DXFLayers layers;
    layers.Add(IntegerTrue, 0, "A", IntegerFalse, false);
    for (Long position : {0, 2, -1}) {
        const ControlError error = test::ErrorOf([&] { layers.Item(position); });
        EXPECT_EQ(std::tuple(error.Number, error.Description),
                  std::tuple(5, "Invalid procedure call or argument"))
            << position;
    }
    EXPECT_THROW(layers.Remove(3), ControlError);
}

} // namespace
} // namespace plandra
