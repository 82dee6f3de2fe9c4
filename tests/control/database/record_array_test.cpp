#include "control/database/record_array.h"

#include <gtest/gtest.h>
#include <limits>

namespace plandra {
namespace {

TEST(RecordArray, IndexesOutsideTheBoundsRaiseSubscriptOutOfRange) {
    RecordArray<LineRec> lines;
    lines.Dimension(3);
    lines.Store(5, LineRec{}, 10); // grows to 5 - 1 + 10
    for (Long index : {Long{-1}, Long{15}, std::numeric_limits<Long>::min()}) {
        try {
            lines[index].X1 = 1;
            ADD_FAILURE() << "index " << index << " was accepted";
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Description, "Subscript out of range") << index;
        }
    }
    EXPECT_THROW(lines.Store(-1, LineRec{}, 10), ControlError);
    EXPECT_NO_THROW(lines[14].X1 = 1);
}

} // namespace
} // namespace plandra
