// What one read leaves in the database for the next: nothing of its own progress.
#include "reader_fixture.h"

namespace plandra::test {
namespace {

using ReadStateTest = ReaderFixture;

TEST_F(ReadStateTest, AReadThatFailedInsideABlockDoesNotSwallowTheNextMergedRead) {
    const std::string failing =
        Section("BLOCKS", "0|BLOCK|2|A|10|0|20|0|0|LINE|8|0|10|1e300|20|0|11|1|21|0") +
        Dxf("0|EOF");
    EXPECT_EQ(LoadError(failing), "Overflow\r\n ->  DXFLine.\r\n ->  LoadDXF.");

    // As Regen with dxfMergeAdd: the database is not emptied before the read.
    TempFile next(EntitiesDrawing("0|LINE|8|0|10|0|20|0|11|1|21|1"));
    ASSERT_TRUE(Reader().LoadDXF(next.Name()));
    EXPECT_EQ(Database.LineCount, 1);
    EXPECT_EQ(Database.SeqCount, 1);
}

} // namespace
} // namespace plandra::test
