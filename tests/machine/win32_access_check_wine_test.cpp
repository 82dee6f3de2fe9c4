// The installing user's write access as Windows reports it: a file the test just made
// may be written; a file that is not there has no security to read.
#include "platform/win32/win32_access_check.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Win32AccessCheck, OwnFileMayBeWrittenMissingFileHasNoSecurity) {
    plandra::test::TempFolder folder;
    const std::filesystem::path file = folder.Folder() / "own.txt";
    plandra::test::WriteFileText(file, "x");
    Win32AccessCheck access;
    SecurityDescriptor descriptor;
    ASSERT_TRUE(access.GetFileSecurityA(file.string(), descriptor)) << access.GetLastError();
    bool granted = false;
    ASSERT_TRUE(access.CheckAccess(descriptor, access::FileGenericWrite, granted))
        << access.GetLastError();
    EXPECT_TRUE(granted);
    EXPECT_FALSE(access.GetFileSecurityA((folder.Folder() / "none.txt").string(), descriptor));
    EXPECT_FALSE(access.CheckAccess({}, access::FileGenericWrite, granted));
}

} // namespace
} // namespace platform
