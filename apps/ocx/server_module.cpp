// The four entry points of Plandra.ocx, its class factory and what the server shares.
#include "server_module.h"

#include "appearance_page.h"
#include "com_ref.h"
#include "control_object.h"
#include "ocx_guids.h"
#include "registration.h"

namespace plandra::ocx {
namespace {

HINSTANCE Module = nullptr;
// Live objects, outstanding factory references and LockServer counts. The control
// lives on its host's one thread (apartment threading), so a plain count serves.
long ServerReferences = 0;

// A factory is one static object: its references count as the server's.
class ClassFactory final : public IClassFactory {
public:
    using Creator = HRESULT (*)(REFIID iid, void** object);
    explicit constexpr ClassFactory(Creator create) : Create(create) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        AddServerReference();
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        ReleaseServerReference();
        return 1;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object != nullptr) {
            *object = nullptr;
        }
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        return Create(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            AddServerReference();
        } else {
            ReleaseServerReference();
        }
        return S_OK;
    }

private:
    Creator Create;
};

ClassFactory ControlFactory(CreateControlObject);
ClassFactory PageFactory(CreateAppearancePage);

} // namespace

HINSTANCE ModuleInstance() {
    return Module;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(Module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void AddServerReference() {
    ++ServerReferences;
}

void ReleaseServerReference() {
    --ServerReferences;
}

bool ServerInUse() {
    return ServerReferences > 0;
}

HRESULT TypeInfoOf(const GUID& guid, ITypeInfo** typeInfo) {
    ITypeLib* library = nullptr;
    const HRESULT loaded = ::LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library);
    if (FAILED(loaded)) {
        return loaded;
    }
    ComRef<ITypeLib> owner(library);
    return library->GetTypeInfoOfGuid(guid, typeInfo);
}

} // namespace plandra::ocx

using namespace plandra::ocx;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        Module = instance;
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary (CoFreeUnusedLibraries), not at process end.
        UnregisterSurfaceClass();
    }
    return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid == ClsidDXF) {
        return ControlFactory.QueryInterface(riid, object);
    }
    if (clsid == ClsidppAppearance) {
        return PageFactory.QueryInterface(riid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return ServerInUse() ? S_FALSE : S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    const HRESULT result = RegisterServer(ModulePath());
    if (FAILED(result)) {
        // Nothing half written stays behind.
        UnregisterServer();
    }
    return result;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return UnregisterServer();
}

// regsvr32 /n /i:user (and /u /n /i:user): the same keys for the current user only.
HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    const RegistrationScope scope = commandLine != nullptr && ::lstrcmpiW(commandLine, L"user") == 0
                                        ? RegistrationScope::User
                                        : RegistrationScope::Machine;
    if (!install) {
        return UnregisterServer(scope);
    }
    const HRESULT result = RegisterServer(ModulePath(), scope);
    if (FAILED(result)) {
        UnregisterServer(scope);
    }
    return result;
}

} // extern "C"
