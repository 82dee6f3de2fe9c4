// A property page's controls on Windows: the child controls of a dialog window, found
// by name through the table of their dialog item ids.
#pragma once

#include "platform/page_controls.h"
#include "platform/window_handle.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

/// Text boxes are edit controls, lists are drop-down combo boxes and check boxes are
/// buttons; a name the table does not hold reads as empty and takes no change. The
/// open-file dialog is the common one, owned by the page's window. SetChanged goes to
/// `changed`, which tells the page's host.
class Win32PageControls final : public PageControls {
public:
    using ItemIds = std::vector<std::pair<std::string, int>>;

    Win32PageControls(HWND dialog, ItemIds ids, std::function<void(bool)> changed)
        : Dialog(dialog), Ids(std::move(ids)), Changed(std::move(changed)) {}

    std::string Text(std::string_view control) const override;
    void SetText(std::string_view control, std::string_view text) override;
    void AddItem(std::string_view control, std::string_view item, std::int32_t itemData) override;
    int ListIndex(std::string_view control) const override;
    void SetListIndex(std::string_view control, int index) override;
    std::int32_t ItemData(std::string_view control, int index) const override;
    bool Checked(std::string_view control) const override;
    void SetChecked(std::string_view control, bool checked) override;
    std::string ShowOpen(const OpenFileRequest& request) override;
    void SetChanged(bool changed) override;

private:
    /// The dialog item id of `control`, or 0 (no control) for an unknown name.
    int IdOf(std::string_view control) const;

    HWND Dialog;
    ItemIds Ids;
    std::function<void(bool)> Changed;
};

} // namespace platform
