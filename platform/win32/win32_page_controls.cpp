// A property page's controls on Windows.
#include "platform/win32/win32_page_controls.h"

#include "win32_api.h"

#include <commdlg.h>

namespace platform {
namespace {

::HWND Native(HWND window) {
    return reinterpret_cast<::HWND>(window);
}

// "Description|*.ext|..." as the common dialog takes it: each part ended by a NUL, the
// whole by another.
std::string DialogFilter(std::string_view filter) {
    std::string result(filter);
    for (char& c : result) {
        if (c == '|') {
            c = '\0';
        }
    }
    result.push_back('\0');
    return result;
}

} // namespace

int Win32PageControls::IdOf(std::string_view control) const {
    for (const auto& [name, id] : Ids) {
        if (name == control) {
            return id;
        }
    }
    return 0;
}

std::string Win32PageControls::Text(std::string_view control) const {
    const ::HWND item = ::GetDlgItem(Native(Dialog), IdOf(control));
    if (item == nullptr) {
        return {};
    }
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Win32PageControls::SetText(std::string_view control, std::string_view text) {
    ::SetDlgItemTextA(Native(Dialog), IdOf(control), std::string(text).c_str());
}

void Win32PageControls::AddItem(std::string_view control, std::string_view item,
                                std::int32_t itemData) {
    const LRESULT index =
        ::SendDlgItemMessageA(Native(Dialog), IdOf(control), CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(std::string(item).c_str()));
    if (index >= 0) {
        ::SendDlgItemMessageA(Native(Dialog), IdOf(control), CB_SETITEMDATA,
                              static_cast<WPARAM>(index), static_cast<LPARAM>(itemData));
    }
}

int Win32PageControls::ListIndex(std::string_view control) const {
    const LRESULT index = ::SendDlgItemMessageA(Native(Dialog), IdOf(control), CB_GETCURSEL, 0, 0);
    return index >= 0 ? static_cast<int>(index) : -1;
}

void Win32PageControls::SetListIndex(std::string_view control, int index) {
    ::SendDlgItemMessageA(Native(Dialog), IdOf(control), CB_SETCURSEL, static_cast<WPARAM>(index),
                          0);
}

std::int32_t Win32PageControls::ItemData(std::string_view control, int index) const {
    return static_cast<std::int32_t>(::SendDlgItemMessageA(
        Native(Dialog), IdOf(control), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

bool Win32PageControls::Checked(std::string_view control) const {
    return ::IsDlgButtonChecked(Native(Dialog), IdOf(control)) == BST_CHECKED;
}

void Win32PageControls::SetChecked(std::string_view control, bool checked) {
    ::CheckDlgButton(Native(Dialog), IdOf(control), checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string Win32PageControls::ShowOpen(const OpenFileRequest& request) {
    const std::string filter = DialogFilter(request.Filter);
    // The common dialog adds the extension without its dot.
    const std::string extension = request.DefaultExt.substr(request.DefaultExt.starts_with('.'));
    std::string name(MAX_PATH * 4, '\0');
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Native(Dialog);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = request.InitDir.c_str();
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&dialog)) {
        return {};
    }
    name.resize(name.find('\0'));
    return name;
}

void Win32PageControls::SetChanged(bool changed) {
    if (Changed) {
        Changed(changed);
    }
}

} // namespace platform
