// Plandra.ocx through its entry points as a late-binding client sees it: the embedded
// type library agrees with dispatch, errors carry the trail, and references balance.
#include "apps/ocx/com_ref.h"
#include "apps/ocx/ocx_guids.h"
#include "control/interface/dxf_members.h"

#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace plandra::ocx;

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

template <typename Function> Function EntryPoint(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class OcxClient : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitialize(nullptr);
        Module = ::LoadLibraryA(PLANDRA_OCX_PATH);
        ASSERT_NE(Module, nullptr);
        Unload = EntryPoint<CanUnloadNow>(Module, "DllCanUnloadNow");
        Control = NewControl();
        ASSERT_TRUE(Control);
    }
    ComRef<IDispatch> NewControl() {
        IClassFactory* factory = nullptr;
        EntryPoint<GetClassObject>(Module, "DllGetClassObject")(ClsidDXF, IID_IClassFactory,
                                                                reinterpret_cast<void**>(&factory));
        ComRef<IClassFactory> factoryOwner(factory);
        IDispatch* control = nullptr;
        if (factory != nullptr) {
            factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control));
        }
        return ComRef<IDispatch>(control);
    }
    HRESULT Put(IDispatch* object, const wchar_t* name, LONG number) {
        VARIANT value;
        value.vt = VT_I4;
        value.lVal = number;
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{&value, &put, 1, 1};
        return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr);
    }

    DISPID IdOf(IDispatch* object, const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        return id;
    }
    HRESULT Call(IDispatch* object, const wchar_t* name, std::span<VARIANT> args, VARIANT* result,
                 EXCEPINFO* exception = nullptr) {
        DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
        return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT,
                              DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, result, exception,
                              nullptr);
    }

    HMODULE Module = nullptr;
    CanUnloadNow Unload = nullptr;
    ComRef<IDispatch> Control;
};

TEST_F(OcxClient, EmbeddedTypeLibraryGivesEveryMemberItsDispatchId) {
    IProvideClassInfo2* classInfo = nullptr;
    ASSERT_EQ(
        Control.Get()->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&classInfo)),
        S_OK);
    ComRef<IProvideClassInfo2> classInfoOwner(classInfo);
    GUID events{};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(events == DiidDXFEvents);

    ITypeInfo* typeInfo = nullptr;
    ASSERT_EQ(Control.Get()->GetTypeInfo(0, LOCALE_USER_DEFAULT, &typeInfo), S_OK);
    ComRef<ITypeInfo> typeInfoOwner(typeInfo);
    for (const plandra::MemberInfo& member : plandra::DXFMembers()) {
        const std::wstring name(member.Name.begin(), member.Name.end());
        LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
        MEMBERID id = DISPID_UNKNOWN;
        EXPECT_EQ(typeInfo->GetIDsOfNames(names, 1, &id), S_OK) << member.Name;
        EXPECT_EQ(id, member.DispId) << member.Name;
        EXPECT_EQ(IdOf(Control.Get(), name.c_str()), member.DispId) << member.Name;
    }
}

TEST_F(OcxClient, ErrorReachesTheClientWithTheControlsNumberAndTrail) {
    VARIANT path;
    path.vt = VT_BSTR;
    path.bstrVal = ::SysAllocString(L"Z:\\no such folder\\copy.dxf");
    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO exception{};
    EXPECT_EQ(Call(Control.Get(), L"Save", {&path, 1}, &result, &exception), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, static_cast<HRESULT>(0x80040001));
    const std::wstring description(exception.bstrDescription);
    // No drawing was read, so there is no working file to copy.
    EXPECT_EQ(description, L"File not found\r\n ->  Save.");
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    ::VariantClear(&path);
}

/// Records the events raised to it: DISPID, Button, Shift, X, Y.
class EventSink final : public IDispatch {
public:
    struct Event {
        DISPID Id;
        short Button, Shift;
        float X, Y;
        bool operator==(const Event&) const = default;
    };
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == IID_IDispatch ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        VARIANT* a = params->rgvarg; // last argument first
        Events.push_back({id, *a[3].piVal, *a[2].piVal, *a[1].pfltVal, *a[0].pfltVal});
        return S_OK;
    }
    std::vector<Event> Events;
};

TEST_F(OcxClient, MouseOnTheDrawingSurfaceRaisesTheEventsToAdvisedSinks) {
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(Control.Get()->QueryInterface(IID_IConnectionPointContainer,
                                            reinterpret_cast<void**>(&container)),
              S_OK);
    ComRef<IConnectionPointContainer> containerOwner(container);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(DiidDXFEvents, &point), S_OK);
    ComRef<IConnectionPoint> pointOwner(point);
    EventSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    IEnumConnections* connections = nullptr;
    ASSERT_EQ(point->EnumConnections(&connections), S_OK);
    ComRef<IEnumConnections> connectionsOwner(connections);
    CONNECTDATA listed[2] = {};
    ULONG count = 0;
    EXPECT_EQ(connections->Next(2, listed, &count), S_FALSE);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(listed[0].dwCookie, cookie);
    listed[0].pUnk->Release();
    const HWND frame = ::FindWindowW(L"PlandraOCXSurface", L"Plandra");
    const HWND surface = ::FindWindowExW(frame, nullptr, L"PlandraOCXSurface", L"picPlandra");
    ASSERT_NE(surface, nullptr);
    ::SendMessageW(surface, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(10, 20));
    ::SendMessageW(surface, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(11, 21));
    ::SendMessageW(surface, WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(12, 22));
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    ::SendMessageW(surface, WM_LBUTTONUP, 0, MAKELPARAM(13, 23));
    const std::vector<EventSink::Event> expected = {
        {1, 1, 1, 10, 20}, {2, 2, 0, 11, 21}, {3, 2, 2, 12, 22}};
    EXPECT_EQ(sink.Events, expected);
}

TEST_F(OcxClient, StreamHoldsThePropertiesAndRefusesAnOverlongCount) {
    ASSERT_EQ(Put(Control.Get(), L"ZoomFunction", 0), S_OK);
    IPersistStreamInit* persist = nullptr;
    ASSERT_EQ(
        Control.Get()->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)),
        S_OK);
    ComRef<IPersistStreamInit> persistOwner(persist);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    IStream* stream = nullptr;
    ASSERT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ComRef<IStream> streamOwner(stream);
    ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);

    // Into a control that starts as new: ZoomFunction comes back as stored.
    EXPECT_EQ(persist->InitNew(), S_OK);
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), S_OK);
    VARIANT read;
    ::VariantInit(&read);
    ASSERT_EQ(Call(Control.Get(), L"ZoomFunction", {}, &read), S_OK);
    EXPECT_EQ(read.lVal, 0);

    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    const unsigned char overlong[4] = {0xFF, 0xFF, 0xFF, 0x7F};
    stream->Write(overlong, sizeof overlong, nullptr);
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(persist->Load(stream), E_FAIL);
}

/// A container's property bag in memory.
class MemoryBag final : public IPropertyBag {
public:
    ~MemoryBag() {
        for (auto& [key, value] : Values) {
            ::VariantClear(&value);
        }
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == IID_IPropertyBag ? this : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR key, VARIANT* value, IErrorLog*) override {
        const auto found = Values.find(key);
        return found == Values.end() ? E_INVALIDARG : ::VariantCopy(value, &found->second);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR key, VARIANT* value) override {
        VARIANT& stored = Values[key];
        ::VariantClear(&stored);
        return ::VariantCopy(&stored, value);
    }
    std::map<std::wstring, VARIANT> Values;
};

TEST_F(OcxClient, PropertyBagCarriesTheValuesIntoANewControl) {
    ASSERT_EQ(Put(Control.Get(), L"BackColor", 0x123456), S_OK);
    ASSERT_EQ(Put(Control.Get(), L"ZoomFunction", 2), S_OK);
    MemoryBag bag;
    IPersistPropertyBag* persist = nullptr;
    Control.Get()->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist));
    EXPECT_EQ(ComRef<IPersistPropertyBag>(persist).Get()->Save(&bag, TRUE, TRUE), S_OK);
    EXPECT_EQ(bag.Values.count(L"OnTheSpotZoomPctLeft"), 0u) << "a default value is stored";

    const ComRef<IDispatch> copy = NewControl();
    copy.Get()->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&persist));
    EXPECT_EQ(ComRef<IPersistPropertyBag>(persist).Get()->Load(&bag, nullptr), S_OK);
    const std::pair<const wchar_t*, LONG> expectations[] = {
        {L"BackColor", 0x123456}, {L"ZoomFunction", 2}, {L"OnTheSpotZoomPctLeft", 200}};
    for (const auto& [name, expected] : expectations) {
        VARIANT read;
        ::VariantInit(&read);
        Call(copy.Get(), name, {}, &read);
        ::VariantChangeType(&read, &read, 0, VT_I4);
        EXPECT_EQ(read.lVal, expected) << name;
    }
    // The control names its property page.
    ISpecifyPropertyPages* pages = nullptr;
    copy.Get()->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&pages));
    CAUUID named{};
    EXPECT_EQ(ComRef<ISpecifyPropertyPages>(pages).Get()->GetPages(&named), S_OK);
    EXPECT_TRUE(named.cElems == 1 && named.pElems[0] == ClsidppAppearance);
    ::CoTaskMemFree(named.pElems);
}

TEST_F(OcxClient, ServerUnloadsOnlyWhenTheLastObjectIsReleased) {
    VARIANT layers;
    ::VariantInit(&layers);
    ASSERT_EQ(Call(Control.Get(), L"Layers", {}, &layers), S_OK);
    ASSERT_EQ(layers.vt, VT_DISPATCH);
    Control.Reset();
    EXPECT_EQ(Unload(), S_FALSE) << "the layer collection is still held";
    ::VariantClear(&layers);
    EXPECT_EQ(Unload(), S_OK);
}

} // namespace
