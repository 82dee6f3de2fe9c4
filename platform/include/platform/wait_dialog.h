// The wait dialog: a small window with one line of text, shown while the install engine
// searches the drives or registers servers, and removed when that work is done.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

/// Dialog template of the wait dialog in the engine library's resources, and its text.
inline constexpr int WaitTemplate = 103;
namespace wait_control {
inline constexpr int Text = 1005;
} // namespace wait_control

/// Offered by the install display of a machine that can show windows.
class WaitDialogService {
public:
    virtual ~WaitDialogService() = default;
    /// Shows the wait dialog modeless with `text`, owned by `owner` (disabled while the
    /// dialog is shown) and captioned like it. Returns the dialog, 0 when it cannot be made.
    virtual std::uintptr_t OpenWaitDialog(std::uintptr_t owner, std::string_view text) = 0;
    /// Destroys a dialog OpenWaitDialog made; its owner is enabled again if it was before.
    virtual void CloseWaitDialog(std::uintptr_t dialog) = 0;
};

/// Owns a shown wait dialog (UniqueHandle).
struct WaitDialogTraits {
    using Handle = std::uintptr_t;
    static constexpr Handle Null = 0;
    WaitDialogService* Service = nullptr;
    void Release(Handle dialog) { Service->CloseWaitDialog(dialog); }
};

} // namespace platform
