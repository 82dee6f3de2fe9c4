#include "control/database/control_error.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(ControlError, TrailAppendsEachProcedureAndTakesTheControlNumber) {
    ControlError error = ControlError::Runtime(RuntimeError::InputPastEndOfFile);
    EXPECT_EQ(error.Number, 62);
    error.AppendTrail("DXFLine");
    error.AppendTrail("LoadDXF");
    EXPECT_EQ(error.Number, static_cast<std::int32_t>(0x80040001u));
    EXPECT_EQ(error.Description, "Input past end of file\r\n ->  DXFLine.\r\n ->  LoadDXF.");
}

TEST(ControlError, WithErrorTrailRunsCleanupOnlyOnFailure) {
    int cleanups = 0;
    auto cleanup = [&] { ++cleanups; };
    EXPECT_EQ(WithErrorTrail("Quiet", cleanup, [] { return 7; }), 7);
    EXPECT_EQ(cleanups, 0);

    try {
        WithErrorTrail("Outer", cleanup, [&] {
            return WithErrorTrail("Inner", cleanup, []() -> int {
                throw ControlError::Runtime(RuntimeError::Overflow);
            });
        });
        FAIL() << "no error raised";
    } catch (const ControlError& error) {
        EXPECT_EQ(error.Description, "Overflow\r\n ->  Inner.\r\n ->  Outer.");
    }
    EXPECT_EQ(cleanups, 2);
}

TEST(ControlError, MemoryExhaustionBecomesOutOfMemory) {
    try {
        WithErrorTrail(
            "Grow", [] {}, []() -> int { throw std::bad_alloc(); });
        FAIL() << "no error raised";
    } catch (const ControlError& error) {
        EXPECT_EQ(error.Description, "Out of memory\r\n ->  Grow.");
    }
}

} // namespace
} // namespace plandra
