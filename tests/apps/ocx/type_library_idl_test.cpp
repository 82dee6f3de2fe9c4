// The checked-in IDL, from which widl compiles the type library, says what the member
// tables say.
#include "apps/ocx/type_library_idl.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(TypeLibraryIdl, CheckedInIdlMatchesTheMemberTables) {
    std::ifstream file(PLANDRA_SOURCE_DIR "/apps/ocx/PlandraOCX.idl", std::ios::binary);
    ASSERT_TRUE(file) << "apps/ocx/PlandraOCX.idl is missing";
    std::ostringstream stored;
    stored << file.rdbuf();
    EXPECT_TRUE(stored.str() == plandra::ocx::TypeLibraryIdl())
        << "the member tables changed: write apps/ocx/PlandraOCX.idl anew with plandra-idl";
}

} // namespace
