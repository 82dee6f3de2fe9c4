// VORN0132.DLL loaded by name on Windows and run against the machine itself: the
// installation log of a small script.
#include "engine_fakes.h"
#include "installer/engine/install_context.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/script_header.h"
#include "installer/log/install_log_reader.h"
#include "platform/library.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using VornMainEntry = decltype(&VornMain);

TEST(Vorn0132Dll, RunsAScriptAndWritesTheInstallationLog) {
    std::unique_ptr<platform::LibraryService> libraries = platform::MakeSystemLibraryService();
    platform::UniqueLibrary module(libraries->LoadLibraryA("VORN0132.DLL"),
                                   platform::LibraryTraits{libraries.get()});
    ASSERT_TRUE(module);
    auto vornMain =
        reinterpret_cast<VornMainEntry>(libraries->GetProcAddress(module.Get(), VornMainExport));
    ASSERT_NE(vornMain, nullptr);

    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vorn0132-dll-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ScriptHeader header;
    header.LogPath = (folder / "INSTALL.LOG").string();
    header.UninstallStatusName = "PLANDRA.MIF";
    header.Manufacturer = "Vorn";
    header.Languages = {{"English", ""}};
    header.Texts = {{"Plandra Setup", testing::NumberedMessages()}};
    ScriptBuilder b;
    const char sep = '\x7F';
    b.CallDll(call::OwnFunction, "", "f16", {std::string("1") + sep + "N" + sep + "0"});
    b.While("N", 1, "2");
    b.CallDll(call::OwnFunction, "", "f16", {std::string("5") + sep + "N" + sep + "%N%"});
    b.AddToLog("Made Dir: C:\\APP\\D%N%\r\n");
    b.End();
    b.Exit();
    std::vector<std::uint8_t> script = WriteScriptHeader(header);
    std::vector<std::uint8_t> records = b.Build();
    script.insert(script.end(), records.begin(), records.end());

    InstallContext context;
    context.Silent = 1;
    context.Script = script.data();
    context.ScriptLength = static_cast<std::uint32_t>(script.size());
    std::int32_t exitAction = -5;
    char program[RestartBufferSize] = "";
    char arguments[RestartBufferSize] = "";
    EXPECT_EQ(vornMain(&context, "", &exitAction, program, arguments), -1);
    EXPECT_EQ(exitAction, exit_action::None);

    LogReadResult read = ReadInstallLog(folder / "INSTALL.LOG");
    ASSERT_FALSE(read.Error);
    EXPECT_EQ(read.Log.Title, "Plandra Setup");
    EXPECT_EQ(read.Log.Info.Manufacturer, "Vorn");
    std::vector<LogEntry> expected = {{1, MadeDirRecord{"C:\\APP\\D1"}},
                                      {1, MadeDirRecord{"C:\\APP\\D2"}}};
    std::erase_if(read.Log.Records, [](const LogEntry& e) {
        return !std::holds_alternative<MadeDirRecord>(e.Record);
    });
    EXPECT_EQ(read.Log.Records, expected);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace vorn
