// The layer collection the host sees: adding, finding, removing and its position errors.
#include "control/database/control_error.h"
#include "control/database/dxf_layers.h"
#include "support/control_error_of.h"

#include <gtest/gtest.h>
#include <tuple>

namespace plandra {
namespace {

TEST(DxfLayers, FindsNamesExactlyAndRefusesPositionsOutsideItself) {
    DXFLayers layers;
    layers.Add(IntegerTrue, 0x0000FF, "WALLS", IntegerFalse, false, "ignored key");
    auto second = layers.Add(IntegerFalse, 0xFFFFFF, "MARKUP", IntegerTrue, true);
    std::string error = "stale";
    bool exists = true;
    for (auto [name, found] : {std::pair{"Walls", false}, {"WALLS ", false}, {"WALLS", true}}) {
        EXPECT_TRUE(layers.CheckDuplicateLayer(error, exists, name));
        EXPECT_EQ(std::pair(exists, error), std::pair(found, std::string())) << name;
    }
    for (Long position : {0, 3, -1}) {
        const ControlError e = test::ErrorOf([&] { layers.Item(position); });
        EXPECT_EQ(std::tuple(e.Number, e.Description),
                  std::tuple(5, "Invalid procedure call or argument"))
            << position;
    }
    EXPECT_THROW(layers.Remove(3), ControlError);
    layers.Remove(1);
    EXPECT_EQ(std::tuple(layers.Count(), layers.Item(1), second->GetRedlineLayer()),
              std::tuple(1, second, true));
}

} // namespace
} // namespace plandra
