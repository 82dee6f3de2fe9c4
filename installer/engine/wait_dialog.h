// The wait dialog over work that takes a while (a search of the drives, the
// registration of servers): shown for the lifetime of a scope.
#pragma once

#include "platform/unique_handle.h"
#include "platform/wait_dialog.h"

#include <string_view>

namespace vorn {

class Engine;

/// Shows `text` in the wait dialog until the scope ends, when the text is not empty, the
/// run is not silent and the machine has a display (a main window and windows to show);
/// otherwise does nothing.
class WaitDialogScope {
public:
    WaitDialogScope(Engine& engine, std::string_view text);
    ~WaitDialogScope();
    WaitDialogScope(const WaitDialogScope&) = delete;
    WaitDialogScope& operator=(const WaitDialogScope&) = delete;

private:
    platform::UniqueHandle<platform::WaitDialogTraits> Dialog;
};

} // namespace vorn
