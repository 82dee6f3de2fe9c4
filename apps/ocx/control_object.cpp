// The DXF control as a COM object.
#include "control_object.h"

#include "com_variant.h"
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "event_connection.h"
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
#include "stored_properties.h"

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

/// What picPlandra's window tells the control: its mouse messages.
class MouseTarget {
public:
    virtual ~MouseTarget() = default;
    virtual void Mouse(UINT message, WPARAM state, int x, int y) = 0;
};

LRESULT CALLBACK SurfaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONUP) {
        if (auto* target =
                reinterpret_cast<MouseTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
            target->Mouse(message, wParam, static_cast<short>(LOWORD(lParam)),
                          static_cast<short>(HIWORD(lParam)));
            return 0;
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// The button masks of the mouse events: left 1, right 2, middle 4; Shift 1, Ctrl 2,
// Alt 4.
Integer ButtonsOf(WPARAM state) {
    return static_cast<Integer>(((state & MK_LBUTTON) ? 1 : 0) | ((state & MK_RBUTTON) ? 2 : 0) |
                                ((state & MK_MBUTTON) ? 4 : 0));
}

Integer ShiftOf(WPARAM state) {
    return static_cast<Integer>(((state & MK_SHIFT) ? 1 : 0) | ((state & MK_CONTROL) ? 2 : 0) |
                                (::GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

Integer ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return 1;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 2;
    default:
        return 4;
    }
}

bool RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = SurfaceProcedure;
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

::HWND MakeChild(::HWND parent, const wchar_t* name, int width, int height, bool visible) {
    if (parent == nullptr) {
        return nullptr;
    }
    return ::CreateWindowExW(0, WindowClassName, name, WS_CHILD | (visible ? WS_VISIBLE : 0), 0, 0,
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
          PlandraWindow(MakeChild(Frame.Get(), L"picPlandra", HiddenWidth, HiddenHeight, true)),
          StatusBarWindow(
              MakeChild(Frame.Get(), L"picStatusBar", HiddenWidth, StatusBarHeight, false)),
          picPlandra(Gdi, ToPlatform(PlandraWindow), HiddenWidth, HiddenHeight),
          picStatusBar(Gdi, ToPlatform(StatusBarWindow), HiddenWidth, StatusBarHeight),
          picPlandraWindow(Placement(PlandraWindow, HiddenWidth, HiddenHeight, true)),
          picStatusBarWindow(Placement(StatusBarWindow, HiddenWidth, StatusBarHeight, false)) {
        for (auto& handle : picHandle) {
            handle = Placement(MakeChild(Frame.Get(), L"picHandle", HandleSize, HandleSize, false),
                               HandleSize, HandleSize, false);
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

/// Without a container's site the control is at run time; a changed property marks
/// the control as needing to be saved.
class OcxContainer final : public ControlContainer {
public:
    bool UserMode() const override { return true; }
    void PropertyChanged(std::string_view) override { Dirty = true; }

    bool Dirty = false;
};

/// The services of the host side.
struct ControlHostServices {
    DXFHost Host(DXFEvents& events) {
        return {Container, &events, Dialogs, MessageBox, Registry, Shell};
    }

    OcxContainer Container;
    platform::Win32Dialogs Dialogs;
    platform::Win32MessageBox MessageBox;
    platform::Win32Registry Registry;
    platform::Win32Shell Shell;
};

class ControlObject final : public IDispatch,
                            public IProvideClassInfo2,
                            public IConnectionPointContainer,
                            public IPersistPropertyBag,
                            public IPersistStreamInit,
                            public MouseTarget {
public:
    ControlObject()
        : Events(*static_cast<IDispatch*>(this), *this),
          Control(Windows.Surfaces(), Services.Host(Events)) {
        AddServerReference();
        Control.InitProperties();
        Control.Resize(HiddenWidth, HiddenHeight);
        if (Windows.PlandraWindow != nullptr) {
            ::SetWindowLongPtrW(Windows.PlandraWindow, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(static_cast<MouseTarget*>(this)));
        }
    }
    ~ControlObject() {
        if (Windows.PlandraWindow != nullptr) {
            ::SetWindowLongPtrW(Windows.PlandraWindow, GWLP_USERDATA, 0);
        }
        ReleaseServerReference();
    }
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
        } else if (riid == IID_IConnectionPointContainer) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else if (riid == IID_IPersistPropertyBag) {
            *object = static_cast<IPersistPropertyBag*>(this);
        } else if (riid == IID_IPersistStreamInit || riid == IID_IPersist) {
            *object = static_cast<IPersistStreamInit*>(this);
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

    // IConnectionPointContainer: the one connection point, of __DXF.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points != nullptr) {
            *points = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (point == nullptr) {
            return E_POINTER;
        }
        *point = nullptr;
        if (riid != DiidDXFEvents) {
            return CONNECT_E_NOCONNECTION;
        }
        *point = &Events;
        Events.AddRef();
        return S_OK;
    }

    // IPersistPropertyBag and IPersistStreamInit: the same keys and values.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
        if (clsid == nullptr) {
            return E_POINTER;
        }
        *clsid = ClsidDXF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitNew() override {
        Control.InitProperties();
        Services.Container.Dirty = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* errorLog) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        ComPropertyBag stored(*bag, errorLog);
        return Guarded([&] { Control.ReadProperties(stored); });
    }
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        ComPropertyBag stored(*bag, nullptr);
        const HRESULT result = Guarded([&] { Control.WriteProperties(stored); });
        return Saved(FAILED(result) ? result : stored.Result, clearDirty);
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override {
        return Services.Container.Dirty ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override {
        if (stream == nullptr) {
            return E_POINTER;
        }
        MemoryPropertyBag stored;
        const HRESULT result = LoadFromStream(*stream, stored);
        return FAILED(result) ? result : Guarded([&] { Control.ReadProperties(stored); });
    }
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override {
        if (stream == nullptr) {
            return E_POINTER;
        }
        MemoryPropertyBag stored;
        HRESULT result = Guarded([&] { Control.WriteProperties(stored); });
        if (SUCCEEDED(result)) {
            result = SaveToStream(stored, *stream);
        }
        return Saved(result, clearDirty);
    }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
        if (size == nullptr) {
            return E_POINTER;
        }
        MemoryPropertyBag stored;
        const HRESULT result = Guarded([&] { Control.WriteProperties(stored); });
        size->QuadPart = 4 + stored.Text().size();
        return result;
    }

    // picPlandra's mouse messages become the control's mouse events.
    void Mouse(UINT message, WPARAM state, int x, int y) override {
        const auto X = static_cast<float>(x);
        const auto Y = static_cast<float>(y);
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Control.picPlandra_MouseDown(ButtonOf(message), ShiftOf(state), X, Y);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            Control.picPlandra_MouseUp(ButtonOf(message), ShiftOf(state), X, Y);
            break;
        case WM_MOUSEMOVE:
            Control.picPlandra_MouseMove(ButtonsOf(state), ShiftOf(state), X, Y);
            break;
        default:
            break;
        }
    }

private:
    // Reading and writing stored values meets the control's errors (a value of the
    // wrong kind); they become E_FAIL, not an exception across COM.
    template <typename Work> static HRESULT Guarded(Work&& work) {
        try {
            work();
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (const std::exception&) {
            return E_FAIL;
        }
    }
    HRESULT Saved(HRESULT result, BOOL clearDirty) {
        if (SUCCEEDED(result) && clearDirty) {
            Services.Container.Dirty = false;
        }
        return result;
    }

    ControlSurfaces Windows;
    ControlHostServices Services;
    EventConnection Events;
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
