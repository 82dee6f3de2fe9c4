#include "control/database/record_array.h"

#include <gtest/gtest.h>
#include <limits>

namespace plandra {
namespace {

TEST(RecordArray, IndexesOutsideTheBoundsRaiseSubscriptOutOfRange) {
    RecordArray<LineRec> lines;
    lines.Dimension(3);
    lines.Store(5, LineRec{}, 10); // grows to 5 - 1 + 10
    ASSERT_EQ(lines.UpperBound(), 14);
    const RecordArray<LineRec>& constant = lines;
    const Long outside[] = {-1, 15, 32768, std::numeric_limits<Long>::min()};
    for (Long index : outside) {
        try {
            (void)constant[index];
            ADD_FAILURE() << "index " << index << " was accepted";
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Number, 9) << index;
            EXPECT_EQ(error.Description, "Subscript out of range");
        }
        EXPECT_THROW(lines[index].X1 = 1, ControlError) << index;
    }
    EXPECT_THROW(lines.Store(-1, LineRec{}, 10), ControlError);
    EXPECT_NO_THROW((void)lines[0]);
    EXPECT_NO_THROW((void)lines[14]);
}

} // namespace
} // namespace plandra
