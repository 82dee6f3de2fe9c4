// The ControlError an action raises, for tests of the control's error paths.
#pragma once

#include "control/database/control_error.h"

#include <gtest/gtest.h>

namespace plandra::test {

/// The error `action` raises; a test failure and an empty error when it raises none.
template <typename Action> ControlError ErrorOf(Action&& action) {
    try {
        action();
    } catch (const ControlError& error) {
        return error;
    }
    ADD_FAILURE() << "no error raised";
    return ControlError(0, "", "");
}

} // namespace plandra::test
