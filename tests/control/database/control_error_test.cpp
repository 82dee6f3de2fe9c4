#include "control/database/control_error.h"
#include "support/control_error_of.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(ControlError, WithErrorTrailRunsCleanupOnlyOnFailureAndNamesEveryProcedure) {
    int cleanups = 0;
    auto cleanup = [&] { ++cleanups; };
    EXPECT_EQ(WithErrorTrail("Quiet", cleanup, [] { return 7; }), 7);
    EXPECT_EQ(cleanups, 0);

    const ControlError error = test::ErrorOf([&] {
        WithErrorTrail("Outer", cleanup, [&] {
            return WithErrorTrail("Inner", cleanup, []() -> int {
                throw ControlError::Runtime(RuntimeError::Overflow);
            });
        });
    });
    EXPECT_EQ(error.Description, "Overflow\r\n ->  Inner.\r\n ->  Outer.");
    EXPECT_EQ(cleanups, 2);
    // Memory exhaustion becomes "Out of memory".
    EXPECT_EQ(test::ErrorOf([] {
                  WithErrorTrail(
                      "Grow", [] {}, []() -> int { throw std::bad_alloc(); });
              }).Description,
              "Out of memory\r\n ->  Grow.");
}

} // namespace
} // namespace plandra
