// The Appearance page in a container's property frame (OleCreatePropertyFrame) for two
// controls: a second thread edits the page and chooses a drawing with Browse through
// posted messages, as a user would, and presses Apply; only the first control changes and
// the chosen folder is remembered.
#include "apps/ocx/appearance_page_ids.h"
#include "apps/ocx/com_ref.h"
#include "apps/ocx/ocx_guids.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

using namespace plandra::ocx;

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
// The Apply button of a property sheet.
constexpr int ApplyButton = 0x3021;
constexpr const char* SettingsKey = "Software\\VB and VBA Program Settings\\Plandra";

ComRef<IClassFactory> Factory(HMODULE module, const GUID& clsid) {
    auto entry = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    IClassFactory* factory = nullptr;
    entry(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    return ComRef<IClassFactory>(factory);
}

// A property of the control as text.
std::wstring Text(IDispatch* control, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT value;
    ::VariantInit(&value);
    control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr,
                    nullptr);
    ::VariantChangeType(&value, &value, 0, VT_BSTR);
    std::wstring text = value.vt == VT_BSTR ? value.bstrVal : L"?";
    ::VariantClear(&value);
    return text;
}

struct ItemSearch {
    int Id, Other;
    HWND Found;
};

BOOL CALLBACK CheckChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<ItemSearch*>(data);
    const int item = ::GetDlgCtrlID(child);
    if ((item == search->Id || item == search->Other) && ::IsWindowVisible(child)) {
        search->Found = child;
    }
    return search->Found == nullptr;
}

BOOL CALLBACK CheckTopWindow(HWND top, LPARAM data) {
    ::EnumChildWindows(top, CheckChild, data);
    return reinterpret_cast<ItemSearch*>(data)->Found == nullptr;
}

// A visible child window with item id `id` (or `other`) of a window of the thread
// `thread`, waited for up to ten seconds.
HWND WaitForItem(DWORD thread, int id, int other = 0) {
    ItemSearch search{id, other != 0 ? other : id, nullptr};
    for (int tries = 0; tries < 200 && search.Found == nullptr; ++tries) {
        ::EnumThreadWindows(thread, CheckTopWindow, reinterpret_cast<LPARAM>(&search));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return search.Found;
}

std::string WindowsPath(std::string path) {
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return "Z:" + path;
}

TEST(OcxPropertyPage, ApplyWritesTheFirstControlAndBrowseRemembersTheFolder) {
    ::CoInitialize(nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    HMODULE module = ::LoadLibraryA(PLANDRA_OCX_PATH);
    ASSERT_NE(module, nullptr);
    // The frame makes the page by its class, which the server's factory serves here
    // without a registration.
    const ComRef<IClassFactory> pages = Factory(module, ClsidppAppearance);
    const ComRef<IClassFactory> controlFactory = Factory(module, ClsidDXF);
    ASSERT_TRUE(pages && controlFactory);
    DWORD cookie = 0;
    ASSERT_EQ(::CoRegisterClassObject(ClsidppAppearance, pages.Get(), CLSCTX_INPROC_SERVER,
                                      REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    IDispatch* made[2] = {};
    for (IDispatch*& control : made) {
        controlFactory.Get()->CreateInstance(nullptr, IID_IDispatch,
                                             reinterpret_cast<void**>(&control));
    }
    const ComRef<IDispatch> first(made[0]), second(made[1]);
    ASSERT_TRUE(first && second);
    const std::wstring secondBefore[] = {Text(second.Get(), L"OnTheSpotZoomPctLeft"),
                                         Text(second.Get(), L"DisplayAttributes")};
    const std::wstring attributesBefore = Text(first.Get(), L"DisplayAttributes");

    const std::string sample = WindowsPath(PLANDRA_SOURCE_DIR "/samples/site-plan.dxf");
    const DWORD frameThread = ::GetCurrentThreadId();
    std::atomic<bool> driven = false;
    std::thread user([&] {
        const HWND left = WaitForItem(frameThread, IDC_TXT_ZOOM_PCT_LEFT);
        const HWND page = left != nullptr ? ::GetParent(left) : nullptr;
        const HWND sheet = page != nullptr ? ::GetAncestor(page, GA_ROOT) : nullptr;
        if (sheet == nullptr) {
            return;
        }
        ::PostMessageA(left, EM_SETSEL, 0, -1);
        ::PostMessageA(left, WM_CHAR, '4', 1);
        ::PostMessageA(left, WM_CHAR, '0', 1);
        ::PostMessageA(::GetDlgItem(page, IDC_CHK_ATTRIBUTE_DISPLAY), BM_CLICK, 0, 0);
        ::PostMessageA(::GetDlgItem(page, IDC_CMD_BROWSE), BM_CLICK, 0, 0);
        // The open-file dialog: its file name box (edt1 or the combo box cmb13).
        const HWND nameBox = WaitForItem(frameThread, 0x480, 0x47c);
        if (nameBox != nullptr) {
            ::SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sample.c_str()));
            ::PostMessageA(::GetAncestor(nameBox, GA_ROOT), WM_COMMAND, IDOK, 0);
            for (int tries = 0; tries < 200 && ::IsWindow(nameBox); ++tries) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        driven = true;
        // Apply writes; Cancel then closes the frame and undoes nothing.
        ::PostMessageA(sheet, WM_COMMAND, ApplyButton, 0);
        ::PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    });
    IUnknown* controls[] = {first.Get(), second.Get()};
    GUID page = ClsidppAppearance;
    EXPECT_EQ(::OleCreatePropertyFrame(nullptr, 0, 0, L"DXF", 2, controls, 1, &page,
                                       LOCALE_USER_DEFAULT, 0, nullptr),
              S_OK);
    user.join();
    ASSERT_TRUE(driven) << "the page did not show";

    EXPECT_EQ(Text(first.Get(), L"OnTheSpotZoomPctLeft"), L"40");
    EXPECT_NE(Text(first.Get(), L"DisplayAttributes"), attributesBefore);
    const std::wstring chosen = Text(first.Get(), L"FileName");
    EXPECT_EQ(std::string(chosen.begin(), chosen.end()), sample);
    EXPECT_EQ(Text(second.Get(), L"OnTheSpotZoomPctLeft"), secondBefore[0]);
    EXPECT_EQ(Text(second.Get(), L"DisplayAttributes"), secondBefore[1]);

    char folder[MAX_PATH] = {};
    DWORD size = sizeof(folder);
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, (std::string(SettingsKey) + "\\Defaults").c_str(),
                             "InitDir", RRF_RT_REG_SZ, nullptr, folder, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(folder), sample.substr(0, sample.find_last_of('\\') + 1));

    ::RegDeleteTreeA(HKEY_CURRENT_USER, SettingsKey);
    ::CoRevokeClassObject(cookie);
}

} // namespace
