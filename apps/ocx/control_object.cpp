// The DXF control as a COM object.
#include "control_object.h"

#include "com_enumerator.h"
#include "com_variant.h"
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "event_connection.h"
#include "ocx_guids.h"
#include "platform/headless/headless_child_window.h"
#include "platform/win32/win32_child_window.h"
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_metafiles.h"
#include "platform/win32/win32_printer.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_shell.h"
#include "resizable_picture_box.h"
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
// OLEMISC_RECOMPOSEONRESIZE | CANTLINKINSIDE | INSIDEOUT | ACTIVATEWHENVISIBLE |
// SETCLIENTSITEFIRST, as registered under MiscStatus.
constexpr DWORD ControlMiscStatus = 131473;

// Asked for by this server's own code (the property page) to find the control behind an
// object it is given; a client outside gets the plain IUnknown of a control.
constexpr GUID IidControlObject = GuidOf("E310F5C8-64CD-4321-BB0F-BAD0419DEA85");

platform::HWND ToPlatform(::HWND window) {
    return reinterpret_cast<platform::HWND>(window);
}

/// What picPlandra's window tells the control: its mouse messages.
class MouseTarget {
public:
    virtual ~MouseTarget() = default;
    virtual void Mouse(UINT message, WPARAM state, int x, int y) = 0;
    /// Shows the persistent image again where the window was uncovered.
    virtual void Paint() = 0;
};

LRESULT CALLBACK SurfaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* target = reinterpret_cast<MouseTarget*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (target != nullptr && message >= WM_MOUSEFIRST && message <= WM_MBUTTONUP) {
        target->Mouse(message, wParam, static_cast<short>(LOWORD(lParam)),
                      static_cast<short>(HIWORD(lParam)));
        return 0;
    }
    if (target != nullptr && message == WM_PAINT) {
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        target->Paint();
        ::EndPaint(window, &paint);
        return 0;
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
                {picHandle[0].get(), picHandle[1].get(), picHandle[2].get(), picHandle[3].get()},
                &Metafiles,
                &Printer,
                &Clipboard};
    }

    platform::Win32Screen Screen;
    platform::Win32Gdi Gdi;
    platform::Win32Metafiles Metafiles;
    /// Plot prints on the default printer.
    platform::Win32Printer Printer;
    // Destroying the frame destroys the child windows with it.
    platform::UniqueWindow Frame;
    ::HWND PlandraWindow;
    ::HWND StatusBarWindow;
    ResizablePictureBox picPlandra;
    ResizablePictureBox picStatusBar;
    std::unique_ptr<platform::ChildWindow> picPlandraWindow;
    std::unique_ptr<platform::ChildWindow> picStatusBarWindow;
    std::array<std::unique_ptr<platform::ChildWindow>, 4> picHandle;
    /// SaveWMF without a file name leaves its metafile here, owned by picPlandra.
    platform::Win32Clipboard Clipboard{ToPlatform(PlandraWindow)};
};

/// Without a container's site the control is at run time; a changed property marks
/// the control as needing to be saved.
class OcxContainer final : public ControlContainer {
public:
    bool UserMode() const override { return User; }
    void PropertyChanged(std::string_view key) override {
        if (TakingAmbient) {
            return;
        }
        Dirty = true;
        if (key == "BackColor") {
            OwnBackColor = true;
        }
    }

    bool Dirty = false;
    /// The site's ambient UserMode; True without a site.
    bool User = true;
    /// The control follows the container's ambient BackColor until it has a back colour
    /// of its own: set by the host or read from a stored control.
    bool OwnBackColor = false;
    /// While the ambient colour is applied, which neither dirties nor owns it.
    bool TakingAmbient = false;
};

SIZEL PixelsToHimetric(int width, int height) {
    // 2540 HIMETRIC units to the inch, at the screen's 96 pixels to the inch.
    return {::MulDiv(width, 2540, 96), ::MulDiv(height, 2540, 96)};
}

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
                            public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IOleControl,
                            public IViewObject2,
                            public ISpecifyPropertyPages,
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
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DiidDXF ||
            riid == IidControlObject) {
            *object = static_cast<IDispatch*>(this);
        } else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) {
            *object = static_cast<IProvideClassInfo2*>(this);
        } else if (riid == IID_IConnectionPointContainer) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else if (riid == IID_IPersistPropertyBag) {
            *object = static_cast<IPersistPropertyBag*>(this);
        } else if (riid == IID_IPersistStreamInit || riid == IID_IPersist) {
            *object = static_cast<IPersistStreamInit*>(this);
        } else if (riid == IID_IOleObject) {
            *object = static_cast<IOleObject*>(this);
        } else if (riid == IID_IOleInPlaceObject || riid == IID_IOleWindow) {
            *object = static_cast<IOleInPlaceObject*>(this);
        } else if (riid == IID_IOleInPlaceActiveObject) {
            *object = static_cast<IOleInPlaceActiveObject*>(this);
        } else if (riid == IID_IOleControl) {
            *object = static_cast<IOleControl*>(this);
        } else if (riid == IID_IViewObject || riid == IID_IViewObject2) {
            *object = static_cast<IViewObject2*>(this);
        } else if (riid == IID_ISpecifyPropertyPages) {
            *object = static_cast<ISpecifyPropertyPages*>(this);
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
        if (points == nullptr) {
            return E_POINTER;
        }
        *points = nullptr;
        try {
            return ConnectionPointEnumerator::Make(IID_IEnumConnectionPoints, {&Events}, 0, points);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
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
        Services.Container.OwnBackColor = false;
        return AmbientBackColor();
    }
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* errorLog) override {
        if (bag == nullptr) {
            return E_POINTER;
        }
        ComPropertyBag stored(*bag, errorLog);
        return Loaded(Guarded([&] { Control.ReadProperties(stored); }));
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
        return FAILED(result) ? result : Loaded(Guarded([&] { Control.ReadProperties(stored); }));
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

    // IOleObject: a site, in-place activation in the container's window, and closing.
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
        Site.Reset();
        if (site != nullptr) {
            site->AddRef();
            Site = ComRef<IOleClientSite>(site);
        }
        return OnAmbientPropertyChange(DISPID_UNKNOWN);
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override {
        if (site == nullptr) {
            return E_POINTER;
        }
        *site = Site.Get();
        if (*site != nullptr) {
            (*site)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override {
        InPlaceDeactivate();
        Events.DisconnectAll();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker != nullptr) {
            *moniker = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** data) override {
        if (data != nullptr) {
            *data = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT position) override {
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(site != nullptr ? site : Site.Get(), parent, position);
        case OLEIVERB_HIDE:
            if (Windows.Frame) {
                ::ShowWindow(Windows.Frame.Get(), SW_HIDE);
            }
            return S_OK;
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
        }
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** verbs) override {
        return ::OleRegEnumVerbs(ClsidDXF, verbs);
    }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override { return GetClassID(clsid); }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* name) override {
        return ::OleRegGetUserType(ClsidDXF, form, name);
    }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override {
        if (size == nullptr) {
            return E_POINTER;
        }
        if (aspect != DVASPECT_CONTENT) {
            return DV_E_DVASPECT;
        }
        Extent = *size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override {
        if (size == nullptr) {
            return E_POINTER;
        }
        if (aspect != DVASPECT_CONTENT) {
            return DV_E_DVASPECT;
        }
        *size = Extent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* connection) override {
        if (!OleAdvise) {
            IOleAdviseHolder* holder = nullptr;
            if (const HRESULT made = ::CreateOleAdviseHolder(&holder); FAILED(made)) {
                return made;
            }
            OleAdvise = ComRef<IOleAdviseHolder>(holder);
        }
        return OleAdvise.Get()->Advise(sink, connection);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD connection) override {
        return OleAdvise ? OleAdvise.Get()->Unadvise(connection) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** advise) override {
        if (advise == nullptr) {
            return E_POINTER;
        }
        *advise = nullptr;
        return OleAdvise ? OleAdvise.Get()->EnumAdvise(advise) : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override {
        if (status == nullptr) {
            return E_POINTER;
        }
        *status = aspect == DVASPECT_CONTENT ? ControlMiscStatus : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject and IOleInPlaceActiveObject.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = Windows.Frame.Get();
        return *window != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        if (!InPlaceSite) {
            return S_OK;
        }
        // Back to the hidden window of its own.
        if (Windows.Frame) {
            ::ShowWindow(Windows.Frame.Get(), SW_HIDE);
            ::SetParent(Windows.Frame.Get(), nullptr);
            ::SetWindowLongPtrW(Windows.Frame.Get(), GWL_STYLE, WS_POPUP);
        }
        ComRef<IOleInPlaceSite> site = std::move(InPlaceSite);
        site.Get()->OnInPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override {
        if (position == nullptr) {
            return E_POINTER;
        }
        const int width = position->right - position->left;
        const int height = position->bottom - position->top;
        if (Windows.Frame) {
            ::MoveWindow(Windows.Frame.Get(), position->left, position->top, width, height, TRUE);
        }
        // The images take the new size; what they show stays until the next drawing.
        return Guarded([&] {
            Windows.picPlandra.Resize(width, height);
            Windows.picStatusBar.Resize(width, StatusBarHeight);
            Control.Resize(width, height);
        });
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IOleControl: the ambient UserMode and BackColor of the site.
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnMnemonic(LPMSG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispId) override {
        if (dispId == DISPID_UNKNOWN || dispId == DISPID_AMBIENT_USERMODE) {
            VARIANT userMode;
            ::VariantInit(&userMode);
            Services.Container.User = !SUCCEEDED(Ambient(DISPID_AMBIENT_USERMODE, &userMode)) ||
                                      userMode.vt != VT_BOOL || userMode.boolVal != VARIANT_FALSE;
            ::VariantClear(&userMode);
        }
        if (dispId == DISPID_UNKNOWN || dispId == DISPID_AMBIENT_BACKCOLOR) {
            return AmbientBackColor();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

    // IViewObject2: the persistent image of picPlandra, stretched into a container's
    // device context (a window, a printer or a print preview).
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC target,
                                   LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                   ULONG_PTR) override {
        if (target == nullptr || bounds == nullptr) {
            return E_INVALIDARG;
        }
        if (aspect != DVASPECT_CONTENT) {
            return DV_E_DVASPECT;
        }
        auto& image = Windows.picPlandra;
        const int mode = ::SetStretchBltMode(target, COLORONCOLOR);
        ::StretchBlt(target, bounds->left, bounds->top, bounds->right - bounds->left,
                     bounds->bottom - bounds->top, reinterpret_cast<::HDC>(image.hDC()), 0, 0,
                     image.PixelWidth(), image.PixelHeight(), SRCCOPY);
        ::SetStretchBltMode(target, mode);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE** palette) override {
        if (palette != nullptr) {
            *palette = nullptr;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override {
        ViewAdvise.Reset();
        if (sink != nullptr) {
            sink->AddRef();
            ViewAdvise = ComRef<IAdviseSink>(sink);
        }
        ViewAdviseAspect = aspects;
        ViewAdviseFlags = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override {
        if (aspects != nullptr) {
            *aspects = ViewAdviseAspect;
        }
        if (flags != nullptr) {
            *flags = ViewAdviseFlags;
        }
        if (sink != nullptr) {
            *sink = ViewAdvise.Get();
            if (*sink != nullptr) {
                (*sink)->AddRef();
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*,
                                        LPSIZEL size) override {
        return GetExtent(aspect, size);
    }

    // picPlandra's mouse messages become the control's mouse events.
    void Mouse(UINT message, WPARAM state, int x, int y) override {
        // A host's handler may release its last reference while the event runs.
        AddRef();
        const ComRef<IDispatch> self(static_cast<IDispatch*>(this));
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

    void Paint() override { Windows.picPlandra.Refresh(); }

    DXF& Inner() { return Control; }

    // ISpecifyPropertyPages: the page ppAppearance.
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override {
        if (pages == nullptr) {
            return E_POINTER;
        }
        pages->pElems = static_cast<GUID*>(::CoTaskMemAlloc(sizeof(GUID)));
        pages->cElems = pages->pElems != nullptr ? 1 : 0;
        if (pages->pElems == nullptr) {
            return E_OUTOFMEMORY;
        }
        pages->pElems[0] = ClsidppAppearance;
        return S_OK;
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
    // In-place activation in `parent` at `position` through the site's IOleInPlaceSite.
    HRESULT InPlaceActivate(IOleClientSite* site, HWND parent, LPCRECT position) {
        if (InPlaceSite) {
            return position != nullptr ? SetObjectRects(position, position) : S_OK;
        }
        if (site == nullptr || !Windows.Frame) {
            return E_UNEXPECTED;
        }
        IOleInPlaceSite* inPlace = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace)))) {
            return E_NOINTERFACE;
        }
        ComRef<IOleInPlaceSite> owner(inPlace);
        if (inPlace->CanInPlaceActivate() != S_OK) {
            return E_FAIL;
        }
        HWND window = parent;
        if (window == nullptr && FAILED(inPlace->GetWindow(&window))) {
            return E_FAIL;
        }
        inPlace->OnInPlaceActivate();
        InPlaceSite = std::move(owner);
        ::SetWindowLongPtrW(Windows.Frame.Get(), GWL_STYLE, WS_CHILD | WS_CLIPCHILDREN);
        ::SetParent(Windows.Frame.Get(), window);
        if (position != nullptr) {
            SetObjectRects(position, position);
        }
        ::ShowWindow(Windows.Frame.Get(), SW_SHOW);
        return S_OK;
    }
    // One ambient property through the site's ambient dispatch.
    HRESULT Ambient(DISPID dispId, VARIANT* value) {
        if (!Site) {
            return E_FAIL;
        }
        IDispatch* ambient = nullptr;
        if (FAILED(Site.Get()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient)))) {
            return E_NOINTERFACE;
        }
        ComRef<IDispatch> owner(ambient);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        return ambient->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                               value, nullptr, nullptr);
    }
    // The site's ambient BackColor becomes picPlandra's back colour, unless the control
    // has one of its own; a site without it leaves the colour as it is.
    HRESULT AmbientBackColor() {
        if (Services.Container.OwnBackColor) {
            return S_OK;
        }
        VARIANT color;
        ::VariantInit(&color);
        if (FAILED(Ambient(DISPID_AMBIENT_BACKCOLOR, &color)) ||
            FAILED(::VariantChangeType(&color, &color, 0, VT_I4))) {
            ::VariantClear(&color);
            return S_OK;
        }
        Services.Container.TakingAmbient = true;
        const HRESULT result =
            Guarded([&] { Control.SetBackColor(static_cast<OleColor>(color.lVal)); });
        Services.Container.TakingAmbient = false;
        return result;
    }
    // A stored control keeps its stored back colour whatever the container's is.
    HRESULT Loaded(HRESULT result) {
        if (SUCCEEDED(result)) {
            Services.Container.OwnBackColor = true;
        }
        return result;
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
    ComRef<IOleClientSite> Site;
    ComRef<IOleInPlaceSite> InPlaceSite;
    ComRef<IOleAdviseHolder> OleAdvise;
    ComRef<IAdviseSink> ViewAdvise;
    DWORD ViewAdviseAspect = 0;
    DWORD ViewAdviseFlags = 0;
    // The size the container gave, in HIMETRIC; the hidden surface's size until then.
    SIZEL Extent = PixelsToHimetric(HiddenWidth, HiddenHeight);
    ULONG References = 1;
};

} // namespace

void UnregisterSurfaceClass() {
    ::UnregisterClassW(WindowClassName, ModuleInstance());
}

DXF* ControlOf(IUnknown* object) {
    IDispatch* found = nullptr;
    if (object == nullptr ||
        FAILED(object->QueryInterface(IidControlObject, reinterpret_cast<void**>(&found)))) {
        return nullptr;
    }
    const ComRef<IDispatch> owner(found);
    return &static_cast<ControlObject*>(found)->Inner();
}

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
