// ODBC drivers and data sources (opcodes 25, 26) and DirectX (f30) against fake
// installer libraries that record what they were asked.
#include "engine_fakes.h"
#include "installer/engine/odbc_actions.h"
#include "installer/engine/script_builder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using A = std::uintptr_t;
using testing::EngineHarness;
std::vector<std::string> Calls;

// "a\0b\0\0" as "a|b|": every string of a zero-ended list.
std::string Strings(A text) {
    std::string joined;
    for (const char* at = reinterpret_cast<const char*>(text); *at != '\0';) {
        const std::string one(at);
        joined += one + '|';
        at += one.size() + 1;
    }
    return joined;
}

std::int32_t InstallManager(A path, A size, A) {
    std::snprintf(reinterpret_cast<char*>(path), size, "C:\\WINDOWS\\SYSTEM");
    Calls.push_back("manager");
    return 1;
}
std::int32_t InstallDriver(A inf, A driver, A, A, A) {
    Calls.push_back(std::string("driver ") + (inf == 0 ? "-" : reinterpret_cast<const char*>(inf)) +
                    " " + Strings(driver));
    return 1;
}
std::int32_t ConfigDataSource(A window, A request, A driver, A attributes) {
    Calls.push_back("config " + std::to_string(window) + " " + std::to_string(request) + " " +
                    reinterpret_cast<const char*>(driver) + " " + Strings(attributes));
    return 1;
}
std::int32_t DirectXResult = 0;
std::int32_t DirectXSetupA(A window, A root, A) {
    Calls.push_back("dx " + std::to_string(window) + " " + reinterpret_cast<const char*>(root));
    return DirectXResult;
}

template <typename F> platform::HeadlessLibraryService::Entry Entry(F function) {
    return reinterpret_cast<platform::HeadlessLibraryService::Entry>(
        reinterpret_cast<void (*)()>(function));
}

TEST(OdbcActions, DriversAndDataSources) {
    struct Case {
        const char* Name;
        std::uint8_t Opcode;
        std::uint8_t Flags;
        std::vector<std::string> Strings;
        std::vector<std::string> Calls;
        int ProgressClosed = 0;
        RunMode Mode = RunMode::Normal;
        bool Installed = true;
    };
    const std::vector<Case> cases{
        {"driver with attributes",
         25,
         0,
         {"", "Vorn Driver\177Driver=VD.DLL", "DIR"},
         {"manager", "driver - Vorn Driver|Driver=VD.DLL|"}},
        {"driver manager only", 25, 0, {"X.INF", "", ""}, {"manager"}},
        {"user data source",
         26,
         1,
         {"Vorn Driver", "DSN=Plans\177DBQ=C:\\P.MDB"},
         {"config 4096 1 Vorn Driver DSN=Plans|DBQ=C:\\P.MDB|"},
         1},
        {"system data source",
         26,
         4,
         {"Vorn Driver", "DSN=Plans"},
         {"config 4096 4 Vorn Driver DSN=Plans|"}},
        {"not in test mode", 26, 1, {"D", "DSN=x"}, {}, 0, RunMode::Test},
        {"no installer library", 26, 1, {"D", "DSN=x"}, {}, 0, RunMode::Normal, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ScriptBuilder b;
        b.Record(c.Opcode, {c.Flags}, c.Strings);
        b.Exit();
        EngineHarness h(b.Build());
        if (c.Installed) {
            h.Libraries.AddLibrary("ODBCINST.DLL",
                                   {{"SQLInstallDriverManager", Entry(&InstallManager)},
                                    {"SQLInstallDriver", Entry(&InstallDriver)},
                                    {"SQLConfigDataSource", Entry(&ConfigDataSource)}});
        }
        h.Machine->Mode = c.Mode;
        Calls.clear();
        h.Run();
        EXPECT_EQ(Calls, c.Calls);
        EXPECT_EQ(h.Host.ProgressClosed, c.ProgressClosed);
        if (c.Opcode == 25 && c.Installed) {
            EXPECT_EQ(h.Machine->Variables.GetVariable("DIR"),
                      c.Strings[2].empty() ? "" : "C:\\WINDOWS\\SYSTEM");
        }
    }
}

TEST(f30, RunsDirectXSetupAndReportsFailures) {
    struct Case {
        std::int32_t Result;
        std::int32_t Returned;
        const char* Restart;
        const char* Log;
    } cases[] = {
        {0, 1, "", ""},
        {1, 1, "S", ""},
        {-5, 0, "", "DirectX: Could not install, error -5.\r\n"},
    };
    for (const Case& c : cases) {
        EngineHarness h({});
        h.Libraries.AddLibrary("D:\\DIRECTX\\DSETUP.DLL",
                               {{"DirectXSetupA", Entry(&DirectXSetupA)}});
        DirectXResult = c.Result;
        Calls.clear();
        DllCallBlock block{};
        block.Argument = "D:\\DIRECTX\\DSETUP.DLL\x7F"
                         "1";
        EXPECT_EQ(f30(*h.Machine, block), c.Returned);
        EXPECT_EQ(Calls, std::vector<std::string>{"dx 4096 D:\\DIRECTX"});
        EXPECT_EQ(h.Machine->Variables.GetVariable("RESTART"), c.Restart);
        EXPECT_EQ(h.Log.Text, c.Log);
    }
}

} // namespace
} // namespace vorn
