// The DXF control as a COM object.
#include "control_object.h"

#include "com_variant.h"
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "platform/headless/headless_child_window.h"
#include "platform/win32/win32_child_window.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_picture_box.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "server_module.h"

#include <array>
#include <memory>
#include <new>

namespace plandra::ocx {
namespace {

// The size of the hidden surface a control works on without a container.
constexpr int HiddenWidth = 640;
constexpr int HiddenHeight = 480;
constexpr int StatusBarHeight = 20;
constexpr int HandleSize = 7;
constexpr const wchar_t* WindowClassName = L"PlandraOCXSurface";

platform::HWND ToPlatform(::HWND window) {
    return reinterpret_cast<platform::HWND>(window);
}

bool RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ModuleInstance();
    windowClass.lpszClassName = WindowClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    return ::RegisterClassW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The hidden top-level window that holds the child windows; none where windows
// cannot be made (a session without a display), and the surfaces then work offscreen.
platform::UniqueWindow MakeHiddenFrame() {
    if (!RegisterWindowClass()) {
        return platform::UniqueWindow();
    }
    return platform::UniqueWindow(::CreateWindowExW(0, WindowClassName, L"Plandra", WS_POPUP, 0, 0,
                                                    HiddenWidth, HiddenHeight, nullptr, nullptr,
                                                    ModuleInstance(), nullptr));
}

::HWND MakeChild(::HWND parent, int width, int height, bool visible) {
    if (parent == nullptr) {
        return nullptr;
    }
    return ::CreateWindowExW(0, WindowClassName, L"", WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0,
                             width, height, parent, nullptr, ModuleInstance(), nullptr);
}

std::unique_ptr<platform::ChildWindow> Placement(::HWND window, int width, int height,
                                                 bool visible) {
    if (window != nullptr) {
        return std::make_unique<platform::Win32ChildWindow>(ToPlatform(window));
    }
    return std::make_unique<platform::HeadlessChildWindow>(width, height, visible);
}

/// The child windows and services a control is built on.
struct ControlSurfaces {
    ControlSurfaces()
        : Frame(MakeHiddenFrame()),
          PlandraWindow(MakeChild(Frame.Get(), HiddenWidth, HiddenHeight, true)),
          StatusBarWindow(MakeChild(Frame.Get(), HiddenWidth, StatusBarHeight, false)),
          picPlandra(Gdi, ToPlatform(PlandraWindow), HiddenWidth, HiddenHeight),
          picStatusBar(Gdi, ToPlatform(StatusBarWindow), HiddenWidth, StatusBarHeight),
          picPlandraWindow(Placement(PlandraWindow, HiddenWidth, HiddenHeight, true)),
          picStatusBarWindow(Placement(StatusBarWindow, HiddenWidth, StatusBarHeight, false)) {
        for (auto& handle : picHandle) {
            handle = Placement(MakeChild(Frame.Get(), HandleSize, HandleSize, false), HandleSize,
                               HandleSize, false);
        }
    }

    DXFSurfaces Surfaces() {
        return {Screen,
                Gdi,
                picPlandra,
                *picPlandraWindow,
                picStatusBar,
                *picStatusBarWindow,
                {picHandle[0].get(), picHandle[1].get(), picHandle[2].get(), picHandle[3].get()}};
    }

    platform::Win32Screen Screen;
    platform::Win32Gdi Gdi;
    // Destroying the frame destroys the child windows with it.
    platform::UniqueWindow Frame;
    ::HWND PlandraWindow;
    ::HWND StatusBarWindow;
    platform::Win32PictureBox picPlandra;
    platform::Win32PictureBox picStatusBar;
    std::unique_ptr<platform::ChildWindow> picPlandraWindow;
    std::unique_ptr<platform::ChildWindow> picStatusBarWindow;
    std::array<std::unique_ptr<platform::ChildWindow>, 4> picHandle;
};

/// The services of the host side: without a container the control is at run time.
struct ControlHostServices {
    DXFHost Host() { return {Container, nullptr, Dialogs, MessageBox, Registry, Shell}; }

    RunTimeContainer Container;
    platform::Win32Dialogs Dialogs;
    platform::Win32MessageBox MessageBox;
    platform::Win32Registry Registry;
    platform::Win32Shell Shell;
};

class ControlObject final : public IDispatch, public IProvideClassInfo2 {
public:
    ControlObject() : Control(Windows.Surfaces(), Services.Host()) {
        AddServerReference();
        Control.InitProperties();
        Control.Resize(HiddenWidth, HiddenHeight);
    }
    ~ControlObject() { ReleaseServerReference(); }
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DiidDXF) {
            *object = static_cast<IDispatch*>(this);
        } else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) {
            *object = static_cast<IProvideClassInfo2*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --References;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IDispatch through the member table of _DXF.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo == nullptr) {
            return E_POINTER;
        }
        *typeInfo = nullptr;
        return index == 0 ? TypeInfoOf(DiidDXF, typeInfo) : DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* dispIds) override {
        return IdsOfNames(DXFMembers(), names, count, dispIds);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return InvokeById(DXFMembers(), Control, dispId, flags, params, result, exception,
                          argumentError);
    }

    // IProvideClassInfo2: the class DXF and its event interface __DXF.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** typeInfo) override {
        if (typeInfo == nullptr) {
            return E_POINTER;
        }
        *typeInfo = nullptr;
        return TypeInfoOf(ClsidDXF, typeInfo);
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) override {
        if (guid == nullptr) {
            return E_POINTER;
        }
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
            *guid = GUID_NULL;
            return E_INVALIDARG;
        }
        *guid = DiidDXFEvents;
        return S_OK;
    }

private:
    ControlSurfaces Windows;
    ControlHostServices Services;
    DXF Control;
    ULONG References = 1;
};

} // namespace

HRESULT CreateControlObject(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    try {
        // A COM object owns itself: its last Release deletes it.
        auto* control = new ControlObject();
        const HRESULT result = control->QueryInterface(iid, object);
        control->Release();
        return result;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

} // namespace plandra::ocx
