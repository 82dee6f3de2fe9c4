// The Appearance property page.
#include "pp_appearance.h"

#include "automation_variant.h"
#include "control/database/control_error.h"

#include <cmath>
#include <utility>

namespace plandra {
namespace {

constexpr std::string_view PctLeftBox = "txtOnTheSpotZoomPct";
constexpr std::string_view PctRightBox = "txtOnTheSpotRight";
constexpr std::string_view FileNameBox = "txtFileName";
constexpr std::string_view ZoomList = "cmbZoom";
constexpr std::string_view AttributeBox = "chkAttributeDisplay";

constexpr std::pair<std::string_view, ZoomFunctionEnum> ZoomModes[] = {
    {"Window", dxfWindow}, {"Drill Down", dxfDrillDown}, {"Pan", dxfPan}};

constexpr unsigned MessageStyle = platform::mb::Ok | platform::mb::IconExclamation;

std::string PercentText(float value) {
    return CStr(Variant(value));
}

} // namespace

std::optional<float> ZoomPercentText(std::string_view text) {
    float value = 0;
    try {
        value = CSng(Variant(std::string(text)));
    } catch (const ControlError&) {
        return std::nullopt;
    }
    const float rounded = std::nearbyint(value);
    if (!(rounded >= 1 && rounded <= 32767)) {
        return std::nullopt;
    }
    return value;
}

void ppAppearance::Initialize() {
    for (const auto& [item, mode] : ZoomModes) {
        Controls.AddItem(ZoomList, item, mode);
    }
}

void ppAppearance::SelectionChanged(std::vector<DXF*> selected) {
    Selected = std::move(selected);
    if (Selected.empty()) {
        return;
    }
    const DXF& control = *Selected.front();
    Filling = true;
    Controls.SetText(PctLeftBox, PercentText(control.GetOnTheSpotZoomPctLeft()));
    Controls.SetText(PctRightBox, PercentText(control.GetOnTheSpotZoomPctRight()));
    Controls.SetText(FileNameBox, control.GetFileName());
    // The value is the list index for the three modes the list offers; a redline mode
    // has no entry, so none is selected and Apply keeps the mode.
    const ZoomFunctionEnum zoom = control.GetZoomFunction();
    Controls.SetListIndex(ZoomList,
                          zoom >= dxfWindow && zoom <= dxfPan ? static_cast<int>(zoom) : -1);
    Controls.SetChecked(AttributeBox, control.GetDisplayAttributes() == dxfAttribsOn);
    Filling = false;
    SetChanged(false);
}

std::optional<float> ppAppearance::PercentOf(std::string_view control, std::string_view label) {
    const std::string text = Controls.Text(control);
    const std::optional<float> value = ZoomPercentText(text);
    if (!value) {
        MessageBox.MessageBoxA("The " + std::string(label) + " zoom percent \"" + text +
                                   "\" is not a number from 1 to 32767.",
                               Caption, MessageStyle);
    }
    return value;
}

bool ppAppearance::ApplyChanges() {
    if (Selected.empty()) {
        return true;
    }
    const std::optional<float> left = PercentOf(PctLeftBox, "Left Mouse Button");
    if (!left) {
        return false;
    }
    const std::optional<float> right = PercentOf(PctRightBox, "Right Mouse Button");
    if (!right) {
        return false;
    }
    DXF& control = *Selected.front();
    try {
        control.SetOnTheSpotZoomPctLeft(*left);
        control.SetOnTheSpotZoomPctRight(*right);
        control.SetFileName(Controls.Text(FileNameBox));
        const int index = Controls.ListIndex(ZoomList);
        if (index >= 0) {
            control.SetZoomFunction(
                static_cast<ZoomFunctionEnum>(Controls.ItemData(ZoomList, index)));
        }
        control.SetDisplayAttributes(Controls.Checked(AttributeBox) ? dxfAttribsOn : dxfAttribsOff);
    } catch (const ControlError& error) {
        MessageBox.MessageBoxA(error.Description, Caption, MessageStyle);
        return false;
    }
    SetChanged(false);
    return true;
}

void ppAppearance::cmdBrowse_Click() {
    const platform::OpenFileRequest request{
        std::string(DxfFileFilter), std::string(DxfDefaultExt),
        Settings.GetSetting(ControlAppTitle, InitDirSection, InitDirKey, InitDirDefault)};
    const std::string chosen = Controls.ShowOpen(request);
    if (chosen.empty()) {
        return;
    }
    // The folder up to and including its last separator; Linux names use "/".
    const std::size_t folderEnd = chosen.find_last_of("\\/");
    if (folderEnd != std::string::npos) {
        Settings.SaveSetting(ControlAppTitle, InitDirSection, InitDirKey,
                             chosen.substr(0, folderEnd + 1));
    }
    Controls.SetText(FileNameBox, chosen);
    txtFileName_Change();
}

void ppAppearance::SetChanged(bool changed) {
    IsChanged = changed;
    Controls.SetChanged(changed);
}

void ppAppearance::MarkChanged() {
    if (!Filling) {
        SetChanged(true);
    }
}

} // namespace plandra
