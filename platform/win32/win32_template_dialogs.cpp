// Template dialogs on Windows.
#include "platform/win32/win32_template_dialogs.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {

namespace {

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

// A dialog on screen as its procedure sees it.
class Win32Dialog final : public DialogWindow {
public:
    Win32Dialog(DialogProcedure& procedure, bool modeless)
        : Procedure(procedure), Modeless(modeless) {}

    DialogProcedure& Procedure;
    bool Modeless;
    ::HWND Window = nullptr;
    bool Ended = false;
    std::intptr_t Result = 0;

    std::uintptr_t Handle() const override { return reinterpret_cast<std::uintptr_t>(Window); }
    std::string GetDlgItemTextA(int control) override {
        char text[256] = "";
        UINT length = ::GetDlgItemTextA(Window, control, text, sizeof text);
        return std::string(text, length);
    }
    bool SetDlgItemTextA(int control, std::string_view text) override {
        return ::SetDlgItemTextA(Window, control, std::string(text).c_str()) != FALSE;
    }
    bool CheckDlgButton(int control, bool checked) override {
        return ::CheckDlgButton(Window, control, checked ? BST_CHECKED : BST_UNCHECKED) != FALSE;
    }
    bool IsDlgButtonChecked(int control) override {
        return ::IsDlgButtonChecked(Window, control) == BST_CHECKED;
    }
    int AddListItem(int control, std::string_view text) override {
        const std::string item(text);
        LRESULT at = Send(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        return at < 0 ? -1 : static_cast<int>(at);
    }
    bool ResetList(int control) override {
        return ::GetDlgItem(Window, control) != nullptr &&
               (Send(control, LB_RESETCONTENT, 0, 0), true);
    }
    int ListItemCount(int control) override {
        return static_cast<int>(Send(control, LB_GETCOUNT, 0, 0));
    }
    std::string ListItemText(int control, int index) override {
        LRESULT length = Send(control, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) {
            return {};
        }
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        LRESULT got = Send(control, LB_GETTEXT, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(text.data()));
        text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        return text;
    }
    bool SelectListItem(int control, int index, bool selected) override {
        LONG_PTR style = ::GetWindowLongPtrA(::GetDlgItem(Window, control), GWL_STYLE);
        if ((style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0) {
            return Send(control, LB_SETSEL, selected ? TRUE : FALSE, index) != LB_ERR;
        }
        return Send(control, LB_SETCURSEL, static_cast<WPARAM>(selected ? index : -1), 0) !=
                   LB_ERR ||
               !selected;
    }
    bool IsListItemSelected(int control, int index) override {
        return Send(control, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    }
    bool SetListTabStops(int control, std::span<const int> stops) override {
        std::vector<INT> units(stops.begin(), stops.end());
        return Send(control, LB_SETTABSTOPS, units.size(),
                    reinterpret_cast<LPARAM>(units.data())) != FALSE;
    }
    void SetFocus(int control) override {
        ::SendMessageA(Window, WM_NEXTDLGCTL,
                       reinterpret_cast<WPARAM>(::GetDlgItem(Window, control)), TRUE);
    }
    void SetControlFont(int control, std::uintptr_t font) override {
        Send(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    }
    bool SetWindowTextA(std::string_view text) override {
        return ::SetWindowTextA(Window, std::string(text).c_str()) != FALSE;
    }
    void EndDialog(std::intptr_t result) override {
        Ended = true;
        Result = result;
        if (!Modeless) {
            ::EndDialog(Window, result);
        }
    }

private:
    LRESULT Send(int control, UINT message, WPARAM wParam, LPARAM lParam) {
        return ::SendDlgItemMessageA(Window, control, message, wParam, lParam);
    }
};

// Owner-drawn lists with strings: the item's row as tall as the dialog's font needs, and
// room for the check mark.
void MeasureListItem(::HWND window, MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_LISTBOX) {
        return;
    }
    TEXTMETRICA metrics{};
    ::HDC dc = ::GetDC(window);
    ::HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<::HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)));
    ::GetTextMetricsA(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    item.itemHeight = static_cast<UINT>(std::max<LONG>(metrics.tmHeight + 2, 14));
}

// An item of an owner-drawn list: a check mark that follows its selection, the text up to
// a tab, and the text after the tab (a size) at the right.
void DrawListItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_LISTBOX || item.itemID == static_cast<UINT>(-1)) {
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
    ::RECT box = item.rcItem;
    const LONG side = std::min<LONG>(box.bottom - box.top - 2, 13);
    box.left += 2;
    box.top += (item.rcItem.bottom - item.rcItem.top - side) / 2;
    box.right = box.left + side;
    box.bottom = box.top + side;
    ::DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                       DFCS_BUTTONCHECK | DFCS_FLAT | (selected ? DFCS_CHECKED : 0));
    LRESULT length = ::SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
    std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    LRESULT got = ::SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID,
                                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    const std::size_t tab = text.find('\t');
    const std::string name = text.substr(0, tab);
    const std::string size = tab == std::string::npos ? std::string() : text.substr(tab + 1);
    ::RECT area = item.rcItem;
    area.left = box.right + 4;
    area.right -= 4;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextA(item.hDC, name.c_str(), static_cast<int>(name.size()), &area,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::DrawTextA(item.hDC, size.c_str(), static_cast<int>(size.size()), &area,
                DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0) {
        ::DrawFocusRect(item.hDC, &item.rcItem);
    }
}

INT_PTR CALLBACK DialogProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Sent while the controls are made, before WM_INITDIALOG.
    if (message == WM_MEASUREITEM) {
        MeasureListItem(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        DrawListItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* shown = reinterpret_cast<Win32Dialog*>(lParam);
        shown->Window = window;
        shown->Procedure.InitDialog(*shown);
        return TRUE;
    }
    auto* shown = reinterpret_cast<Win32Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (shown == nullptr) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        shown->Procedure.Command(*shown, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HELP:
        shown->Procedure.Help(*shown);
        return TRUE;
    case WM_CLOSE:
        // The close box and Alt+F4 count as Cancel, as the default procedure would send it.
        shown->Procedure.Command(*shown, IDCANCEL, BN_CLICKED);
        return TRUE;
    default:
        return FALSE;
    }
}

// The wizard frame: the registered class's window with this procedure put in its place.
// The window property that points a frame at its picture.
constexpr const char* PictureProperty = "KTRSWizardPicture";

const WizardPicture* PictureOf(::HWND frame) {
    return static_cast<const WizardPicture*>(::GetPropA(frame, PictureProperty));
}

int PictureBand(::HWND frame) {
    const WizardPicture* picture = PictureOf(frame);
    return picture != nullptr ? picture->Band : 0;
}

void PaintPicture(::HWND frame, const WizardPicture& picture) {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(frame, &paint);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(picture.Bitmap.data());
    LONG width = 0;
    LONG height = 0;
    if (info->bmiHeader.biSize == sizeof(BITMAPCOREHEADER)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(picture.Bitmap.data());
        width = core->bcWidth;
        height = core->bcHeight;
    } else {
        width = info->bmiHeader.biWidth;
        height =
            info->bmiHeader.biHeight < 0 ? -info->bmiHeader.biHeight : info->bmiHeader.biHeight;
    }
    RECT client{};
    ::GetClientRect(frame, &client);
    ::IntersectClipRect(dc, 0, 0, picture.Band, client.bottom);
    ::StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height,
                    picture.Bitmap.data() + picture.BitsOffset, info, DIB_RGB_COLORS, SRCCOPY);
    ::EndPaint(frame, &paint);
}

LRESULT CALLBACK FrameProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* procedure = reinterpret_cast<FrameProcedure*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT:
        if (const WizardPicture* picture = PictureOf(window)) {
            PaintPicture(window, *picture);
            return 0;
        }
        break;
    case WM_CLOSE:
        if (procedure != nullptr) {
            procedure->Close();
        }
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_RESTORE:
        case SC_SIZE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
            return 0;
        default:
            break;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            if (::HWND page = ::GetWindow(window, GW_CHILD)) {
                ::SetFocus(page);
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

std::vector<std::uint32_t>
Win32TemplateDialogs::Checked(std::span<const std::uint8_t> dialogTemplate) {
    Error.clear();
    DialogTemplateReadResult read = ReadDialogTemplate(dialogTemplate);
    if (!read.Template) {
        Error = read.Error;
        return {};
    }
    // Windows wants the template on a 32-bit boundary.
    std::vector<std::uint32_t> aligned((dialogTemplate.size() + 3) / 4, 0);
    std::memcpy(aligned.data(), dialogTemplate.data(), dialogTemplate.size());
    return aligned;
}

std::intptr_t
Win32TemplateDialogs::DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                              std::uintptr_t owner, DialogProcedure& procedure) {
    std::vector<std::uint32_t> form = Checked(dialogTemplate);
    if (form.empty()) {
        return -1;
    }
    Win32Dialog shown(procedure, false);
    INT_PTR result = ::DialogBoxIndirectParamA(
        ThisModule(), reinterpret_cast<LPCDLGTEMPLATEA>(form.data()),
        reinterpret_cast<::HWND>(owner), DialogProc, reinterpret_cast<LPARAM>(&shown));
    if (result == -1 || (result == 0 && !shown.Ended)) {
        Error = "the dialog cannot be shown (error " + std::to_string(::GetLastError()) + ")";
        return -1;
    }
    return result;
}

std::intptr_t
Win32TemplateDialogs::RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                          std::uintptr_t parent, DialogProcedure& procedure) {
    std::vector<std::uint32_t> form = Checked(dialogTemplate);
    if (form.empty()) {
        return -1;
    }
    Win32Dialog shown(procedure, true);
    const auto frame = reinterpret_cast<::HWND>(parent);
    ::HWND page =
        ::CreateDialogIndirectParamA(ThisModule(), reinterpret_cast<LPCDLGTEMPLATEA>(form.data()),
                                     frame, DialogProc, reinterpret_cast<LPARAM>(&shown));
    if (page == nullptr) {
        Error = "the wizard page cannot be made (error " + std::to_string(::GetLastError()) + ")";
        return -1;
    }
    // The frame grows to hold the page to the right of the picture's band.
    const int band = PictureBand(frame);
    RECT pageRect{};
    ::GetWindowRect(page, &pageRect);
    RECT client{};
    ::GetClientRect(frame, &client);
    RECT frameRect{0, 0, std::max<LONG>(client.right, band + pageRect.right - pageRect.left),
                   std::max<LONG>(client.bottom, pageRect.bottom - pageRect.top)};
    ::AdjustWindowRectEx(&frameRect, static_cast<DWORD>(::GetWindowLongPtrA(frame, GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrA(frame, GWL_EXSTYLE)));
    const int width = frameRect.right - frameRect.left;
    const int height = frameRect.bottom - frameRect.top;
    ::SetWindowPos(frame, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                   SWP_NOZORDER | SWP_SHOWWINDOW);
    ::SetWindowPos(page, nullptr, band, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetFocus(page);
    MSG message{};
    while (!shown.Ended) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The application is ending: the quit goes on to the host's own loop.
            if (got == 0) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
            }
            shown.Ended = true;
            shown.Result = 1024;
        } else if (!::IsDialogMessageA(page, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    ::DestroyWindow(page);
    return shown.Result;
}

std::uintptr_t Win32TemplateDialogs::CreateWizardFrame(std::string_view className,
                                                       std::string_view title, int width,
                                                       int height, std::uintptr_t owner,
                                                       FrameProcedure& procedure) {
    const std::string name(className);
    const std::string text(title);
    constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frameRect{0, 0, width, height};
    ::AdjustWindowRectEx(&frameRect, Style, FALSE, WS_EX_DLGMODALFRAME);
    ::HWND frame = ::CreateWindowExA(
        WS_EX_DLGMODALFRAME, name.c_str(), text.c_str(), Style, CW_USEDEFAULT, CW_USEDEFAULT,
        frameRect.right - frameRect.left, frameRect.bottom - frameRect.top,
        reinterpret_cast<::HWND>(owner), nullptr, ThisModule(), nullptr);
    if (frame == nullptr) {
        return 0;
    }
    ::SetWindowLongPtrA(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&procedure));
    ::SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameProc));
    if (HMENU menu = ::GetSystemMenu(frame, FALSE)) {
        for (UINT command : {SC_RESTORE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE}) {
            ::EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED);
        }
    }
    if (owner != 0) {
        ::EnableWindow(reinterpret_cast<::HWND>(owner), FALSE);
    }
    return reinterpret_cast<std::uintptr_t>(frame);
}

bool Win32TemplateDialogs::SetWizardPicture(std::uintptr_t frame,
                                            std::span<const std::uint8_t> packedBitmap,
                                            std::size_t bitsOffset, int band) {
    const auto window = reinterpret_cast<::HWND>(frame);
    if (bitsOffset >= packedBitmap.size() || band <= 0 || ::IsWindow(window) == FALSE) {
        return false;
    }
    WizardPicture& picture = Pictures[frame];
    picture.Bitmap.assign(packedBitmap.begin(), packedBitmap.end());
    picture.BitsOffset = bitsOffset;
    picture.Band = band;
    ::SetPropA(window, PictureProperty, &picture);
    ::InvalidateRect(window, nullptr, TRUE);
    return true;
}

bool Win32TemplateDialogs::DestroyWizardFrame(std::uintptr_t frame) {
    const auto window = reinterpret_cast<::HWND>(frame);
    ::RemovePropA(window, PictureProperty);
    Pictures.erase(frame);
    // The owner comes back before the frame goes, so Windows hands the activation to it.
    if (::HWND owner = ::GetWindow(window, GW_OWNER)) {
        ::EnableWindow(owner, TRUE);
    }
    return ::DestroyWindow(window) != FALSE;
}

std::uintptr_t Win32TemplateDialogs::CreateFontIndirectA(const LogFontA& font) {
    LOGFONTA made{};
    made.lfHeight = font.Height;
    made.lfWidth = font.Width;
    made.lfEscapement = font.Escapement;
    made.lfOrientation = font.Orientation;
    made.lfWeight = font.Weight;
    made.lfItalic = font.Italic;
    made.lfUnderline = font.Underline;
    made.lfStrikeOut = font.StrikeOut;
    made.lfCharSet = font.CharSet;
    made.lfOutPrecision = font.OutPrecision;
    made.lfClipPrecision = font.ClipPrecision;
    made.lfQuality = font.Quality;
    made.lfPitchAndFamily = font.PitchAndFamily;
    std::strncpy(made.lfFaceName, font.FaceName.c_str(), LF_FACESIZE - 1);
    return reinterpret_cast<std::uintptr_t>(::CreateFontIndirectA(&made));
}

bool Win32TemplateDialogs::DeleteObject(std::uintptr_t font) {
    return ::DeleteObject(reinterpret_cast<HGDIOBJ>(font)) != FALSE;
}

bool Win32TemplateDialogs::WinHelpA(std::uintptr_t window, std::string_view helpFile,
                                    std::uint32_t command, std::uintptr_t data) {
    return ::WinHelpA(reinterpret_cast<::HWND>(window), std::string(helpFile).c_str(), command,
                      data) != FALSE;
}

} // namespace platform
