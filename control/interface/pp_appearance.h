// The Appearance property page: edits the zoom percentages, file name, zoom function
// and attribute display of the selected DXF controls, on whichever dialog shows it.
#pragma once

#include "dxf_control.h"
#include "platform/message_box.h"
#include "platform/page_controls.h"
#include "platform/user_settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plandra {

/// The title under which the control keeps its per-user settings.
inline constexpr std::string_view ControlAppTitle = "Plandra";

/// The setting that remembers where the last drawing was chosen, and its default.
inline constexpr std::string_view InitDirSection = "Defaults";
inline constexpr std::string_view InitDirKey = "InitDir";
inline constexpr std::string_view InitDirDefault = "C:\\";

inline constexpr std::string_view DxfFileFilter = "DXF (*.dxf)|*.dxf";
inline constexpr std::string_view DxfDefaultExt = ".DXF";

/// The zoom percentage a percent box holds: a number that rounds to a whole 1 to 32767,
/// the values the control takes; nothing for any other text.
std::optional<float> ZoomPercentText(std::string_view text);

/// The page's logic. The dialog calls the change handlers when the user edits a
/// control; the host calls SelectionChanged when the selection changes and ApplyChanges
/// for its Apply or OK button.
class ppAppearance {
public:
    static constexpr std::string_view Caption = "Appearance";

    ppAppearance(platform::PageControls& controls, platform::UserSettingsService& settings,
                 platform::MessageBoxService& messageBox)
        : Controls(controls), Settings(settings), MessageBox(messageBox) {}

    /// Fills cmbZoom with "Window", "Drill Down" and "Pan" (item data 0, 1, 2).
    void Initialize();

    /// Fills the page from the first of `selected` (left as it is when there is none);
    /// the page is then unchanged. A ZoomFunction that is not one of the list's modes
    /// (the redline modes) selects no entry.
    void SelectionChanged(std::vector<DXF*> selected);

    /// Writes the page to the first selected control only; the page is then unchanged.
    /// A percent box that holds no zoom percentage (no number, 0, a negative number) is
    /// refused with a message, and then nothing is written and false returned. A value
    /// the control refuses is reported with the control's message and false returned.
    /// With no list entry selected ZoomFunction is left as it is.
    bool ApplyChanges();

    void txtOnTheSpotZoomPct_Change() { MarkChanged(); }
    void txtOnTheSpotRight_Change() { MarkChanged(); }
    void txtFileName_Change() { MarkChanged(); }
    void cmbZoom_Click() { MarkChanged(); }
    void chkAttributeDisplay_Click() { MarkChanged(); }

    /// Lets the user choose a drawing, starting in the folder chosen last time, and
    /// puts its full name into txtFileName. Cancelling changes nothing.
    void cmdBrowse_Click();

    bool Changed() const { return IsChanged; }
    void SetChanged(bool changed);
    const std::vector<DXF*>& SelectedControls() const { return Selected; }

private:
    void MarkChanged();
    /// The zoom percentage of a percent box, or a message saying why there is none.
    std::optional<float> PercentOf(std::string_view control, std::string_view label);

    platform::PageControls& Controls;
    platform::UserSettingsService& Settings;
    platform::MessageBoxService& MessageBox;
    std::vector<DXF*> Selected;
    bool IsChanged = false;
    /// Set while the page fills its controls, whose change handlers then mark nothing.
    bool Filling = false;
};

} // namespace plandra
