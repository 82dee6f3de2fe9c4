// The uninstaller's background window and its dialogs, made from the program's dialog
// templates with USER32 and painted with GDI.
#include "platform/win32/win32_uninstall_dialogs.h"

#include "platform/unique_handle.h"
#include "win32_api.h"
#include "win32_handles.h"

#include <algorithm>
#include <commdlg.h>
#include <string>
#include <vector>

namespace platform {

namespace {

constexpr const char* BackgroundClass = "KTRSUninstall";
constexpr int WizardBitmap = 106;
constexpr int BitmapLeft = 12;
constexpr int BitmapTop = 12;
constexpr int TitlePoints = 16;
// A little room after the longest entry of a list.
constexpr int ExtentMargin = 8;

struct GdiObjectTraits {
    using Handle = ::HGDIOBJ;
    static constexpr Handle Null = nullptr;
    void Release(Handle object) { ::DeleteObject(object); }
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;

struct MemoryDcTraits {
    using Handle = ::HDC;
    static constexpr Handle Null = nullptr;
    void Release(Handle dc) { ::DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

::COLORREF Native(ColorRef color) {
    return static_cast<::COLORREF>(color);
}

// The module that holds the templates: the program.
HINSTANCE ThisModule() {
    return ::GetModuleHandleA(nullptr);
}

// One dialog of a template and its handler.
class Win32Dialog final : public ModelessDialog, public DialogControls {
public:
    explicit Win32Dialog(DialogHandler& handler) : Handler(handler) {}
    ~Win32Dialog() override {
        if (Modeless && Window != nullptr) {
            ::DestroyWindow(Window);
        }
        if (Owner != nullptr) {
            ::EnableWindow(Owner, TRUE);
        }
    }
    DialogControls& Controls() override { return *this; }

    void SetDlgItemTextA(int id, std::string_view text) override {
        ::SetDlgItemTextA(Window, id, std::string(text).c_str());
    }
    std::string GetDlgItemTextA(int id) const override {
        std::string text(1024, '\0');
        text.resize(::GetDlgItemTextA(Window, id, text.data(), static_cast<int>(text.size())));
        return text;
    }
    void ShowDlgItem(int id, bool shown) override {
        ::ShowWindow(::GetDlgItem(Window, id), shown ? SW_SHOW : SW_HIDE);
    }
    bool IsDlgItemVisible(int id) const override {
        return ::IsWindowVisible(::GetDlgItem(Window, id)) != FALSE;
    }
    void EnableDlgItem(int id, bool enabled) override {
        ::EnableWindow(::GetDlgItem(Window, id), enabled ? TRUE : FALSE);
    }
    bool IsDlgItemEnabled(int id) const override {
        return ::IsWindowEnabled(::GetDlgItem(Window, id)) != FALSE;
    }
    void CheckRadioButton(int first, int last, int checked) override {
        ::CheckRadioButton(Window, first, last, checked);
    }
    bool IsDlgButtonChecked(int id) const override {
        return ::IsDlgButtonChecked(Window, id) == BST_CHECKED;
    }
    void ListResetContent(int id) override { Send(id, LB_RESETCONTENT, 0, 0); }
    int ListAddString(int id, std::string_view text) override {
        const std::string line(text);
        return static_cast<int>(Send(id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
    }
    void ListSetSel(int id, int index, bool selected) override {
        Send(id, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
    }
    bool ListGetSel(int id, int index) const override {
        return Send(id, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    }
    int ListGetCount(int id) const override {
        return static_cast<int>(Send(id, LB_GETCOUNT, 0, 0));
    }
    void ListFitHorizontalExtent(int id) override {
        const ::HWND list = ::GetDlgItem(Window, id);
        WindowDc dc = GetWindowDc(list);
        const auto font = reinterpret_cast<::HGDIOBJ>(::SendMessageA(list, WM_GETFONT, 0, 0));
        const ::HGDIOBJ old = font != nullptr ? ::SelectObject(dc.Get(), font) : nullptr;
        int widest = 0;
        const int count = ListGetCount(id);
        for (int i = 0; i < count; ++i) {
            const auto length = Send(id, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            if (length <= 0) {
                continue;
            }
            std::string text(static_cast<std::size_t>(length) + 1, '\0');
            Send(id, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            ::SIZE size{};
            ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(length), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        if (old != nullptr) {
            ::SelectObject(dc.Get(), old);
        }
        Send(id, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + ExtentMargin), 0);
    }
    Rect FrameInterior(int id) const override {
        ::RECT rect{};
        ::GetWindowRect(::GetDlgItem(Window, id), &rect);
        ::MapWindowPoints(nullptr, Window, reinterpret_cast<::POINT*>(&rect), 2);
        return {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    }
    void SetPaintedBlocks(std::vector<Rect> blocks, ColorRef color, Rect outline) override {
        Blocks = std::move(blocks);
        BlockColor = color;
        Outline = outline;
        const ::RECT area{outline.left, outline.top, outline.right, outline.bottom};
        ::InvalidateRect(Window, &area, TRUE);
        ::UpdateWindow(Window);
    }

    // The bitmap on the left and the progress bar, over what the dialog drew.
    void Paint(::HDC dc) {
        if (Bitmap) {
            UniqueMemoryDc memory(::CreateCompatibleDC(dc));
            ::BITMAP size{};
            ::GetObjectA(Bitmap.Get(), sizeof(size), &size);
            const ::HGDIOBJ old = ::SelectObject(memory.Get(), Bitmap.Get());
            ::BitBlt(dc, BitmapLeft, BitmapTop, size.bmWidth, size.bmHeight, memory.Get(), 0, 0,
                     SRCCOPY);
            ::SelectObject(memory.Get(), old);
        }
        if (Outline.right > Outline.left) {
            const ::RECT frame{Outline.left, Outline.top, Outline.right, Outline.bottom};
            ::FrameRect(dc, &frame, static_cast<::HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
        const ::COLORREF old = ::SetBkColor(dc, Native(BlockColor));
        for (const Rect& block : Blocks) {
            const ::RECT rect{block.left, block.top, block.right, block.bottom};
            ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &rect, "", 0, nullptr);
        }
        ::SetBkColor(dc, old);
    }

    DialogHandler& Handler;
    ::HWND Window = nullptr;
    ::HWND Owner = nullptr;
    bool Modeless = false;
    UniqueGdiObject TitleFont;
    UniqueGdiObject Bitmap;
    std::vector<Rect> Blocks;
    ColorRef BlockColor = 0;
    Rect Outline;

private:
    LRESULT Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
        return ::SendDlgItemMessageA(Window, id, message, wParam, lParam);
    }
};

INT_PTR CALLBACK DialogProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        auto* dialog = reinterpret_cast<Win32Dialog*>(lParam);
        dialog->Window = window;
        dialog->Handler.InitDialog(*dialog);
        // The keyboard starts on the default button, so that Enter gives the safe answer
        // ("No to All") rather than the first button's.
        const LRESULT defaultId = ::SendMessageA(window, DM_GETDEFID, 0, 0);
        if (HIWORD(defaultId) == DC_HASDEFID) {
            ::SetFocus(::GetDlgItem(window, LOWORD(defaultId)));
            return FALSE;
        }
        return TRUE;
    }
    auto* dialog = reinterpret_cast<Win32Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;
    }
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            dialog->Handler.Command(*dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        dialog->Handler.Command(*dialog, IDCANCEL);
        return TRUE;
    case WM_PAINT: {
        ::PAINTSTRUCT paint{};
        const ::HDC dc = ::BeginPaint(window, &paint);
        dialog->Paint(dc);
        ::EndPaint(window, &paint);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

// The background window, its bands and their palette, and the wizard's window for the
// keyboard.
struct Win32UninstallDialogs::State {
    UniqueWindow Background;
    std::vector<ColorRef> Bands;
    UniqueGdiObject Palette;
    ::HWND Wizard = nullptr;

    void PaintBackground(::HWND window) {
        ::PAINTSTRUCT paint{};
        const ::HDC dc = ::BeginPaint(window, &paint);
        ::HPALETTE old = nullptr;
        if (Palette) {
            old = ::SelectPalette(dc, static_cast<::HPALETTE>(Palette.Get()), FALSE);
            ::RealizePalette(dc);
        }
        ::RECT client{};
        ::GetClientRect(window, &client);
        const int count = static_cast<int>(Bands.size());
        for (int band = 0; band < count; ++band) {
            const ::RECT rect{0, client.bottom * band / count, client.right,
                              client.bottom * (band + 1) / count};
            UniqueGdiObject brush(
                ::CreateSolidBrush(Native(Bands[static_cast<std::size_t>(band)])));
            ::FillRect(dc, &rect, static_cast<::HBRUSH>(brush.Get()));
        }
        if (old != nullptr) {
            ::SelectPalette(dc, old, FALSE);
        }
        ::EndPaint(window, &paint);
    }
};

namespace {

LRESULT CALLBACK BackgroundProc(::HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* state =
        reinterpret_cast<Win32UninstallDialogs::State*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (state != nullptr && message == WM_PAINT) {
        state->PaintBackground(window);
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

Win32UninstallDialogs::Win32UninstallDialogs() : Shown(std::make_unique<State>()) {}

Win32UninstallDialogs::~Win32UninstallDialogs() = default;

void Win32UninstallDialogs::ShowBackground(std::string_view title,
                                           std::span<const ColorRef> bands) {
    if (bands.empty()) {
        return;
    }
    Shown->Bands.assign(bands.begin(), bands.end());
    const HINSTANCE instance = ThisModule();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BackgroundProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = BackgroundClass;
    ::RegisterClassA(&windowClass);
    {
        WindowDc screen = GetWindowDc(nullptr);
        if (::GetDeviceCaps(screen.Get(), BITSPIXEL) >= 8) {
            std::vector<unsigned char> storage(sizeof(::LOGPALETTE) +
                                               bands.size() * sizeof(::PALETTEENTRY));
            auto* palette = reinterpret_cast<::LOGPALETTE*>(storage.data());
            palette->palVersion = 0x300;
            palette->palNumEntries = static_cast<WORD>(bands.size());
            for (std::size_t i = 0; i < bands.size(); ++i) {
                palette->palPalEntry[i] = {GetRValue(bands[i]), GetGValue(bands[i]),
                                           GetBValue(bands[i]), 0};
            }
            Shown->Palette = UniqueGdiObject(::CreatePalette(palette));
        }
    }
    const std::string caption(title);
    Shown->Background = UniqueWindow(::CreateWindowExA(
        0, BackgroundClass, caption.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, Shown.get()));
    if (Shown->Background) {
        ::ShowWindow(Shown->Background.Get(), SW_SHOWMAXIMIZED);
        ::UpdateWindow(Shown->Background.Get());
    }
}

std::unique_ptr<ModelessDialog> Win32UninstallDialogs::CreateWizard(std::string_view title,
                                                                    const UninstallLook& look,
                                                                    DialogHandler& handler) {
    auto dialog = std::make_unique<Win32Dialog>(handler);
    dialog->Modeless = true;
    dialog->Bitmap = UniqueGdiObject(::LoadBitmapA(ThisModule(), MAKEINTRESOURCEA(WizardBitmap)));
    const ::HWND owner = Shown->Background.Get();
    ::CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(106), owner, DialogProc,
                         reinterpret_cast<LPARAM>(dialog.get()));
    if (dialog->Window == nullptr) {
        return nullptr;
    }
    // The main window takes no input while the wizard is open.
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
        dialog->Owner = owner;
    }
    // The wizard carries the main window's title, which now names the product.
    ::SetWindowTextA(dialog->Window, std::string(title).c_str());
    if (owner != nullptr) {
        ::SetWindowTextA(owner, std::string(title).c_str());
    }
    {
        WindowDc screen = GetWindowDc(dialog->Window);
        const int height = -::MulDiv(TitlePoints, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
        dialog->TitleFont = UniqueGdiObject(::CreateFontA(
            height, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, static_cast<DWORD>(look.FontCharSet),
            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_ROMAN | VARIABLE_PITCH,
            look.TitleFont.c_str()));
    }
    if (dialog->TitleFont) {
        ::SendDlgItemMessageA(dialog->Window, 1005, WM_SETFONT,
                              reinterpret_cast<WPARAM>(dialog->TitleFont.Get()), TRUE);
    }
    ::ShowWindow(dialog->Window, SW_SHOW);
    ::SetForegroundWindow(dialog->Window);
    Shown->Wizard = dialog->Window;
    return dialog;
}

int Win32UninstallDialogs::DialogBoxParamA(int templateId, std::string_view title,
                                           DialogHandler& handler) {
    // The title goes on when the dialog starts, before its handler sees it.
    struct Titled final : DialogHandler {
        DialogHandler& Inner;
        std::string Title;
        Titled(DialogHandler& inner, std::string_view title) : Inner(inner), Title(title) {}
        void InitDialog(DialogControls& dialog) override {
            ::SetWindowTextA(static_cast<Win32Dialog&>(dialog).Window, Title.c_str());
            Inner.InitDialog(dialog);
        }
        void Command(DialogControls& dialog, int id) override { Inner.Command(dialog, id); }
    } titled(handler, title);
    Win32Dialog dialog(titled);
    const ::HWND owner = Shown->Wizard != nullptr && ::IsWindow(Shown->Wizard)
                             ? Shown->Wizard
                             : Shown->Background.Get();
    const INT_PTR result = ::DialogBoxParamA(ThisModule(), MAKEINTRESOURCEA(templateId), owner,
                                             DialogProc, reinterpret_cast<LPARAM>(&dialog));
    return static_cast<int>(result);
}

void Win32UninstallDialogs::EndDialog(DialogControls& dialog, int result) {
    ::EndDialog(static_cast<Win32Dialog&>(dialog).Window, result);
}

bool Win32UninstallDialogs::PumpMessages(bool wait) {
    ::MSG message{};
    const auto handle = [&] {
        const ::HWND wizard = Shown->Wizard;
        if (wizard != nullptr && ::IsWindow(wizard) && ::IsDialogMessageA(wizard, &message)) {
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    };
    if (wait) {
        const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit message for the program's own loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (got > 0) {
            handle();
        }
    }
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) {
            return false;
        }
        ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        handle();
    }
    return true;
}

int Win32UninstallDialogs::MessageBoxA(std::string_view text, std::string_view caption,
                                       unsigned type) {
    const ::HWND owner = Shown->Wizard != nullptr && ::IsWindow(Shown->Wizard)
                             ? Shown->Wizard
                             : Shown->Background.Get();
    return ::MessageBoxA(owner, std::string(text).c_str(), std::string(caption).c_str(), type);
}

std::string Win32UninstallDialogs::GetOpenFileNameA(std::string_view description,
                                                    std::string_view pattern,
                                                    std::string_view fileName) {
    // The filter is pairs of texts ended by zeros, and the list by a second zero.
    std::string filter = std::string(description) + '\0' + std::string(pattern) + '\0' + '\0';
    std::string path(MAX_PATH, '\0');
    path.replace(0, std::min(fileName.size(), path.size() - 1), fileName);
    ::OPENFILENAMEA request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = Shown->Background.Get();
    request.lpstrFilter = filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameA(&request)) {
        return {};
    }
    return path.c_str();
}

} // namespace platform
