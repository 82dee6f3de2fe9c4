// Modal forms on the Windows desktop.
#include "win32_api.h"

#include <algorithm>
#include <platform/win32/win32_dialogs.h>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr const char* FormClassName = "PlandraModalForm";
constexpr int Margin = 12;
constexpr int LineGap = 6;
constexpr int ButtonGap = 8;
constexpr int MinButtonWidth = 75;
constexpr int ButtonHeight = 23;
constexpr int MinClientWidth = 240;
// Well above IDOK and IDCANCEL, so that the keyboard's commands are not taken for buttons.
constexpr int FirstButtonId = 100;

// The form as its window sees it: the labels to refresh and the button names by id.
struct ShownForm {
    ModalForm& Form;
    std::vector<std::pair<std::string, std::string>> Buttons;
    std::vector<::HWND> LabelWindows;

    void Press(std::size_t button) {
        if (button < Buttons.size()) {
            Form.Click(Buttons[button].first);
        }
        const auto labels = Form.Labels();
        for (std::size_t i = 0; i < labels.size() && i < LabelWindows.size(); ++i) {
            ::SetWindowTextA(LabelWindows[i], labels[i].second.c_str());
        }
    }
};

LRESULT CALLBACK FormProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* shown = reinterpret_cast<ShownForm*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (shown != nullptr) {
        switch (message) {
        case WM_COMMAND:
            // Enter arrives as IDOK (the default button), Escape as IDCANCEL.
            if (LOWORD(wParam) == IDCANCEL) {
                shown->Form.Close();
            } else if (LOWORD(wParam) == IDOK) {
                shown->Press(0);
            } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= FirstButtonId) {
                shown->Press(LOWORD(wParam) - FirstButtonId);
            }
            return 0;
        case WM_CLOSE:
            // The form decides; the window goes when the message loop sees it unloaded.
            shown->Form.Close();
            return 0;
        default:
            break;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The module that holds this code: the program, or the control's library.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&FormProc), &module);
    return module;
}

void RegisterFormClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = FormProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = FormClassName;
    // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is as good.
    ::RegisterClassExA(&windowClass);
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Destroys the form's window when the form is done with it.
class FormWindow {
public:
    explicit FormWindow(::HWND window) : Window(window) {}
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow() {
        if (Window != nullptr) {
            ::DestroyWindow(Window);
        }
    }
    ::HWND Get() const { return Window; }

private:
    ::HWND Window;
};

// Keeps the owner disabled while the form is modal; it is enabled again before the
// form's window goes, so that Windows hands the activation back to it.
class DisabledOwner {
public:
    explicit DisabledOwner(::HWND owner) : Owner(owner) {
        if (Owner != nullptr) {
            ::EnableWindow(Owner, FALSE);
        }
    }
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;
    ~DisabledOwner() {
        if (Owner != nullptr) {
            ::EnableWindow(Owner, TRUE);
        }
    }

private:
    ::HWND Owner;
};

} // namespace

void Win32Dialogs::ShowModal(ModalForm& form) {
    form.Load();
    if (form.Unloaded()) {
        return;
    }
    const HINSTANCE instance = ThisModule();
    RegisterFormClass(instance);
    ShownForm shown{form, form.Buttons(), {}};
    const auto labels = form.Labels();

    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const HDC screen = ::GetDC(nullptr);
    const HGDIOBJ oldFont = ::SelectObject(screen, font);
    int clientWidth = MinClientWidth;
    int lineHeight = TextSize(screen, "Ag").cy;
    for (const auto& label : labels) {
        clientWidth = std::max<int>(clientWidth, TextSize(screen, label.second).cx + 2 * Margin);
    }
    std::vector<int> buttonWidths;
    int rowWidth = 0;
    for (const auto& button : shown.Buttons) {
        buttonWidths.push_back(
            std::max<int>(MinButtonWidth, TextSize(screen, button.second).cx + 2 * ButtonGap));
        rowWidth += buttonWidths.back() + (rowWidth == 0 ? 0 : ButtonGap);
    }
    ::SelectObject(screen, oldFont);
    ::ReleaseDC(nullptr, screen);
    clientWidth = std::max(clientWidth, rowWidth + 2 * Margin);
    const int buttonsTop = Margin + static_cast<int>(labels.size()) * (lineHeight + LineGap) +
                           (labels.empty() ? 0 : Margin - LineGap);
    const int clientHeight = buttonsTop + (shown.Buttons.empty() ? 0 : ButtonHeight + Margin);

    constexpr DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, clientWidth, clientHeight};
    ::AdjustWindowRectEx(&frame, Style, FALSE, ExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    const ::HWND owner = ::GetActiveWindow();
    const std::string caption(form.Caption());
    FormWindow window(::CreateWindowExA(ExStyle, FormClassName, caption.c_str(), Style, left, top,
                                        width, height, owner, nullptr, instance, &shown));
    if (window.Get() == nullptr) {
        form.Close();
        return;
    }
    auto child = [&](const char* windowClass, const std::string& text, DWORD style, int x, int y,
                     int w, int h, int id) {
        const ::HWND made = ::CreateWindowExA(
            0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, window.Get(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return made;
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const int y = Margin + static_cast<int>(i) * (lineHeight + LineGap);
        shown.LabelWindows.push_back(child("STATIC", labels[i].second, SS_LEFT | SS_NOPREFIX,
                                           Margin, y, clientWidth - 2 * Margin, lineHeight, -1));
    }
    int x = (clientWidth - rowWidth) / 2;
    ::HWND defaultButton = nullptr;
    for (std::size_t i = 0; i < shown.Buttons.size(); ++i) {
        const DWORD kind = i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        const ::HWND button =
            child("BUTTON", shown.Buttons[i].second, WS_TABSTOP | kind, x, buttonsTop,
                  buttonWidths[i], ButtonHeight, FirstButtonId + static_cast<int>(i));
        defaultButton = defaultButton == nullptr ? button : defaultButton;
        x += buttonWidths[i] + ButtonGap;
    }

    DisabledOwner disabled(owner);
    ::ShowWindow(window.Get(), SW_SHOWNORMAL);
    if (defaultButton != nullptr) {
        ::SetFocus(defaultButton);
    }
    MSG message{};
    while (!form.Unloaded()) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // The application is ending: the form closes and the quit goes on to the
            // host's own message loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            form.Close();
        } else if (got == -1) {
            form.Close();
        } else if (!::IsDialogMessageA(window.Get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

} // namespace platform
