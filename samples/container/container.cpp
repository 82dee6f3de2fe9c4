// A small ActiveX container for the Plandra control: a window that places a registered
// Plandra.ocx in itself, shows a drawing, and zooms where the user clicks (left button
// in, right button out) by calling OnTheSpotZoom from the control's MouseDown event.
// Usage: plandra-container DRAWING.DXF
#define WIN32_LEAN_AND_MEAN
#include <cstdio>
#include <ole2.h>
#include <olectl.h>
#include <string>
#include <windows.h>

namespace {

IOleObject* Control = nullptr;
IDispatch* Automation = nullptr;
HWND Form = nullptr;

// Calls a member of the control by name (late binding); arguments last first.
HRESULT Call(const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 0;
    if (FAILED(Automation->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return DISP_E_UNKNOWNNAME;
    }
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{args, flags == DISPATCH_PROPERTYPUT ? &put : nullptr, count,
                      flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    EXCEPINFO error{};
    const HRESULT invoked = Automation->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                               result, &error, nullptr);
    if (invoked == DISP_E_EXCEPTION) {
        std::fwprintf(stderr, L"%ls\n", error.bstrDescription); // the control's error trail
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrSource);
    }
    return invoked;
}

// The container's site: where the control may place itself, and its event sink.
class Site final : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *object = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) {
            *object = static_cast<IOleInPlaceSite*>(this);
        } else if (riid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        *window = Form;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame**, IOleInPlaceUIWindow**, LPRECT,
                                               LPRECT, LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // The events of __DXF: MouseDown (1) zooms on the spot.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == 1 && params->cArgs == 4) {
            // Button, Shift, X, Y arrive last first; OnTheSpotZoom takes X, Y, Button.
            VARIANT args[3] = {params->rgvarg[3], params->rgvarg[0], params->rgvarg[1]};
            VARIANT result;
            VariantInit(&result);
            Call(L"OnTheSpotZoom", DISPATCH_METHOD, args, 3, &result);
        }
        return S_OK;
    }
};

Site TheSite;

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && Control != nullptr) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(Control->QueryInterface(IID_IOleInPlaceObject,
                                              reinterpret_cast<void**>(&inPlace)))) {
            const RECT place{0, 0, LOWORD(lParam), HIWORD(lParam)};
            inPlace->SetObjectRects(&place, &place);
            inPlace->Release();
            VARIANT result;
            VariantInit(&result);
            Call(L"ZoomExtents", DISPATCH_METHOD, nullptr, 0, &result);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"Usage: plandra-container DRAWING.DXF\n");
        return 2;
    }
    OleInitialize(nullptr);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"PlandraOCX.DXF", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&Control)))) {
        std::fwprintf(stderr, L"Plandra.ocx is not registered (regsvr32 Plandra.ocx)\n");
        return 1;
    }
    Control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&Automation));

    WNDCLASSW form{};
    form.lpfnWndProc = FormProcedure;
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    form.lpszClassName = L"PlandraContainer";
    RegisterClassW(&form);
    Form = CreateWindowW(L"PlandraContainer", argv[1], WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                         CW_USEDEFAULT, 800, 600, nullptr, nullptr, form.hInstance, nullptr);

    // Place the control, then take its events.
    Control->SetClientSite(&TheSite);
    RECT place;
    GetClientRect(Form, &place);
    Control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &TheSite, 0, Form, &place);
    IConnectionPointContainer* points = nullptr;
    IConnectionPoint* events = nullptr;
    DWORD cookie = 0;
    Control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
    CLSID eventsIid;
    IIDFromString(L"{CD8E1B03-89FD-423A-A971-780E6E076E5F}", &eventsIid); // __DXF
    if (points != nullptr && SUCCEEDED(points->FindConnectionPoint(eventsIid, &events))) {
        events->Advise(static_cast<IDispatch*>(&TheSite), &cookie);
    }

    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(argv[1]);
    Call(L"FileName", DISPATCH_PROPERTYPUT, &value, 1, nullptr);
    VariantClear(&value);
    value.vt = VT_I4;
    value.lVal = 0; // dxfMergeNew
    VARIANT shown;
    VariantInit(&shown);
    Call(L"Regen", DISPATCH_METHOD, &value, 1, &shown);
    ShowWindow(Form, SW_SHOW);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    if (events != nullptr) {
        events->Unadvise(cookie);
        events->Release();
    }
    if (points != nullptr) {
        points->Release();
    }
    Control->Close(OLECLOSE_NOSAVE);
    Control->SetClientSite(nullptr);
    Automation->Release();
    Control->Release();
    OleUninitialize();
    return 0;
}
