// Modal forms on the Windows desktop.
#include "platform/win32/win32_dialogs.h"

#include "win32_handles.h"

#include <algorithm>
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

using Texts = std::vector<std::pair<std::string, std::string>>;

// Where the labels and buttons go, in client pixels of the form's window.
struct FormLayout {
    int ClientWidth = MinClientWidth;
    int ClientHeight = 0;
    int LineHeight = 0;
    std::vector<int> ButtonWidths;
    int ButtonRowWidth = 0;
    int ButtonsTop = 0;
};

// Labels stacked from the top, buttons in a centred row below them, the window as
// wide as its longest text needs, measured in the dialog font.
FormLayout MeasureForm(HFONT font, const Texts& labels, const Texts& buttons) {
    FormLayout layout;
    const WindowDc screenDc = GetWindowDc(nullptr);
    const HDC screen = screenDc.Get();
    const HGDIOBJ oldFont = ::SelectObject(screen, font);
    layout.LineHeight = TextSize(screen, "Ag").cy;
    for (const auto& label : labels) {
        layout.ClientWidth =
            std::max<int>(layout.ClientWidth, TextSize(screen, label.second).cx + 2 * Margin);
    }
    for (const auto& button : buttons) {
        layout.ButtonWidths.push_back(
            std::max<int>(MinButtonWidth, TextSize(screen, button.second).cx + 2 * ButtonGap));
        layout.ButtonRowWidth +=
            layout.ButtonWidths.back() + (layout.ButtonRowWidth == 0 ? 0 : ButtonGap);
    }
    ::SelectObject(screen, oldFont);
    layout.ClientWidth = std::max(layout.ClientWidth, layout.ButtonRowWidth + 2 * Margin);
    layout.ButtonsTop = Margin + static_cast<int>(labels.size()) * (layout.LineHeight + LineGap) +
                        (labels.empty() ? 0 : Margin - LineGap);
    layout.ClientHeight = layout.ButtonsTop + (buttons.empty() ? 0 : ButtonHeight + Margin);
    return layout;
}

constexpr DWORD FormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD FormExStyle = WS_EX_DLGMODALFRAME;

// The form's window, centred on the screen, its client area as the layout needs.
::HWND CreateFormWindow(HINSTANCE instance, const FormLayout& layout, std::string_view caption,
                        ::HWND owner, ShownForm& shown) {
    RECT frame{0, 0, layout.ClientWidth, layout.ClientHeight};
    ::AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const std::string text(caption);
    return ::CreateWindowExA(FormExStyle, FormClassName, text.c_str(), FormStyle, left, top, width,
                             height, owner, nullptr, instance, &shown);
}

// Adds the labels and buttons; returns the default button (the first), if any.
::HWND AddControls(::HWND window, HINSTANCE instance, HFONT font, const FormLayout& layout,
                   const Texts& labels, ShownForm& shown) {
    auto child = [&](const char* windowClass, const std::string& text, DWORD style, int x, int y,
                     int w, int h, int id) {
        const ::HWND made = ::CreateWindowExA(
            0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        ::SendMessageA(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return made;
    };
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const int y = Margin + static_cast<int>(i) * (layout.LineHeight + LineGap);
        shown.LabelWindows.push_back(child("STATIC", labels[i].second, SS_LEFT | SS_NOPREFIX,
                                           Margin, y, layout.ClientWidth - 2 * Margin,
                                           layout.LineHeight, -1));
    }
    int x = (layout.ClientWidth - layout.ButtonRowWidth) / 2;
    ::HWND defaultButton = nullptr;
    for (std::size_t i = 0; i < shown.Buttons.size(); ++i) {
        const DWORD kind = i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        const ::HWND button =
            child("BUTTON", shown.Buttons[i].second, WS_TABSTOP | kind, x, layout.ButtonsTop,
                  layout.ButtonWidths[i], ButtonHeight, FirstButtonId + static_cast<int>(i));
        defaultButton = defaultButton == nullptr ? button : defaultButton;
        x += layout.ButtonWidths[i] + ButtonGap;
    }
    return defaultButton;
}

// Pumps messages until the form unloads itself.
void RunUntilUnloaded(::HWND window, ModalForm& form) {
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
        } else if (!::IsDialogMessageA(window, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
}

} // namespace

void Win32Dialogs::ShowModal(ModalForm& form) {
    form.Load();
    if (form.Unloaded()) {
        return;
    }
    const HINSTANCE instance = ThisModule();
    RegisterFormClass(instance);
    ShownForm shown{form, form.Buttons(), {}};
    const Texts labels = form.Labels();
    const HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const FormLayout layout = MeasureForm(font, labels, shown.Buttons);

    const ::HWND owner = ::GetActiveWindow();
    UniqueWindow window(CreateFormWindow(instance, layout, form.Caption(), owner, shown));
    if (window.Get() == nullptr) {
        form.Close();
        return;
    }
    const ::HWND defaultButton = AddControls(window.Get(), instance, font, layout, labels, shown);
    DisabledOwner disabled(owner);
    ::ShowWindow(window.Get(), SW_SHOWNORMAL);
    if (defaultButton != nullptr) {
        ::SetFocus(defaultButton);
    }
    RunUntilUnloaded(window.Get(), form);
}

} // namespace platform
