// The registry calls keep keys and values as Windows' own: run against the sandbox and
// against Win32, in a key under HKEY_CURRENT_USER\Software removed afterwards.
#include "platform/headless/fault_injection.h"
#include "registry_under_test.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace machine_test {
namespace {

using namespace platform;

constexpr const char* TestKey = "Software\\PlandraTests\\RegistryContract";

class RegistryContract : public ::testing::Test {
protected:
    RegistryContract() { Base = Create(HKEY_CURRENT_USER, TestKey); }
    ~RegistryContract() override {
        Base.Reset();
        DeleteTree(HKEY_CURRENT_USER, TestKey);
        Registry.RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PlandraTests");
    }

    UniqueRegistryKey Create(HKEY parent, std::string_view path,
                             std::uint32_t* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(Registry.RegCreateKeyExA(parent, path, reg::OptionNonVolatile, reg::KeyAllAccess,
                                           key, disposition),
                  reg::Success)
            << path;
        return UniqueRegistryKey(key, RegistryKeyTraits{&Registry});
    }
    long Open(HKEY parent, std::string_view path, std::uint32_t access, UniqueRegistryKey& key) {
        HKEY opened = reinterpret_cast<HKEY>(1);
        const long status = Registry.RegOpenKeyExA(parent, path, 0, access, opened);
        EXPECT_EQ(opened == nullptr, status != reg::Success) << path;
        key = UniqueRegistryKey(status == reg::Success ? opened : nullptr,
                                RegistryKeyTraits{&Registry});
        return status;
    }
    // Deepest keys first, as the uninstaller removes a tree.
    void DeleteTree(HKEY parent, const std::string& path) {
        UniqueRegistryKey key;
        if (Open(parent, path, reg::KeyAllAccess, key) == reg::Success) {
            for (const std::string& name : SubkeyNames(key.Get())) {
                DeleteTree(key.Get(), name);
            }
        }
        Registry.RegDeleteKeyA(parent, path);
    }
    std::vector<std::string> SubkeyNames(HKEY key) {
        std::vector<std::string> names;
        char name[256];
        std::uint32_t length = sizeof name;
        while (Registry.RegEnumKeyExA(key, static_cast<std::uint32_t>(names.size()), name,
                                      length) == reg::Success) {
            names.emplace_back(name, length);
            length = sizeof name;
        }
        return names;
    }
    // Windows and Wine list values in different orders, so they are compared as a set.
    std::set<std::string> ValueNames(HKEY key) {
        std::set<std::string> names;
        char name[256];
        for (std::uint32_t index = 0, length = sizeof name;
             Registry.RegEnumValueA(key, index, name, length, nullptr, nullptr, nullptr) ==
             reg::Success;
             ++index, length = sizeof name) {
            names.emplace(name, length);
        }
        return names;
    }
    void Set(std::string_view name, std::uint32_t type, std::string_view data) {
        EXPECT_EQ(Registry.RegSetValueExA(Base.Get(), name, type, data), reg::Success) << name;
    }

    std::unique_ptr<RegistryUnderTest> Machine = MakeRegistryUnderTest();
    RegistryService& Registry = Machine->Registry();
    UniqueRegistryKey Base;
};

TEST_F(RegistryContract, ValuesOfEveryTypeComeBackAsStored) {
    const struct {
        const char* Name;
        std::uint32_t Type;
        std::string Data;
    } cases[] = {
        {"", reg::Sz, std::string("default\0", 8)},
        {"Text", reg::Sz, std::string("C:\\APP\0", 7)},
        {"Expand", reg::ExpandSz, std::string("%WINDIR%\\A\0", 11)},
        {"List", reg::MultiSz, std::string("one\0two\0\0", 9)},
        {"Number", reg::Dword, std::string("\x0A\0\0\0", 4)},
        {"Bytes", reg::Binary, std::string("\x00\xFF\x7F", 3)},
        {"Nothing", reg::None, ""},
    };
    for (const auto& c : cases) {
        Set(c.Name, c.Type, c.Data);
    }
    Set("TEXT", reg::Sz, std::string("D:\\\0", 4));
    for (const auto& c : cases) {
        char data[64];
        std::uint32_t type = 99;
        std::uint32_t size = sizeof data;
        ASSERT_EQ(Registry.RegQueryValueExA(Base.Get(), c.Name, &type, data, &size), reg::Success);
        EXPECT_EQ(type, c.Type) << c.Name;
        EXPECT_EQ(std::string(data, size),
                  std::string_view(c.Name) == "Text" ? std::string("D:\\\0", 4) : c.Data)
            << c.Name;
    }
    EXPECT_EQ(ValueNames(Base.Get()),
              (std::set<std::string>{"", "Bytes", "Expand", "List", "Nothing", "Number", "Text"}));
}

TEST_F(RegistryContract, QueriesGiveTheSizeAndRefuseShortBuffers) {
    Set("Text", reg::Sz, std::string("C:\\APP\0", 7));
    const struct {
        bool Buffer;
        std::uint32_t Size;
        long Status;
        std::uint32_t SizeAfter;
    } cases[] = {{true, 64, reg::Success, 7},
                 {true, 7, reg::Success, 7},
                 {true, 6, reg::MoreData, 7},
                 {false, 0, reg::Success, 7}};
    for (const auto& c : cases) {
        char data[64];
        std::uint32_t type = 0;
        std::uint32_t size = c.Size;
        EXPECT_EQ(
            Registry.RegQueryValueExA(Base.Get(), "text", &type, c.Buffer ? data : nullptr, &size),
            c.Status)
            << c.Size;
        EXPECT_EQ(size, c.SizeAfter) << c.Size;
        EXPECT_EQ(type, reg::Sz) << c.Size;
    }
    char data[8];
    std::uint32_t size = sizeof data;
    EXPECT_EQ(Registry.RegQueryValueExA(Base.Get(), "Missing", nullptr, data, &size),
              reg::FileNotFound);
    EXPECT_EQ(Registry.RegQueryValueExA(Base.Get(), "Text", nullptr, data, nullptr),
              reg::InvalidParameter);
    EXPECT_EQ(Registry.RegDeleteValueA(Base.Get(), "TEXT"), reg::Success);
    EXPECT_EQ(Registry.RegDeleteValueA(Base.Get(), "Text"), reg::FileNotFound);
}

TEST_F(RegistryContract, KeysAreFoundIgnoringCaseAndKeepTheirFirstSpelling) {
    std::uint32_t disposition = 0;
    Create(Base.Get(), "Vendor\\Product\\1.0", &disposition);
    EXPECT_EQ(disposition, reg::CreatedNewKey);
    Create(Base.Get(), "VENDOR\\product", &disposition);
    EXPECT_EQ(disposition, reg::OpenedExistingKey);
    const struct {
        std::string Path;
        long Status;
    } cases[] = {{"vendor\\PRODUCT\\1.0", reg::Success},
                 {"Vendor\\\\Product\\", reg::Success},
                 {"Vendor\\Missing", reg::FileNotFound},
                 {"\\Vendor", reg::BadPathname}};
    UniqueRegistryKey key;
    for (const auto& c : cases) {
        EXPECT_EQ(Open(Base.Get(), c.Path, reg::KeyRead, key), c.Status) << c.Path;
    }
    EXPECT_EQ(SubkeyNames(Base.Get()), std::vector<std::string>{"Vendor"});
    ASSERT_EQ(Open(Base.Get(), "VENDOR", reg::KeyRead, key), reg::Success);
    EXPECT_EQ(SubkeyNames(key.Get()), std::vector<std::string>{"Product"});
}

TEST_F(RegistryContract, KeysWithSubkeysAreNotDeletedAndDeletedKeysRefuseCalls) {
    Create(Base.Get(), "Tree\\Leaf");
    UniqueRegistryKey tree = Create(Base.Get(), "Tree");
    const struct {
        const char* Path;
        long Status;
    } deletions[] = {{"Tree", reg::AccessDenied},
                     {"TREE\\leaf", reg::Success},
                     {"Tree\\Leaf", reg::FileNotFound},
                     {"Tree", reg::Success}};
    for (const auto& c : deletions) {
        EXPECT_EQ(Registry.RegDeleteKeyA(Base.Get(), c.Path), c.Status) << c.Path;
    }
    EXPECT_EQ(Registry.RegSetValueExA(tree.Get(), "Late", reg::Sz, std::string("x\0", 2)),
              reg::KeyDeleted);
    EXPECT_TRUE(SubkeyNames(Base.Get()).empty());
}

TEST_F(RegistryContract, EnumerationRefusesShortBuffersAndEndsWithNoMoreItems) {
    Create(Base.Get(), "LongName");
    Set("Value", reg::Sz, std::string("abc\0", 4));
    char name[16];
    std::uint32_t length = 8;
    EXPECT_EQ(Registry.RegEnumKeyExA(Base.Get(), 0, name, length), reg::MoreData);
    length = 9;
    EXPECT_EQ(Registry.RegEnumKeyExA(Base.Get(), 0, name, length), reg::Success);
    EXPECT_EQ(std::string(name, length), "LongName");
    EXPECT_EQ(Registry.RegEnumKeyExA(Base.Get(), 1, name, length), reg::NoMoreItems);

    char data[16];
    std::uint32_t type = 0;
    std::uint32_t size = 2;
    length = sizeof name;
    EXPECT_EQ(Registry.RegEnumValueA(Base.Get(), 0, name, length, &type, data, &size),
              reg::MoreData);
    EXPECT_EQ(type, reg::Sz);
    EXPECT_EQ(size, 4u);
    length = 5;
    size = sizeof data;
    EXPECT_EQ(Registry.RegEnumValueA(Base.Get(), 0, name, length, &type, data, &size),
              reg::MoreData);
    EXPECT_EQ(Registry.RegEnumValueA(Base.Get(), 1, name, length, &type, data, &size),
              reg::NoMoreItems);
}

TEST_F(RegistryContract, HandlesAllowOnlyWhatTheyWereOpenedFor) {
    UniqueRegistryKey reader;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, TestKey, reg::KeyQueryValue, reader), reg::Success);
    char name[16];
    std::uint32_t length = sizeof name;
    EXPECT_EQ(Registry.RegSetValueExA(reader.Get(), "x", reg::Sz, std::string("\0", 1)),
              reg::AccessDenied);
    EXPECT_EQ(Registry.RegEnumKeyExA(reader.Get(), 0, name, length), reg::AccessDenied);
    EXPECT_EQ(Registry.RegQueryValueExA(reader.Get(), "x", nullptr, nullptr, nullptr),
              reg::FileNotFound);
    const HKEY closed = reader.Get();
    reader.Reset();
    EXPECT_EQ(Registry.RegCloseKey(closed), reg::InvalidHandle);
}

TEST_F(RegistryContract, RootsAreNumberedAsTheEngineNumbersThemAndClassesLiveUnderSoftware) {
    for (int index = 0; index < 5; ++index) {
        UniqueRegistryKey root;
        EXPECT_EQ(Open(RegistryRoot(index), "", reg::KeyRead, root), reg::Success) << index;
    }
    EXPECT_EQ(RegistryRoot(5), nullptr);
    constexpr const char* Document = "PlandraContract.Document";
    Create(HKEY_CLASSES_ROOT, Document);
    UniqueRegistryKey key;
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, std::string("\\") + Document, reg::KeyRead, key),
              reg::Success);
    EXPECT_EQ(
        Open(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\") + Document, reg::KeyRead, key),
        reg::Success);
    key.Reset();
    EXPECT_EQ(
        Registry.RegDeleteKeyA(HKEY_LOCAL_MACHINE, std::string("Software\\CLASSES\\") + Document),
        reg::Success);
    EXPECT_EQ(Open(HKEY_CLASSES_ROOT, Document, reg::KeyRead, key), reg::FileNotFound);
}

TEST_F(RegistryContract, InjectedFaultsReachTheCaller) {
    FaultInjectingRegistry faulty(Registry);
    faulty.Plan.FailAt(RegistryCall::RegSetValueExA, 2, reg::AccessDenied);
    faulty.Plan.FailAt(RegistryCall::RegCreateKeyExA, 1, 1016);
    const std::string data("x\0", 2);
    EXPECT_EQ(faulty.RegSetValueExA(Base.Get(), "A", reg::Sz, data), reg::Success);
    EXPECT_EQ(faulty.RegSetValueExA(Base.Get(), "B", reg::Sz, data), reg::AccessDenied);
    EXPECT_EQ(faulty.RegSetValueExA(Base.Get(), "C", reg::Sz, data), reg::Success);
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(faulty.RegCreateKeyExA(Base.Get(), "Sub", 0, reg::KeyAllAccess, key, nullptr), 1016);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(ValueNames(Base.Get()), (std::set<std::string>{"A", "C"}));
}

} // namespace
} // namespace machine_test
