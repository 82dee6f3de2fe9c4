// What only the sandbox's registry has: its REGEDIT4 file, read strictly and written
// after every change, and the Windows 95 way of deleting keys.
#include "platform/posix/sandbox_registry.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace platform;
namespace fs = std::filesystem;

TEST(RegeditText, DamagedFilesAreRefusedNamingTheLine) {
    const struct {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"", "line 1: not a REGEDIT4 file (its first line must be REGEDIT4)"},
        {"Windows Registry Editor Version 5.00\r\n",
         "line 1: not a REGEDIT4 file (its first line must be REGEDIT4)"},
        {"REGEDIT4\n\"a\"=\"b\"", "line 2: a value comes before the first key"},
        {"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A", "line 2: a key line must end with \"]\""},
        {"REGEDIT4\n[HKEY_LOCAL\\A]", "line 2: \"HKEY_LOCAL\" is not a registry root"},
        {"REGEDIT4\n[HKEY_USERS\\A\\\\B]", "line 2: a key path holds an empty name"},
        {"REGEDIT4\n[-HKEY_USERS\\A]", "line 2: [-...] deletes a key; this file only lists keys"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=-",
         "line 3: \"=-\" deletes a value; this file only lists values"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=\"open", "line 3: a quoted text has no closing quote"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=\"\\n\"",
         "line 3: a backslash in quotes must be followed by \\ or \""},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\" \"x\"", "line 3: \"=\" must follow the value's name"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=dword:123456789",
         "line 3: dword: must be followed by one to eight hexadecimal digits"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=hex:01,\\\n  1g",
         "line 3: \"1g\" is not a byte of two hexadecimal digits"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=hex:01,\\\n",
         "line 3: a byte is missing after the last comma"},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\n\n\"v\"=hex(z):00",
         "line 5: hex( must be followed by a type in hexadecimal and \"):\""},
        {"REGEDIT4\n[HKEY_USERS\\A]\n\"v\"=1",
         "line 3: a value must be \"text\", dword:, hex: or hex(type):"},
        {"REGEDIT4\n[HKEY_USERS\\A]\nv=1",
         "line 3: a line must be a key in brackets, a value or a comment"},
    };
    for (const auto& c : cases) {
        HeadlessRegistry registry;
        std::string error;
        EXPECT_FALSE(registry.Load(c.Text, error)) << c.Text;
        EXPECT_EQ(error, c.Error);
    }
}

TEST(RegeditText, EveryFormReadsAndIsWrittenBackInOneSpelling) {
    const std::string text = "REGEDIT4\n; a comment\n[hkey_classes_root\\.dxf]\n@=\"Drawing\"\n"
                             "[HKEY_CURRENT_USER\\A \\B]\n\"Q\\\"\\\\\" = \"x\\\\y\"\n"
                             "\"D\"=dword:A\n\"d\"=dword:0000000b\n\"L\"=hex(7):61,00,\\\n"
                             "   00\n\"N\"=hex(0):\n\"S\"=hex(1):61,0d,0a,00\n\"B\"=hex:1,FF\n";
    HeadlessRegistry registry;
    std::string error;
    ASSERT_TRUE(registry.Load(text, error)) << error;
    EXPECT_EQ(registry.Text(),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A ]\r\n\r\n"
              "[HKEY_CURRENT_USER\\A \\B]\r\n\"Q\\\"\\\\\"=\"x\\\\y\"\r\n"
              "\"D\"=dword:0000000b\r\n\"L\"=hex(7):61,00,00\r\n\"N\"=hex(0):\r\n"
              "\"S\"=hex(1):61,0d,0a,00\r\n\"B\"=hex:01,ff\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.dxf]\r\n@=\"Drawing\"\r\n");
}

class SandboxRegistryTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(Folder); }

    SandboxRegistry& Open(WindowsFamily family) {
        if (!Machine) {
            Machine = std::move(SandboxMachine::Create(Folder, family).Machine);
        }
        auto opened = SandboxRegistry::Open(*Machine);
        EXPECT_EQ(opened.Error, "");
        Registry = std::move(opened.Registry);
        return *Registry;
    }
    std::string FileText() const {
        std::ifstream file(Folder / SandboxRegistry::FileName, std::ios::binary);
        return (std::stringstream() << file.rdbuf()).str();
    }

    fs::path Folder =
        fs::temp_directory_path() / ("sandbox-registry-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine;
    std::unique_ptr<SandboxRegistry> Registry;
};

TEST_F(SandboxRegistryTest, ChangesReachTheFileAtOnceAndAFailedWriteIsReported) {
    SandboxRegistry& registry = Open(WindowsFamily::WindowsNT);
    char owner[32];
    std::uint32_t size = sizeof owner;
    HKEY key = nullptr;
    ASSERT_EQ(registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                                     reg::KeyRead, key),
              reg::Success);
    EXPECT_EQ(registry.RegQueryValueExA(key, "RegisteredOwner", nullptr, owner, &size),
              reg::Success);
    EXPECT_EQ(std::string(owner), "Installer");
    registry.RegCloseKey(key);

    ASSERT_EQ(
        registry.RegCreateKeyExA(HKEY_CLASSES_ROOT, ".dxf", 0, reg::KeyAllAccess, key, nullptr),
        reg::Success);
    EXPECT_NE(FileText().find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.dxf]\r\n"),
              std::string::npos);
    // A folder where the temporary file must go makes the next write fail.
    fs::create_directory(Folder / "registry.reg.new");
    EXPECT_EQ(registry.RegSetValueExA(key, "", reg::Sz, std::string("Drawing\0", 8)),
              reg::RegistryIoFailed);
    EXPECT_EQ(FileText().find("Drawing"), std::string::npos);
    fs::remove(Folder / "registry.reg.new");
    EXPECT_EQ(registry.RegSetValueExA(key, "Other", reg::Sz, std::string("\0", 1)), reg::Success);
    registry.RegCloseKey(key);
    Open(WindowsFamily::WindowsNT);
    EXPECT_NE(FileText().find("@=\"Drawing\"\r\n\"Other\"=\"\"\r\n"), std::string::npos);
}

TEST_F(SandboxRegistryTest, Windows95DeletesAKeyWithItsSubkeysAndDamageIsReportedOnOpening) {
    SandboxRegistry& registry = Open(WindowsFamily::Windows95);
    HKEY key = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\A\\B\\C", 0, 0, key, nullptr),
              reg::Success);
    // Windows 95 checks no access rights.
    EXPECT_EQ(registry.RegSetValueExA(key, "v", reg::Dword, std::string(4, '\0')), reg::Success);
    EXPECT_EQ(registry.RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\A"), reg::Success);
    EXPECT_EQ(registry.RegSetValueExA(key, "v", reg::Dword, std::string(4, '\0')), reg::KeyDeleted);
    registry.RegCloseKey(key);
    EXPECT_EQ(FileText().find("Software\\A"), std::string::npos);

    std::ofstream(Folder / SandboxRegistry::FileName)
        << "REGEDIT4\n[HKEY_USERS\\X]\n\"n\"=dword:\n";
    EXPECT_EQ(SandboxRegistry::Open(*Machine).Error,
              (Folder / SandboxRegistry::FileName).string() +
                  " line 3: dword: must be followed by one to eight hexadecimal digits");
}

} // namespace

namespace {

TEST(SandboxRegistryRights, OnlyAnAdministratorChangesMachineWideKeysOnNT) {
    const fs::path folder = fs::temp_directory_path() / ("rights-" + std::to_string(::getpid()));
    for (const WindowsFamily family : {WindowsFamily::WindowsNT, WindowsFamily::Windows95}) {
        fs::remove_all(folder);
        MachineDescription user = SandboxMachine::Create(folder, family).Machine->Description();
        user.Admin = false;
        std::ofstream(folder / "machine.ini") << SandboxMachine::DescriptionText(user);
        auto machine = SandboxMachine::Open(folder).Machine;
        auto registry = SandboxRegistry::Open(*machine).Registry;
        const long denied = family == WindowsFamily::WindowsNT ? reg::AccessDenied : reg::Success;
        const std::string data("x", 2);
        HKEY key = nullptr;
        HKEY readable = nullptr;
        const std::string software = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        ASSERT_EQ(registry->RegOpenKeyExA(HKEY_LOCAL_MACHINE, software, 0, reg::KeyRead, readable),
                  reg::Success);
        const auto closed = [&](long status) {
            if (key != nullptr) {
                registry->RegCloseKey(std::exchange(key, nullptr));
            }
            return status;
        };
        // In order: set through a read handle, open existing for reading, open for
        // writing, create, set on a root, delete, set in the user's own keys.
        const std::vector<long> results{
            registry->RegSetValueExA(readable, "v", reg::Sz, data),
            closed(registry->RegCreateKeyExA(HKEY_CLASSES_ROOT, "", 0, reg::KeyRead, key, nullptr)),
            closed(registry->RegOpenKeyExA(HKEY_LOCAL_MACHINE, software, 0, reg::KeyWrite, key)),
            closed(registry->RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, reg::KeyRead,
                                             key, nullptr)),
            registry->RegSetValueExA(HKEY_CURRENT_CONFIG, "v", reg::Sz, data),
            registry->RegDeleteKeyA(HKEY_LOCAL_MACHINE, software + "\\Run"),
            registry->RegSetValueExA(HKEY_CURRENT_USER, "v", reg::Sz, data),
        };
        EXPECT_EQ(results, (std::vector<long>{denied, 0, denied, denied, denied, denied, 0}));
        registry->RegCloseKey(readable);
    }
    fs::remove_all(folder);
}

} // namespace
