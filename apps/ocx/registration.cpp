// Registration of Plandra.ocx under HKEY_CLASSES_ROOT.
#include "registration.h"

#include "com_variant.h"
#include "platform/unique_handle.h"

#include <vector>

namespace plandra::ocx {
namespace {

struct KeyTraits {
    using Handle = HKEY;
    static constexpr Handle Null = nullptr;
    void Release(Handle key) { ::RegCloseKey(key); }
};
using UniqueKey = platform::UniqueHandle<KeyTraits>;

// One value: key path below HKEY_CLASSES_ROOT, value name (empty: the default value)
// and text.
struct RegistryValue {
    std::wstring Key;
    std::wstring Name;
    std::wstring Text;
};

std::wstring Braced(std::string_view guid) {
    return L"{" + WideText(guid) + L"}";
}

// OLEMISC_RECOMPOSEONRESIZE | CANTLINKINSIDE | INSIDEOUT | ACTIVATEWHENVISIBLE |
// SETCLIENTSITEFIRST: a control drawn by itself, active whenever it is visible.
constexpr const wchar_t* MiscStatus = L"131473";
// The automation marshaller for every dispatch interface.
constexpr const wchar_t* AutomationProxy = L"{00020420-0000-0000-C000-000000000046}";

// The keys that hold everything we write; unregistration removes these trees.
std::vector<std::wstring> OwnKeys() {
    return {L"CLSID\\" + Braced(ids::DXF),
            L"CLSID\\" + Braced(ids::ppAppearance),
            WideText(ControlProgId),
            L"TypeLib\\" + Braced(ids::PlandraOCX),
            L"Interface\\" + Braced(ids::DXFInterface),
            L"Interface\\" + Braced(ids::DXFEvents),
            L"Interface\\" + Braced(ids::DXFLayersInterface),
            L"Interface\\" + Braced(ids::DXFLayerInterface)};
}

std::vector<RegistryValue> Values(const std::wstring& serverPath) {
    const std::wstring clsid = L"CLSID\\" + Braced(ids::DXF);
    const std::wstring page = L"CLSID\\" + Braced(ids::ppAppearance);
    const std::wstring libid = Braced(ids::PlandraOCX);
    const std::wstring library = L"TypeLib\\" + libid + L"\\1.0";
    const std::wstring folder = serverPath.substr(0, serverPath.find_last_of(L'\\') + 1);
    const std::wstring progId = WideText(ControlProgId);
    std::vector<RegistryValue> values = {
        {clsid, L"", L"DXF Control"},
        {clsid + L"\\InprocServer32", L"", serverPath},
        {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid + L"\\ProgID", L"", progId},
        {clsid + L"\\Control", L"", L""},
        {clsid + L"\\MiscStatus", L"", L"0"},
        {clsid + L"\\MiscStatus\\1", L"", MiscStatus},
        {clsid + L"\\TypeLib", L"", libid},
        {clsid + L"\\Version", L"", L"1.0"},
        {page, L"", L"Appearance"},
        {page + L"\\InprocServer32", L"", serverPath},
        {page + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {progId, L"", L"DXF Control"},
        {progId + L"\\CLSID", L"", Braced(ids::DXF)},
        {library, L"", L"Plandra DXF viewer control"},
        {library + L"\\0\\" + (sizeof(void*) == 8 ? L"win64" : L"win32"), L"", serverPath},
        {library + L"\\FLAGS", L"", L"2"},
        {library + L"\\HELPDIR", L"", folder},
    };
    const std::pair<std::string_view, const wchar_t*> interfaces[] = {
        {ids::DXFInterface, L"_DXF"},
        {ids::DXFEvents, L"__DXF"},
        {ids::DXFLayersInterface, L"_DXFLayers"},
        {ids::DXFLayerInterface, L"_DXFLayer"}};
    for (const auto& [iid, name] : interfaces) {
        const std::wstring key = L"Interface\\" + Braced(iid);
        values.push_back({key, L"", name});
        values.push_back({key + L"\\ProxyStubClsid", L"", AutomationProxy});
        values.push_back({key + L"\\ProxyStubClsid32", L"", AutomationProxy});
        values.push_back({key + L"\\TypeLib", L"", libid});
        values.push_back({key + L"\\TypeLib", L"Version", L"1.0"});
    }
    return values;
}

// Where the keys of a scope go.
struct Root {
    HKEY Base;
    std::wstring Prefix;
};

Root RootOf(RegistrationScope scope) {
    return scope == RegistrationScope::User ? Root{HKEY_CURRENT_USER, L"Software\\Classes\\"}
                                            : Root{HKEY_CLASSES_ROOT, L""};
}

HRESULT WriteValue(const Root& root, const RegistryValue& value) {
    HKEY key = nullptr;
    const std::wstring path = root.Prefix + value.Key;
    LONG status = ::RegCreateKeyExW(root.Base, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &key, nullptr);
    if (status != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(status);
    }
    UniqueKey owner(key);
    status = ::RegSetValueExW(key, value.Name.empty() ? nullptr : value.Name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.Text.c_str()),
                              static_cast<DWORD>((value.Text.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

// Deletes `path` below `parent` with every key under it.
LONG DeleteTree(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    {
        UniqueKey owner(key);
        wchar_t name[256];
        for (;;) {
            DWORD length = static_cast<DWORD>(std::size(name));
            // Always the first subkey: the one before was just deleted.
            status = ::RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status != ERROR_SUCCESS) {
                break;
            }
            status = DeleteTree(key, name);
            if (status != ERROR_SUCCESS) {
                return status;
            }
        }
    }
    return ::RegDeleteKeyW(parent, path.c_str());
}

void DeleteIfEmpty(HKEY parent, const std::wstring& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    {
        UniqueKey owner(key);
        ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                           nullptr, nullptr, nullptr, nullptr);
    }
    if (subkeys == 0 && values == 0) {
        ::RegDeleteKeyW(parent, path.c_str());
    }
}

} // namespace

HRESULT RegisterServer(const std::wstring& serverPath, RegistrationScope scope) {
    const Root root = RootOf(scope);
    for (const RegistryValue& value : Values(serverPath)) {
        if (const HRESULT result = WriteValue(root, value); FAILED(result)) {
            return result;
        }
    }
    return S_OK;
}

HRESULT UnregisterServer(RegistrationScope scope) {
    const Root root = RootOf(scope);
    HRESULT result = S_OK;
    for (const std::wstring& key : OwnKeys()) {
        const LONG status = DeleteTree(root.Base, root.Prefix + key);
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && SUCCEEDED(result)) {
            result = HRESULT_FROM_WIN32(status);
        }
    }
    if (scope == RegistrationScope::User) {
        // A user's classes (even the key Classes itself) may start without these keys,
        // which registration then made: they go again when nothing else is in them.
        for (const wchar_t* container : {L"CLSID", L"TypeLib", L"Interface"}) {
            DeleteIfEmpty(root.Base, root.Prefix + container);
        }
        DeleteIfEmpty(root.Base, L"Software\\Classes");
    }
    return result;
}

} // namespace plandra::ocx
