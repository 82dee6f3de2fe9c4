// In-memory dialog templates (DLGTEMPLATE followed by its DLGITEMTEMPLATEs): the parsed
// form, a bounded reader for bytes from outside and a writer that makes them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

/// Window, button, list and static styles and the dialog commands the templates use.
namespace dlg {
inline constexpr std::uint32_t WsPopup = 0x80000000;
inline constexpr std::uint32_t WsChild = 0x40000000;
inline constexpr std::uint32_t WsVisible = 0x10000000;
inline constexpr std::uint32_t WsCaption = 0x00C00000;
inline constexpr std::uint32_t WsBorder = 0x00800000;
inline constexpr std::uint32_t WsVScroll = 0x00200000;
inline constexpr std::uint32_t WsSysMenu = 0x00080000;
inline constexpr std::uint32_t WsGroup = 0x00020000;
inline constexpr std::uint32_t WsTabStop = 0x00010000;
inline constexpr std::uint32_t DsSetFont = 0x40;
inline constexpr std::uint32_t DsModalFrame = 0x80;
inline constexpr std::uint32_t WsExDlgModalFrame = 0x1;

inline constexpr std::uint32_t BsDefPushButton = 0x1;
inline constexpr std::uint32_t BsCheckBox = 0x2;
inline constexpr std::uint32_t BsAutoCheckBox = 0x3;
inline constexpr std::uint32_t BsRadioButton = 0x4;
inline constexpr std::uint32_t BsGroupBox = 0x7;
inline constexpr std::uint32_t BsAutoRadioButton = 0x9;
inline constexpr std::uint32_t BsTypeMask = 0xF;
inline constexpr std::uint32_t EsAutoHScroll = 0x80;
inline constexpr std::uint32_t EsReadOnly = 0x800;
inline constexpr std::uint32_t LbsNotify = 0x1;
inline constexpr std::uint32_t LbsMultipleSel = 0x8;
inline constexpr std::uint32_t LbsOwnerDrawFixed = 0x10;
inline constexpr std::uint32_t LbsHasStrings = 0x40;
inline constexpr std::uint32_t LbsUseTabStops = 0x80;
inline constexpr std::uint32_t LbsExtendedSel = 0x800;
inline constexpr std::uint32_t SsBitmap = 0xE;

inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int IdHelp = 9;
/// Notification codes of WM_COMMAND.
inline constexpr int BnClicked = 0;
inline constexpr int LbnSelChange = 1;
inline constexpr int LbnDblClk = 2;
} // namespace dlg

/// The predefined control classes a template may name (by atom or by name).
enum class ControlKind : std::uint8_t { Button, Edit, Static, ListBox, ScrollBar, ComboBox };

/// What a control shows as its title: a text, or a resource by number (a bitmap).
struct ControlTitle {
    std::string Text;
    std::optional<std::uint16_t> Ordinal;
};

struct DialogControl {
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    std::int16_t X = 0, Y = 0, Width = 0, Height = 0;
    std::uint16_t Id = 0;
    ControlKind Kind = ControlKind::Static;
    ControlTitle Title;
    std::vector<std::uint8_t> CreationData;

    bool IsButtonType(std::uint32_t type) const {
        return Kind == ControlKind::Button && (Style & dlg::BsTypeMask) == type;
    }
    bool IsRadio() const {
        return IsButtonType(dlg::BsRadioButton) || IsButtonType(dlg::BsAutoRadioButton);
    }
    bool IsCheckBox() const {
        return IsButtonType(dlg::BsCheckBox) || IsButtonType(dlg::BsAutoCheckBox);
    }
};

/// A visible child control at (x, y) of `width` x `height` dialog units.
DialogControl MakeDialogControl(ControlKind kind, std::uint32_t style, int id, std::string text,
                                int x, int y, int width, int height);

/// A dialog template in dialog units; texts are code page 1252 (UTF-16 code units above
/// 255 read as "?").
struct DialogTemplate {
    std::uint32_t Style = dlg::WsPopup | dlg::WsCaption | dlg::WsSysMenu | dlg::DsModalFrame;
    std::uint32_t ExStyle = 0;
    std::int16_t X = 0, Y = 0, Width = 0, Height = 0;
    ControlTitle Menu;
    ControlTitle ClassName;
    std::string Caption;
    /// With DsSetFont: the font's point size and face name.
    std::uint16_t PointSize = 0;
    std::string FaceName;
    std::vector<DialogControl> Controls;

    const DialogControl* Control(int id) const;
};

struct DialogTemplateReadResult {
    std::optional<DialogTemplate> Template;
    /// Why the bytes are not a template: "the dialog template is truncated (...)",
    /// "... names an unknown control kind ...".
    std::string Error;
};

/// Reads a DLGTEMPLATE from `bytes`; never reads past their end. Extended templates
/// (DLGTEMPLATEEX) and controls of classes other than the predefined ones are refused.
DialogTemplateReadResult ReadDialogTemplate(std::span<const std::uint8_t> bytes);

/// The template as DLGTEMPLATE bytes, each item aligned to 32 bits as Windows needs it.
std::vector<std::uint8_t> WriteDialogTemplate(const DialogTemplate& dialog);

/// LOGFONTA: 60 bytes, as fonts are described in dialog sets.
struct LogFontA {
    std::int32_t Height = 0, Width = 0, Escapement = 0, Orientation = 0, Weight = 0;
    std::uint8_t Italic = 0, Underline = 0, StrikeOut = 0, CharSet = 0;
    std::uint8_t OutPrecision = 0, ClipPrecision = 0, Quality = 0, PitchAndFamily = 0;
    std::string FaceName;
};
inline constexpr std::size_t LogFontASize = 60;

/// Reads the first 60 bytes; nullopt when there are fewer. The face name stops at its
/// first zero or after 31 characters.
std::optional<LogFontA> ReadLogFontA(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> WriteLogFontA(const LogFontA& font);

} // namespace platform
