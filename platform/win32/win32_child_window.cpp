// One of the control's child windows on Windows.
#include "platform/win32/win32_child_window.h"

#include "win32_api.h"

namespace platform {

namespace {

::HWND Native(HWND window) {
    return reinterpret_cast<::HWND>(window);
}

// The window's rectangle in its parent's client pixels.
RECT Placement(HWND window) {
    RECT rect{};
    ::GetWindowRect(Native(window), &rect);
    // From the desktop (a null window: HWND_DESKTOP), whose pixels are the screen's.
    ::MapWindowPoints(nullptr, ::GetParent(Native(window)), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int ParentClientWidth(HWND window) {
    RECT client{};
    ::GetClientRect(::GetParent(Native(window)), &client);
    return client.right - client.left;
}

} // namespace

int Win32ChildWindow::Left() const {
    return Placement(Handle).left;
}

int Win32ChildWindow::Top() const {
    return Placement(Handle).top;
}

int Win32ChildWindow::Width() const {
    const RECT rect = Placement(Handle);
    return rect.right - rect.left;
}

int Win32ChildWindow::Height() const {
    const RECT rect = Placement(Handle);
    return rect.bottom - rect.top;
}

void Win32ChildWindow::Move(int left, int top, int width, int height) {
    if (AlignTo == align::Top) {
        left = 0;
        top = 0;
        width = ParentClientWidth(Handle);
    }
    ::MoveWindow(Native(Handle), left, top, width, height, TRUE);
}

void Win32ChildWindow::SetAlign(int align) {
    AlignTo = align;
    if (align == align::Top) {
        Move(0, 0, 0, Height());
    }
}

bool Win32ChildWindow::Visible() const {
    return (::GetWindowLongA(Native(Handle), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32ChildWindow::SetVisible(bool visible) {
    ::ShowWindow(Native(Handle), visible ? SW_SHOWNA : SW_HIDE);
}

} // namespace platform
