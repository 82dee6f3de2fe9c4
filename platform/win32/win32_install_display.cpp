// What the install engine shows, on Windows.
#include "platform/win32/win32_install_display.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <cstdio>
#include <io.h>
#include <mmsystem.h>
#include <string>

namespace platform {

namespace {

// A setup program that does not clear the timer-wait word is waited for at most this
// many ticks.
constexpr DWORD TicksAtMost = 4;
// MCIWndPlay's message.
constexpr UINT McirPlay = 0x0806;

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

HWND Native(std::uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}

// The bar's rectangle in the progress window's client coordinates.
RECT BarArea(HWND dialog) {
    RECT area{};
    HWND bar = ::GetDlgItem(dialog, progress_control::Bar);
    if (bar != nullptr) {
        ::GetWindowRect(bar, &area);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    }
    return area;
}

// What the message box dialog works with while it is shown.
struct BoxDialogState {
    const BoxDialogRequest* Request = nullptr;
    const std::function<BoxDialogPlacement(const BoxDialogParts&, Size, int, bool)>* LayOut =
        nullptr;
    ::HFONT Font = nullptr;
    HICON Icon = nullptr;
    Point IconAt;
};

HICON BoxIcon(unsigned icon) {
    switch (icon) {
    case MB_ICONHAND:
        return ::LoadIconA(nullptr, IDI_HAND);
    case MB_ICONQUESTION:
        return ::LoadIconA(nullptr, IDI_QUESTION);
    case MB_ICONEXCLAMATION:
        return ::LoadIconA(nullptr, IDI_EXCLAMATION);
    case MB_ICONASTERISK:
        return ::LoadIconA(nullptr, IDI_ASTERISK);
    default:
        return nullptr;
    }
}

RECT ChildArea(HWND dialog, int control) {
    RECT area{};
    if (HWND child = ::GetDlgItem(dialog, control)) {
        ::GetWindowRect(child, &area);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    }
    return area;
}

void MoveChild(HWND dialog, int control, const Rect& area) {
    ::MoveWindow(::GetDlgItem(dialog, control), area.left, area.top, area.right - area.left,
                 area.bottom - area.top, FALSE);
}

// The box's font, its text measured in it, and every part moved where the layout says.
void LayOutBox(HWND dialog, BoxDialogState& state) {
    const BoxDialogRequest& request = *state.Request;
    ::SetWindowTextA(dialog, request.Title.c_str());
    HWND text = ::GetDlgItem(dialog, box_control::Text);
    ::SetWindowTextA(text, request.Text.c_str());
    ::HDC screen = ::GetDC(dialog);
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    if (!request.FaceName.empty()) {
        ::lstrcpynA(font.lfFaceName, request.FaceName.c_str(), LF_FACESIZE);
        font.lfCharSet = request.CharSet;
    }
    if (request.PointSize > 0) {
        font.lfHeight = -::MulDiv(request.PointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
    }
    if (request.Weight > 0) {
        font.lfWeight = request.Weight;
    }
    state.Font = ::CreateFontIndirectA(&font);
    if (state.Font != nullptr) {
        ::SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(state.Font), FALSE);
    }
    RECT client{};
    ::GetClientRect(dialog, &client);
    const RECT textArea = ChildArea(dialog, box_control::Text);
    const RECT buttonArea = ChildArea(dialog, box_control::Buttons[0]);
    RECT measured{0, 0, textArea.right - textArea.left, 0};
    ::HGDIOBJ old = state.Font != nullptr ? ::SelectObject(screen, state.Font) : nullptr;
    ::DrawTextA(screen, request.Text.c_str(), -1, &measured,
                DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    if (old != nullptr) {
        ::SelectObject(screen, old);
    }
    ::ReleaseDC(dialog, screen);

    int visible = 0;
    for (const std::string& caption : request.Captions) {
        visible += caption.empty() ? 0 : 1;
    }
    state.Icon = BoxIcon(request.Icon);
    const BoxDialogPlacement placed =
        (*state.LayOut)({{client.right, client.bottom},
                         {textArea.left, textArea.top, textArea.right, textArea.bottom},
                         {buttonArea.left, buttonArea.top, buttonArea.right, buttonArea.bottom}},
                        {measured.right, measured.bottom}, visible, state.Icon != nullptr);
    state.IconAt = placed.Icon;
    MoveChild(dialog, box_control::Text, placed.Text);
    std::size_t next = 0;
    bool focused = false;
    for (std::size_t i = 0; i < box_control::Buttons.size(); ++i) {
        const int control = box_control::Buttons[i];
        if (request.Captions[i].empty() || next >= placed.Buttons.size()) {
            ::ShowWindow(::GetDlgItem(dialog, control), SW_HIDE);
            continue;
        }
        ::SetDlgItemTextA(dialog, control, request.Captions[i].c_str());
        MoveChild(dialog, control, placed.Buttons[next++]);
        if (!focused) {
            ::SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(control), 0);
            ::SetFocus(::GetDlgItem(dialog, control));
            focused = true;
        }
    }
    // The window grows with its client area and stays centred where it was.
    RECT outer{0, 0, placed.Dialog.cx, placed.Dialog.cy};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongA(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(dialog, GWL_EXSTYLE)));
    RECT now{};
    ::GetWindowRect(dialog, &now);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    ::SetWindowPos(dialog, nullptr, (now.left + now.right - width) / 2,
                   (now.top + now.bottom - height) / 2, width, height, SWP_NOZORDER);
}

INT_PTR CALLBACK BoxDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Win32InstallDisplay::BoxProcedure(reinterpret_cast<std::uintptr_t>(window), message,
                                             wParam, lParam);
}

INT_PTR CALLBACK WaitDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Win32InstallDisplay::WaitProcedure(reinterpret_cast<std::uintptr_t>(window), message,
                                              wParam, lParam);
}

INT_PTR CALLBACK ProgressDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Win32InstallDisplay::ProgressProcedure(reinterpret_cast<std::uintptr_t>(window), message,
                                                  wParam, lParam);
}

} // namespace

Win32InstallDisplay::Win32InstallDisplay() : Bar(stderr, ::_isatty(::_fileno(stderr)) != 0) {}

Win32InstallDisplay::~Win32InstallDisplay() {
    CloseProgressWindow();
}

std::intptr_t PLATFORM_WINAPI Win32InstallDisplay::ProgressProcedure(std::uintptr_t window,
                                                                     unsigned message,
                                                                     std::uintptr_t wParam,
                                                                     std::intptr_t lParam) {
    HWND dialog = Native(window);
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        // The bar is drawn by the engine, with a frame of its own.
        ::ShowWindow(::GetDlgItem(dialog, progress_control::Bar), SW_HIDE);
        return TRUE;
    }
    auto* self = reinterpret_cast<Win32InstallDisplay*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (self == nullptr || self->Events == nullptr) {
        return FALSE;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        ::HDC dc = ::BeginPaint(dialog, &paint);
        ::HGDIOBJ font = reinterpret_cast<::HGDIOBJ>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
        ::HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
        RECT area = BarArea(dialog);
        self->Events->PaintProgressBar(reinterpret_cast<platform::HDC>(dc),
                                       {area.left, area.top, area.right, area.bottom});
        if (old != nullptr) {
            ::SelectObject(dc, old);
        }
        ::EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            self->Events->CancelPressed();
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

std::uintptr_t Win32InstallDisplay::OpenProgressWindow(std::uintptr_t owner,
                                                       std::string_view caption,
                                                       std::string_view cancelCaption,
                                                       ProgressWindowEvents& events) {
    CloseProgressWindow();
    Events = &events;
    HWND dialog =
        ::CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(ProgressTemplate), Native(owner),
                             &ProgressDialogProcedure, reinterpret_cast<LPARAM>(this));
    if (dialog == nullptr) {
        Events = nullptr;
        return 0;
    }
    ::SetWindowTextA(dialog, std::string(caption).c_str());
    ::SetDlgItemTextA(dialog, IDCANCEL, std::string(cancelCaption).c_str());
    Window = reinterpret_cast<std::uintptr_t>(dialog);
    Owner = owner;
    if (owner != 0) {
        ::EnableWindow(Native(owner), FALSE);
    }
    ::ShowWindow(dialog, SW_SHOW);
    ::UpdateWindow(dialog);
    return Window;
}

std::intptr_t PLATFORM_WINAPI Win32InstallDisplay::BoxProcedure(std::uintptr_t window,
                                                                unsigned message,
                                                                std::uintptr_t wParam,
                                                                std::intptr_t lParam) {
    HWND dialog = Native(window);
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        LayOutBox(dialog, *reinterpret_cast<BoxDialogState*>(lParam));
        // The focus is on the first button already.
        return FALSE;
    }
    auto* state = reinterpret_cast<BoxDialogState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    if (state == nullptr) {
        return FALSE;
    }
    if (message == WM_PAINT && state->Icon != nullptr) {
        PAINTSTRUCT paint;
        ::HDC dc = ::BeginPaint(dialog, &paint);
        ::DrawIcon(dc, state->IconAt.x, state->IconAt.y, state->Icon);
        ::EndPaint(dialog, &paint);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const int control = LOWORD(wParam);
        for (int button : box_control::Buttons) {
            if (control == button) {
                ::EndDialog(dialog, control);
                return TRUE;
            }
        }
    }
    return FALSE;
}

int Win32InstallDisplay::ShowBoxDialog(
    const BoxDialogRequest& request,
    const std::function<BoxDialogPlacement(const BoxDialogParts& parts, Size measured, int buttons,
                                           bool icon)>& layOut) {
    BoxDialogState state;
    state.Request = &request;
    state.LayOut = &layOut;
    const INT_PTR pressed =
        ::DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(BoxDialogTemplate), Native(request.Owner),
                          &BoxDialogProcedure, reinterpret_cast<LPARAM>(&state));
    if (state.Font != nullptr) {
        ::DeleteObject(state.Font);
    }
    return pressed <= 0 ? -1 : static_cast<int>(pressed);
}

std::intptr_t PLATFORM_WINAPI Win32InstallDisplay::WaitProcedure(std::uintptr_t, unsigned message,
                                                                 std::uintptr_t, std::intptr_t) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::uintptr_t Win32InstallDisplay::OpenWaitDialog(std::uintptr_t owner, std::string_view text) {
    HWND dialog = ::CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(WaitTemplate), Native(owner),
                                       &WaitDialogProcedure, 0);
    if (dialog == nullptr) {
        return 0;
    }
    char caption[256] = {};
    if (owner != 0) {
        ::GetWindowTextA(Native(owner), caption, sizeof caption);
    }
    ::SetWindowTextA(dialog, caption);
    ::SetDlgItemTextA(dialog, wait_control::Text, std::string(text).c_str());
    // The dialog remembers whether it disabled its owner, to enable it again when it goes.
    const bool disabled = owner != 0 && ::EnableWindow(Native(owner), FALSE) == 0;
    ::SetWindowLongPtrA(dialog, DWLP_USER, disabled ? 1 : 0);
    ::ShowWindow(dialog, SW_SHOW);
    ::UpdateWindow(dialog);
    return reinterpret_cast<std::uintptr_t>(dialog);
}

void Win32InstallDisplay::CloseWaitDialog(std::uintptr_t dialog) {
    HWND window = Native(dialog);
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner != nullptr && ::GetWindowLongPtrA(window, DWLP_USER) != 0) {
        ::EnableWindow(owner, TRUE);
    }
    ::DestroyWindow(window);
}

void Win32InstallDisplay::CloseProgressWindow() {
    if (Window == 0) {
        return;
    }
    // The owner first, so that the activation goes back to it.
    if (Owner != 0) {
        ::EnableWindow(Native(Owner), TRUE);
    }
    ::DestroyWindow(Native(Window));
    Window = 0;
    Owner = 0;
    Events = nullptr;
}

void Win32InstallDisplay::SetProgressText(std::string_view text) {
    if (Window != 0) {
        ::SetDlgItemTextA(Native(Window), progress_control::Text, std::string(text).c_str());
    }
}

int Win32InstallDisplay::ProgressTextRoom() {
    RECT area{};
    HWND control = Window != 0 ? ::GetDlgItem(Native(Window), progress_control::Text) : nullptr;
    if (control == nullptr || !::GetClientRect(control, &area)) {
        return 0;
    }
    return area.right - area.left;
}

int Win32InstallDisplay::ProgressTextWidth(std::string_view text) {
    HWND control = Window != 0 ? ::GetDlgItem(Native(Window), progress_control::Text) : nullptr;
    if (control == nullptr) {
        return 0;
    }
    ::HDC dc = ::GetDC(control);
    ::HGDIOBJ font = reinterpret_cast<::HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0));
    ::HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    if (old != nullptr) {
        ::SelectObject(dc, old);
    }
    ::ReleaseDC(control, dc);
    return size.cx;
}

void Win32InstallDisplay::InvalidateProgressBar() {
    if (Window != 0) {
        RECT area = BarArea(Native(Window));
        ::InvalidateRect(Native(Window), &area, FALSE);
    }
}

void Win32InstallDisplay::InvalidateRect(std::uintptr_t window, const Rect* area) {
    static_assert(sizeof(Rect) == sizeof(RECT), "rectangles pass to USER32 as they are");
    ::InvalidateRect(Native(window), reinterpret_cast<const RECT*>(area), TRUE);
}

void Win32InstallDisplay::UpdateWindow(std::uintptr_t window) {
    ::UpdateWindow(Native(window));
}

void Win32InstallDisplay::WaitForTick(std::uintptr_t window, unsigned id, unsigned milliseconds,
                                      volatile std::int32_t& waiting) {
    if (window == 0 || !::IsWindow(Native(window)) ||
        ::SetTimer(Native(window), id, milliseconds, nullptr) == 0) {
        waiting = 0;
        return;
    }
    const DWORD start = ::GetTickCount();
    bool quit = false;
    while (waiting != 0 && !quit && ::GetTickCount() - start < milliseconds * TicksAtMost) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Left for the loop that ends the run.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                quit = true;
                break;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    ::KillTimer(Native(window), id);
    waiting = 0;
}

void Win32InstallDisplay::Pause(unsigned milliseconds) {
    ::Sleep(milliseconds);
}

void Win32InstallDisplay::ShowTerminalProgress(std::string_view text, int percent) {
    Bar.Show(text, percent);
}

void Win32InstallDisplay::EndTerminalProgress() {
    Bar.End();
}

ColorRef Win32InstallDisplay::ButtonFaceColour() {
    return ::GetSysColor(COLOR_BTNFACE);
}

void Win32InstallDisplay::PlayVideoWindow(std::uintptr_t window, Point at) {
    ::SetWindowPos(Native(window), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SendMessageA(Native(window), McirPlay, 0, 0);
}

void Win32InstallDisplay::CloseHelpFile(std::uintptr_t window, std::string_view file) {
    ::WinHelpA(Native(window), std::string(file).c_str(), HELP_QUIT, 0);
}

void Win32InstallDisplay::FailCriticalErrors() {
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
}

void Win32InstallDisplay::Notice(std::string_view text) {
    const std::string line = std::string(text) + "\n";
    ::OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
}

bool Win32InstallDisplay::sndPlaySoundA(const char* file, unsigned flags) {
    return ::sndPlaySoundA(file, flags) != FALSE;
}

} // namespace platform
