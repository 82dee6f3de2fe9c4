// Plandra.ocx through its entry points as a late-binding client sees it: the embedded
// type library agrees with dispatch, errors carry the trail, and references balance.
#include "control/interface/dxf_members.h"

#include "apps/ocx/com_ref.h"
#include "apps/ocx/ocx_guids.h"

#include <gtest/gtest.h>

#include <string>

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
        IClassFactory* factory = nullptr;
        ASSERT_EQ(EntryPoint<GetClassObject>(Module, "DllGetClassObject")(
                      ClsidDXF, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        ComRef<IClassFactory> factoryOwner(factory);
        IDispatch* control = nullptr;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&control)),
                  S_OK);
        Control = ComRef<IDispatch>(control);
    }
    void TearDown() override { ::CoUninitialize(); }

    DISPID IdOf(IDispatch* object, const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        return id;
    }
    HRESULT Call(IDispatch* object, const wchar_t* name, std::span<VARIANT> args,
                 VARIANT* result, EXCEPINFO* exception = nullptr) {
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
    ASSERT_EQ(Control.Get()->QueryInterface(IID_IProvideClassInfo2,
                                            reinterpret_cast<void**>(&classInfo)),
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
