// The controls of a property page as its logic sees them, addressed by control name
// ("txtFileName", "cmbZoom"), apart from how a dialog draws them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// What the open-file dialog is shown with: a filter in the "Description|*.ext" form, the
/// extension added to a name typed without one, and the folder it opens in.
struct OpenFileRequest {
    std::string Filter;
    std::string DefaultExt;
    std::string InitDir;
};

/// A dialog that holds the page's text boxes, drop-down lists, check boxes and the
/// open-file dialog. Setting a control from here may call the page's change handler,
/// as a user's edit does.
class PageControls {
public:
    virtual ~PageControls() = default;

    virtual std::string Text(std::string_view control) const = 0;
    virtual void SetText(std::string_view control, std::string_view text) = 0;

    /// Appends an entry with its item data to a drop-down list.
    virtual void AddItem(std::string_view control, std::string_view item,
                         std::int32_t itemData) = 0;
    /// The selected entry, from 0; -1 when none is.
    virtual int ListIndex(std::string_view control) const = 0;
    /// Selects the entry `index`; -1 selects none.
    virtual void SetListIndex(std::string_view control, int index) = 0;
    /// The item data of entry `index`, which must exist.
    virtual std::int32_t ItemData(std::string_view control, int index) const = 0;

    virtual bool Checked(std::string_view control) const = 0;
    virtual void SetChecked(std::string_view control, bool checked) = 0;

    /// Shows the open-file dialog: the full name chosen, empty when the user cancelled.
    virtual std::string ShowOpen(const OpenFileRequest& request) = 0;

    /// The page's changed flag, which the host's Apply button follows.
    virtual void SetChanged(bool changed) = 0;
};

} // namespace platform
