// Plandra.ocx placed in a window of ours as a container places it: in-place active
// in the window, showing what IViewObject2 draws, and at design time under the
// site's ambient UserMode.
#include "apps/ocx/com_ref.h"
#include "apps/ocx/ocx_guids.h"
#include "platform/png_image.h"

#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace {

using namespace plandra::ocx;

/// The container's side: a client site, an in-place site in `Window` and the ambient
/// properties (UserMode False: the form is being designed; a pale BackColor).
class Site final : public IOleClientSite, public IOleInPlaceSite, public IDispatch {
public:
    explicit Site(HWND window) : Window(window) {}
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
        *window = Window;
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
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        Deactivated = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id == DISPID_AMBIENT_BACKCOLOR) {
            result->vt = VT_I4;
            result->lVal = 0xE0F0FF; // as RRGGBB: FFF0E0
            return S_OK;
        }
        if (id != DISPID_AMBIENT_USERMODE) {
            return DISP_E_MEMBERNOTFOUND;
        }
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        return S_OK;
    }

    HWND Window;
    bool Deactivated = false;
};

// Smaller than the hidden surface the control starts on, so its images must follow.
constexpr int Width = 480;
constexpr int Height = 360;

/// The pixels of a Width x Height area drawn by `draw` into a memory device context.
template <typename Draw> std::vector<DWORD> Pixels(Draw&& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    draw(dc);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits),
                              static_cast<const DWORD*>(bits) + Width * Height);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

HRESULT Put(IDispatch* control, const wchar_t* name, VARIANT value, VARIANT* result = nullptr) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, result == nullptr ? &put : nullptr, 1, result == nullptr ? 1u : 0u};
    EXCEPINFO exception{};
    const HRESULT invoked =
        control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT,
                        result == nullptr ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD, &params, result,
                        &exception, nullptr);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    return invoked == DISP_E_EXCEPTION ? exception.scode : invoked;
}

TEST(OcxContainer, InPlaceControlShowsTheDrawingAndFollowsTheAmbientProperties) {
    ::OleInitialize(nullptr);
    HMODULE module = ::LoadLibraryA(PLANDRA_OCX_PATH);
    ASSERT_NE(module, nullptr);
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject(ClsidDXF, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    ComRef<IClassFactory> factoryOwner(factory);
    IOleObject* ole = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&ole)),
              S_OK);
    ComRef<IOleObject> oleOwner(ole);
    IDispatch* control = nullptr;
    ole->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&control));
    ComRef<IDispatch> controlOwner(control);
    IViewObject2* view = nullptr;
    ole->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view));
    ComRef<IViewObject2> viewOwner(view);

    HWND form = ::CreateWindowW(L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                Width + 60, Height + 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(form, nullptr);
    Site site(form);
    ASSERT_EQ(ole->SetClientSite(&site), S_OK);
    const RECT place{0, 0, Width, Height};
    ASSERT_EQ(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, form, &place), S_OK);
    HWND controlWindow = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    ole->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace));
    ComRef<IOleInPlaceObject> inPlaceOwner(inPlace);
    ASSERT_EQ(inPlace->GetWindow(&controlWindow), S_OK);
    EXPECT_EQ(::GetParent(controlWindow), form);

    VARIANT value;
    value.vt = VT_BSTR;
    // A drawing without texts, so that no glyph can differ from plandra render's.
    value.bstrVal = ::SysAllocString(L"" PLANDRA_SOURCE_DIR "/samples/site-plan.dxf");
    EXPECT_EQ(Put(control, L"FileName", value), S_OK);
    ::VariantClear(&value);
    value.vt = VT_I4;
    value.lVal = 0;
    VARIANT shown;
    ::VariantInit(&shown);
    EXPECT_EQ(Put(control, L"Regen", value, &shown), S_OK);
    EXPECT_EQ(shown.lVal, -1);
    // At design time the selection cannot be set (382), as the site says it is.
    EXPECT_EQ(Put(control, L"RedlineEntityType", value), static_cast<HRESULT>(0x800A017E));

    ::UpdateWindow(controlWindow);
    const std::vector<DWORD> onScreen = Pixels([&](HDC dc) {
        HDC window = ::GetDC(form);
        ::BitBlt(dc, 0, 0, Width, Height, window, 0, 0, SRCCOPY);
        ::ReleaseDC(form, window);
    });
    const std::vector<DWORD> drawn = Pixels([&](HDC dc) {
        const RECTL bounds{0, 0, Width, Height};
        EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                             nullptr, 0),
                  S_OK);
    });
    EXPECT_NE(std::count(drawn.begin(), drawn.end(), drawn[0]), Width * Height)
        << "the drawing is not on the surface";
    EXPECT_EQ(std::count_if(onScreen.begin(), onScreen.end(),
                            [&, i = 0](DWORD pixel) mutable {
                                return (pixel & 0xFFFFFF) != (drawn[i++] & 0xFFFFFF);
                            }),
              0);
    // The window shows what plandra render drew of the same drawing on the container's
    // back colour: both draw through the same GDI, so the two PNG files are the same.
    const std::vector<std::uint8_t> captured = platform::EncodePng(
        {reinterpret_cast<const std::uint8_t*>(onScreen.data()), Width, Height, Width * 4u});
    std::ifstream rendered(PLANDRA_RENDERED, std::ios::binary);
    EXPECT_TRUE(
        std::equal(captured.begin(), captured.end(), std::istreambuf_iterator<char>(rendered),
                   std::istreambuf_iterator<char>(),
                   [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }))
        << "the window differs from " PLANDRA_RENDERED;

    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_TRUE(site.Deactivated);
    EXPECT_NE(::GetParent(controlWindow), form);
    ole->SetClientSite(nullptr);
    ::DestroyWindow(form);
}

} // namespace
