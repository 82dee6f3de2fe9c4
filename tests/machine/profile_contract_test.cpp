// The profile calls read and edit INI files as Windows' own: run against the sandbox
// and against Win32.
#include "machine_under_test.h"
#include "platform/headless/fault_injection.h"

#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace machine_test {
namespace {

using namespace platform;

constexpr const char* Sample = "; a comment line\r\n"
                               "[Paths]\r\n"
                               "  Home  =  C:\\APP  \r\n"
                               "Quoted=\"  spaced  \"\r\n"
                               "Single='one'\r\n"
                               "Half=\"open\r\n"
                               "Inline=value ; not a comment\r\n"
                               ";Hidden=x\r\n"
                               "Twice=first\r\n"
                               "twice=second\r\n"
                               "Number=42\r\n"
                               "Negative=-3\r\n"
                               "Trailing=12abc\r\n"
                               "Hex=0x10\r\n"
                               "Empty=\r\n"
                               "\r\n"
                               "[ Other ]\r\n"
                               "Key=other\r\n";

class ProfileContract : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Machine->WriteText("app.ini", Sample)); }

    std::string Get(const char* section, const char* key, const char* fallback = "",
                    std::size_t size = 256) {
        std::array<char, 256> buffer{};
        const std::uint32_t length = Profile.GetPrivateProfileStringA(
            section, key, fallback, std::span<char>(buffer.data(), size), Ini);
        // Lists keep their inner zeros: take everything up to the returned length.
        return std::string(buffer.data(), length);
    }

    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    ProfileService& Profile = Machine->Profile();
    std::string Ini = Machine->Path("app.ini");
};

TEST_F(ProfileContract, ValuesAreReadByWindowsRules) {
    const struct {
        const char* Section;
        const char* Key;
        const char* Expected;
    } cases[] = {
        {"paths", "HOME", "C:\\APP"},      {"  Paths ", " home ", "C:\\APP"},
        {"Paths", "Quoted", "  spaced  "}, {"Paths", "Single", "one"},
        {"Paths", "Half", "\"open"},       {"Paths", "Inline", "value ; not a comment"},
        {"Paths", ";Hidden", "x"},         {"Paths", "Hidden", "default"},
        {"Paths", "TWICE", "first"},       {"Paths", "Empty", ""},
        {"Other", "key", "other"},         {"Missing", "Key", "default"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Get(c.Section, c.Key, "default  "), c.Expected) << c.Section << " " << c.Key;
    }
}

TEST_F(ProfileContract, ShortBuffersCutTheTextAsWin32Does) {
    EXPECT_EQ(Get("Paths", "Home", "", 4), "C:\\");
    EXPECT_EQ(Get(nullptr, nullptr), std::string("Paths\0Other\0", 12));
    EXPECT_EQ(Get(nullptr, nullptr, "", 9), std::string("Paths\0Ot", 7));
    EXPECT_EQ(Get("Other", nullptr), std::string("Key\0", 4));
    EXPECT_EQ(Get("Missing", nullptr), "");
}

TEST_F(ProfileContract, DuplicateSectionsAreListedButOnlyTheFirstIsRead) {
    ASSERT_TRUE(Machine->WriteText("dup.ini", "[S]\r\nk=v\r\nbare\r\n[s]\r\nlate=1\r\n"));
    Ini = Machine->Path("dup.ini");
    EXPECT_EQ(Get(nullptr, nullptr), std::string("S\0s\0", 4));
    EXPECT_EQ(Get("S", nullptr), std::string("k\0", 2)) << "a line without \"=\" is no key";
    EXPECT_EQ(Get("S", "late", "none"), "none");
    EXPECT_EQ(Get("S", "bare", "none"), "none");
}

TEST_F(ProfileContract, NumbersAreReadUpToTheirFirstOtherCharacter) {
    const struct {
        const char* Key;
        std::uint32_t Expected;
    } cases[] = {{"Number", 42}, {"Negative", 0u - 3u}, {"Trailing", 12},
                 {"Hex", 16},    {"Empty", 7},          {"Missing", 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(Profile.GetPrivateProfileIntA("Paths", c.Key, 7, Ini), c.Expected) << c.Key;
    }
}

TEST_F(ProfileContract, WritesSetDeleteKeysAndSectionsAndKeepComments) {
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("PATHS", "home", "D:\\NEW", Ini));
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("Paths", "Added", "yes", Ini));
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("New", "First", "1", Ini));
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("Paths", "Number", nullptr, Ini));
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("Other", nullptr, nullptr, Ini));
    EXPECT_EQ(std::tuple(Get("Paths", "Home"), Get("Paths", "Added"), Get("New", "First"),
                         Get("Paths", "Number", "gone"), Get(nullptr, nullptr)),
              std::tuple("D:\\NEW", "yes", "1", "gone", std::string("Paths\0New\0", 10)));
    EXPECT_NE(Machine->ReadText("app.ini").find("; a comment line"), std::string::npos);
    ASSERT_TRUE(Profile.WritePrivateProfileStringA("S", "K", "V", Machine->Path("fresh.ini")));
    EXPECT_EQ(Machine->ReadText("fresh.ini").find("[S]"), 0u);
}

TEST_F(ProfileContract, SectionsListTheirLinesWithoutComments) {
    std::array<char, 256> buffer{};
    const std::uint32_t length = Profile.GetPrivateProfileSectionA("Other", buffer, Ini);
    EXPECT_EQ(std::string(buffer.data(), length), std::string("Key=other\0", 10));
}

TEST_F(ProfileContract, SectionWritesReplaceTheWholeSection) {
    const struct {
        const char* Section;
        std::string_view Lines; ///< Null when the section is deleted.
        std::string_view Expected;
    } cases[] = {
        {"Paths", std::string_view("Home=D:\\\0 New = value \0bare\0\0", 29),
         std::string_view("Home=D:\\\0New=value\0", 19)},
        {"Added", std::string_view("a=1\0\0", 5), std::string_view("a=1\0", 4)},
        {"Other", std::string_view("\0", 1), ""},
        {"Added", {}, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Profile.WritePrivateProfileSectionA(c.Section, c.Lines.data(), Ini))
            << c.Section;
        std::array<char, 256> buffer{};
        const std::uint32_t length = Profile.GetPrivateProfileSectionA(c.Section, buffer, Ini);
        EXPECT_EQ(std::string_view(buffer.data(), length), c.Expected) << c.Section;
    }
    EXPECT_EQ(Get(nullptr, nullptr), std::string("Paths\0Other\0", 12));
    EXPECT_EQ(Get("Paths", "Number", "gone"), "gone");
    FaultInjectingProfile faulty(Profile);
    faulty.Plan.FailAt(ProfileCall::WritePrivateProfileSectionA, 1, winerror::DiskFull);
    EXPECT_FALSE(faulty.WritePrivateProfileSectionA("Paths", "x=1\0", Ini));
    EXPECT_EQ(faulty.GetLastError(), winerror::DiskFull);
    EXPECT_EQ(Get("Paths", "Home"), "D:\\");
}

TEST_F(ProfileContract, WinIniIsReachedThroughTheProfileForms) {
    ASSERT_TRUE(Profile.WriteProfileStringA("ContractTest", "Key", "value"));
    std::array<char, 64> buffer{};
    const std::uint32_t length = Profile.GetProfileStringA("ContractTest", "key", "", buffer);
    EXPECT_EQ(std::string(buffer.data(), length), "value");
    EXPECT_EQ(Profile.GetProfileIntA("ContractTest", "Missing", 5), 5u);
    ASSERT_TRUE(Profile.WriteProfileStringA("ContractTest", nullptr, nullptr));
    EXPECT_EQ(Profile.GetProfileStringA("ContractTest", "Key", "", buffer), 0u);
}

TEST_F(ProfileContract, InjectedFaultsReachTheCaller) {
    FaultInjectingProfile faulty(Profile);
    faulty.Plan.FailAt(ProfileCall::WritePrivateProfileStringA, 1, winerror::DiskFull);
    faulty.Plan.FailAt(ProfileCall::GetPrivateProfileIntA, 1, winerror::AccessDenied);
    EXPECT_FALSE(faulty.WritePrivateProfileStringA("Paths", "Home", "X", Ini));
    EXPECT_EQ(faulty.GetLastError(), winerror::DiskFull);
    EXPECT_EQ(faulty.GetPrivateProfileIntA("Paths", "Number", 9, Ini), 9u);
    EXPECT_EQ(faulty.GetPrivateProfileIntA("Paths", "Number", 9, Ini), 42u);
    EXPECT_EQ(Get("Paths", "Home"), "C:\\APP");
}

} // namespace
} // namespace machine_test
