// The Appearance page as a COM property page: the page's logic over the dialog
// IDD_APPEARANCE, for the first of the controls a property frame gives it.
#include "appearance_page.h"

#include "appearance_page_ids.h"
#include "com_object.h"
#include "com_ref.h"
#include "control/interface/pp_appearance.h"
#include "control_object.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_page_controls.h"
#include "server_module.h"

#include <commctrl.h>
#include <memory>
#include <new>
#include <prsht.h>
#include <vector>

namespace plandra::ocx {
namespace {

// The page's controls by their names in the logic.
platform::Win32PageControls::ItemIds PageItemIds() {
    return {{"txtOnTheSpotZoomPct", IDC_TXT_ZOOM_PCT_LEFT},
            {"txtOnTheSpotRight", IDC_TXT_ZOOM_PCT_RIGHT},
            {"cmbZoom", IDC_CMB_ZOOM},
            {"chkAttributeDisplay", IDC_CHK_ATTRIBUTE_DISPLAY},
            {"txtFileName", IDC_TXT_FILE_NAME}};
}

wchar_t* TaskMemText(const wchar_t* text) {
    const std::size_t bytes = (::lstrlenW(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
    if (copy != nullptr) {
        ::CopyMemory(copy, text, bytes);
    }
    return copy;
}

class AppearancePage final : public ComObject<AppearancePage, IPropertyPage> {
public:
    AppearancePage() : ComObject(IID_IPropertyPage) {}
    ~AppearancePage() { Deactivate(); }

    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
        Site.Reset();
        if (site != nullptr) {
            site->AddRef();
            Site = ComRef<IPropertyPageSite>(site);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT position, BOOL) override {
        if (position == nullptr) {
            return E_POINTER;
        }
        Deactivate();
        Dialog = platform::UniqueWindow(
            ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_APPEARANCE), parent,
                                 DialogProcedure, reinterpret_cast<LPARAM>(this)));
        if (!Dialog) {
            return E_FAIL;
        }
        try {
            Controls = std::make_unique<platform::Win32PageControls>(
                reinterpret_cast<platform::HWND>(Dialog.Get()), PageItemIds(),
                [this](bool changed) { StatusChanged(changed); });
            Settings = platform::CurrentUserSettings();
            Logic = std::make_unique<ppAppearance>(*Controls, *Settings, MessageBox);
            Logic->Initialize();
            Logic->SelectionChanged(SelectedControls());
        } catch (const std::exception&) {
            Deactivate();
            return E_OUTOFMEMORY;
        }
        HookFrame(parent);
        Move(position);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Deactivate() override {
        UnhookFrame();
        Logic.reset();
        Dialog.Reset();
        Controls.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        // The dialog's size in pixels, from the template in its own font.
        const platform::UniqueWindow measure(
            ::CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_APPEARANCE),
                                 ::GetDesktopWindow(), DialogProcedure, 0));
        if (!measure) {
            return E_FAIL;
        }
        RECT area{};
        ::GetClientRect(measure.Get(), &area);
        info->cb = sizeof(*info);
        info->pszTitle = TaskMemText(L"Appearance");
        info->size = {area.right - area.left, area.bottom - area.top};
        info->pszDocString = nullptr;
        info->pszHelpFile = nullptr;
        info->dwHelpContext = 0;
        return info->pszTitle != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override {
        if (count > 0 && objects == nullptr) {
            return E_POINTER;
        }
        try {
            std::vector<ComRef<IUnknown>> held;
            for (ULONG i = 0; i < count; ++i) {
                if (ControlOf(objects[i]) == nullptr) {
                    return E_NOINTERFACE;
                }
                objects[i]->AddRef();
                held.emplace_back(objects[i]);
            }
            Objects = std::move(held);
            if (Logic) {
                Logic->SelectionChanged(SelectedControls());
            }
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Show(UINT command) override {
        if (!Dialog) {
            return E_UNEXPECTED;
        }
        ::ShowWindow(Dialog.Get(), static_cast<int>(command));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Move(LPCRECT position) override {
        if (position == nullptr) {
            return E_POINTER;
        }
        if (!Dialog) {
            return E_UNEXPECTED;
        }
        ::MoveWindow(Dialog.Get(), position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsPageDirty() override {
        return Logic && Logic->Changed() ? S_OK : S_FALSE;
    }
    // Writes the page to the first control when it has changes: the frame may ask more
    // than once for one press of OK (see HookFrame).
    HRESULT STDMETHODCALLTYPE Apply() override {
        if (!Logic || !Logic->Changed()) {
            return S_OK;
        }
        try {
            return Logic->ApplyChanges() ? S_OK : E_FAIL;
        } catch (const std::exception&) {
            return E_FAIL;
        }
    }
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message) override {
        return Dialog && message != nullptr && ::IsDialogMessageW(Dialog.Get(), message) ? S_OK
                                                                                         : S_FALSE;
    }

private:
    std::vector<DXF*> SelectedControls() const {
        std::vector<DXF*> controls;
        for (const auto& object : Objects) {
            controls.push_back(ControlOf(object.Get()));
        }
        return controls;
    }

    void StatusChanged(bool changed) {
        if (Site) {
            Site.Get()->OnStatusChange(changed ? PROPPAGESTATUS_DIRTY : PROPPAGESTATUS_CLEAN);
        }
        // The sheet of a hooked frame enables its Apply button itself when told.
        if (Frame != nullptr) {
            ::SendMessageW(::GetParent(Frame), changed ? PSM_CHANGED : PSM_UNCHANGED,
                           reinterpret_cast<WPARAM>(Frame), 0);
        }
    }

    // The user's edits reach the logic's change handlers.
    void Command(int id, int code) {
        struct Handler {
            int Id;
            int Code;
            void (ppAppearance::*Handle)();
        };
        static constexpr Handler Handlers[] = {
            {IDC_TXT_ZOOM_PCT_LEFT, EN_CHANGE, &ppAppearance::txtOnTheSpotZoomPct_Change},
            {IDC_TXT_ZOOM_PCT_RIGHT, EN_CHANGE, &ppAppearance::txtOnTheSpotRight_Change},
            {IDC_TXT_FILE_NAME, EN_CHANGE, &ppAppearance::txtFileName_Change},
            {IDC_CMB_ZOOM, CBN_SELCHANGE, &ppAppearance::cmbZoom_Click},
            {IDC_CHK_ATTRIBUTE_DISPLAY, BN_CLICKED, &ppAppearance::chkAttributeDisplay_Click},
            {IDC_CMD_BROWSE, BN_CLICKED, &ppAppearance::cmdBrowse_Click}};
        for (const Handler& handler : Handlers) {
            if (Logic && handler.Id == id && handler.Code == code) {
                ((*Logic).*handler.Handle)();
            }
        }
    }

    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            return TRUE;
        }
        auto* page = reinterpret_cast<AppearancePage*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (page != nullptr && message == WM_COMMAND) {
            page->Command(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }

    // A frame built on a property sheet tells the window it gave us that OK or Apply was
    // pressed (PSN_APPLY); frames that do not pass it on as IPropertyPage::Apply would
    // lose the user's changes, so the page listens there too. A refused value keeps the
    // sheet open on the page.
    void HookFrame(HWND parent) {
        if (parent == nullptr || ::GetPropW(parent, HookProperty) != nullptr) {
            return;
        }
        Frame = parent;
        ::SetPropW(parent, HookProperty, this);
        FrameProcedure = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookProcedure)));
    }
    void UnhookFrame() {
        if (Frame == nullptr) {
            return;
        }
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(Frame, GWLP_WNDPROC)) == HookProcedure) {
            ::SetWindowLongPtrW(Frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProcedure));
        }
        ::RemovePropW(Frame, HookProperty);
        Frame = nullptr;
    }
    static LRESULT CALLBACK HookProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* page = static_cast<AppearancePage*>(::GetPropW(window, HookProperty));
        if (page == nullptr) {
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
            return page->Apply() == S_OK ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        }
        const WNDPROC next = page->FrameProcedure;
        if (message == WM_DESTROY) {
            // The frame's own procedure deactivates the page, which unhooks it.
            page->AddRef();
            const LRESULT result = ::CallWindowProcW(next, window, message, wParam, lParam);
            page->Release();
            return result;
        }
        return ::CallWindowProcW(next, window, message, wParam, lParam);
    }

    static constexpr const wchar_t* HookProperty = L"PlandraAppearancePage";

    ComRef<IPropertyPageSite> Site;
    std::vector<ComRef<IUnknown>> Objects;
    platform::UniqueWindow Dialog;
    HWND Frame = nullptr;
    WNDPROC FrameProcedure = nullptr;
    platform::Win32MessageBox MessageBox;
    std::unique_ptr<platform::UserSettingsService> Settings;
    std::unique_ptr<platform::Win32PageControls> Controls;
    std::unique_ptr<ppAppearance> Logic;
};

} // namespace

HRESULT CreateAppearancePage(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    try {
        auto* page = new AppearancePage();
        const HRESULT result = page->QueryInterface(iid, object);
        page->Release();
        return result;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace plandra::ocx
