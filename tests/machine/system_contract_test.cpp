// System facts, programs and service control answer as Windows does: run against the
// sandbox and against Win32, checking the shape of answers both can give.
#include "platform/ansi_text.h"
#include "system_under_test.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace machine_test {
namespace {

using namespace platform;

class SystemContract : public ::testing::Test {
protected:
    std::unique_ptr<SystemUnderTest> Machine = MakeSystemUnderTest();
    SystemInfoService& Info = Machine->SystemInfo();
    ProcessService& Processes = Machine->Processes();
    ServiceControlService& Services = Machine->Services();
};

TEST_F(SystemContract, FoldersAndTheInterpreterAreFullPathsGivenByTheBufferRule) {
    const std::function<std::uint32_t(std::span<char>)> calls[] = {
        [&](std::span<char> b) { return Info.GetWindowsDirectoryA(b); },
        [&](std::span<char> b) { return Info.GetSystemDirectoryA(b); },
        [&](std::span<char> b) { return Info.GetTempPathA(b); },
        [&](std::span<char> b) { return Info.GetEnvironmentVariableA("comspec", b); },
    };
    std::vector<std::string> texts;
    for (const auto& call : calls) {
        const std::string text = ReadSystemText(call);
        ASSERT_GE(text.size(), 3u);
        EXPECT_EQ(text.substr(1, 2), ":\\") << text;
        std::string exact(text.size(), 'x');
        EXPECT_EQ(call(exact), text.size() + 1) << text;
        EXPECT_EQ(exact, std::string(text.size(), 'x')) << "nothing written when it does not fit";
        exact.push_back('x');
        EXPECT_EQ(call(exact), text.size());
        EXPECT_EQ(exact, text + '\0');
        texts.push_back(text);
    }
    EXPECT_TRUE(StartsWithIgnoringCase(texts[1], texts[0] + "\\")) << "system inside Windows";
    EXPECT_EQ(texts[2].back(), '\\');
    for (int folder = 0; folder < 3; ++folder) {
        const std::uint32_t attributes = Machine->Files().GetFileAttributesA(texts[folder]);
        EXPECT_TRUE(attributes != file::InvalidAttributes &&
                    (attributes & file::AttributeDirectory) != 0)
            << texts[folder];
    }
    EXPECT_TRUE(EndsWithIgnoringCase(texts[3], ".EXE") || EndsWithIgnoringCase(texts[3], ".COM"));
    std::array<char, 16> buffer{};
    EXPECT_EQ(Info.GetEnvironmentVariableA("PLANDRA_NO_SUCH_VARIABLE", buffer), 0u);
    EXPECT_EQ(Info.GetLastError(), sysinfo::EnvvarNotFound);
}

TEST_F(SystemContract, VersionMemoryScreenAndNamesAreSound) {
    OsVersionInfo version;
    ASSERT_TRUE(Info.GetVersionExA(version));
    EXPECT_GE(version.MajorVersion, 4u);
    EXPECT_TRUE(version.PlatformId == sysinfo::PlatformWindows ||
                version.PlatformId == sysinfo::PlatformNT);
    MemoryStatus memory;
    Info.GlobalMemoryStatus(memory);
    EXPECT_GT(memory.TotalPhys, 0u);
    EXPECT_LE(memory.AvailPhys, memory.TotalPhys);
    EXPECT_LE(memory.MemoryLoad, 100u);
    EXPECT_GT(Info.GetSystemMetrics(sysinfo::CxScreen), 0);
    EXPECT_GT(Info.GetSystemMetrics(sysinfo::CyScreen), 0);

    // The user's size counts the terminating zero, the computer's does not.
    const struct {
        std::function<bool(std::span<char>, std::uint32_t&)> Call;
        std::uint32_t ZeroCounted;
        std::uint32_t TooSmallError;
    } names[] = {
        {[&](std::span<char> b, std::uint32_t& s) { return Info.GetUserNameA(b, s); }, 1,
         winerror::InsufficientBuffer},
        {[&](std::span<char> b, std::uint32_t& s) { return Info.GetComputerNameA(b, s); }, 0,
         sysinfo::BufferOverflow},
    };
    for (const auto& name : names) {
        std::array<char, 64> buffer{};
        std::uint32_t size = 0;
        ASSERT_TRUE(name.Call(buffer, size));
        const std::string text(buffer.data());
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(size, text.size() + name.ZeroCounted);
        std::array<char, 1> tiny{};
        EXPECT_FALSE(name.Call(tiny, size));
        EXPECT_EQ(Info.GetLastError(), name.TooSmallError);
        EXPECT_EQ(size, text.size() + 1);
    }
}

TEST_F(SystemContract, AnAdministratorMayTakeFullControlOfTheServiceManager) {
    UniqueService manager(Services.OpenSCManagerA(nullptr, nullptr, svc::ManagerAllAccess),
                          ServiceCloser{&Services});
    EXPECT_EQ(static_cast<bool>(manager), Info.IsUserAnAdmin());
}

TEST_F(SystemContract, StartedProgramsGiveTheirExitCodeBack) {
    const ExitingProgram program = Machine->ProgramExitingWith(7);
    const auto waitForExitCode = [&](ProcessHandle started) {
        UniqueProcess process(started, ProcessCloser{&Processes});
        EXPECT_EQ(Processes.WaitForSingleObject(process.Get(), process::Infinite),
                  process::WaitObject0);
        std::uint32_t exitCode = 0;
        EXPECT_TRUE(Processes.GetExitCodeProcess(process.Get(), exitCode));
        return exitCode;
    };
    const std::string commandLine = program.CommandLine();
    StartupInfo startup{process::StartfUseShowWindow, process::ShowHide};
    ProcessInformation started;
    ASSERT_TRUE(Processes.CreateProcessA(nullptr, commandLine.c_str(), 0, Machine->Root().c_str(),
                                         startup, started));
    EXPECT_EQ(waitForExitCode(started.Process), 7u);

    ShellExecuteInfo execute;
    execute.Mask = process::MaskNoCloseProcess;
    execute.File = program.File;
    execute.Parameters = program.Parameters;
    execute.Show = process::ShowHide;
    ASSERT_TRUE(Processes.ShellExecuteExA(execute));
    EXPECT_GT(execute.InstApp, 32);
    EXPECT_EQ(waitForExitCode(execute.Process), 7u);

    EXPECT_GT(Processes.WinExec(commandLine, process::ShowHide), 31u);
}

TEST_F(SystemContract, MissingProgramsAreNotFoundWhereverTheyWereLookedFor) {
    const struct {
        std::string Program;
        std::uint32_t ShellError;
    } cases[] = {{Machine->Root() + "\\MISSING.EXE", winerror::FileNotFound},
                 {Machine->Root() + "\\NO\\MISSING.EXE", winerror::PathNotFound}};
    for (const auto& [program, shellError] : cases) {
        ProcessInformation started;
        EXPECT_FALSE(
            Processes.CreateProcessA(nullptr, program.c_str(), 0, nullptr, StartupInfo{}, started));
        EXPECT_EQ(Processes.GetLastError(), winerror::FileNotFound) << program;
        EXPECT_EQ(Processes.WinExec(program, process::ShowHide), winerror::FileNotFound);
        ShellExecuteInfo execute;
        execute.Mask = process::MaskFlagNoUi;
        execute.File = program;
        EXPECT_FALSE(Processes.ShellExecuteExA(execute));
        EXPECT_EQ(Processes.GetLastError(), shellError) << program;
        EXPECT_EQ(execute.InstApp, process::SeErrFileNotFound) << program;
    }
    const std::string program = Machine->ProgramExitingWith(0).CommandLine();
    const std::string missingFolder = Machine->Root() + "\\NO";
    ProcessInformation started;
    EXPECT_FALSE(Processes.CreateProcessA(nullptr, program.c_str(), 0, missingFolder.c_str(),
                                          StartupInfo{}, started));
    EXPECT_EQ(Processes.GetLastError(), process::ErrorDirectory);
}

TEST_F(SystemContract, AServiceIsCreatedStoppedAndGoesWhenDeletedAndClosed) {
    UniqueService manager(Services.OpenSCManagerA(nullptr, nullptr, svc::ManagerAllAccess),
                          ServiceCloser{&Services});
    if (!manager) {
        GTEST_SKIP() << "no administrator rights";
    }
    const std::string name =
        "PlandraContract" + std::to_string(reinterpret_cast<std::uintptr_t>(this) % 100000);
    const std::string binary = Machine->Root() + "\\SERVICE.EXE";
    const auto create = [&] {
        return Services.CreateServiceA(manager.Get(), name, "Plandra contract", svc::AllAccess,
                                       svc::Win32OwnProcess, svc::DemandStart, svc::ErrorNormal,
                                       binary);
    };
    UniqueService service(create(), ServiceCloser{&Services});
    ASSERT_TRUE(service) << Services.GetLastError();
    EXPECT_EQ(create(), NullService);
    EXPECT_EQ(Services.GetLastError(), svc::ServiceExists);

    ServiceStatus status;
    ASSERT_TRUE(Services.QueryServiceStatus(service.Get(), status));
    EXPECT_EQ(status.CurrentState, svc::Stopped);
    EXPECT_EQ(status.ServiceType & svc::Win32OwnProcess, svc::Win32OwnProcess);
    EXPECT_FALSE(Services.ControlService(service.Get(), svc::ControlStop, status));
    EXPECT_EQ(Services.GetLastError(), svc::ServiceNotActive);

    UniqueService again(Services.OpenServiceA(manager.Get(), UpperAnsi(name), svc::AllAccess),
                        ServiceCloser{&Services});
    EXPECT_TRUE(again) << "service names ignore case";
    EXPECT_TRUE(Services.DeleteService(service.Get()));
    EXPECT_FALSE(Services.DeleteService(again.Get()));
    EXPECT_EQ(Services.GetLastError(), svc::ServiceMarkedForDelete);
    service.Reset();
    again.Reset();
    EXPECT_EQ(Services.OpenServiceA(manager.Get(), name, svc::QueryStatus), NullService);
    EXPECT_EQ(Services.GetLastError(), svc::ServiceDoesNotExist);
    EXPECT_EQ(Services.OpenServiceA(NullService, name, svc::QueryStatus), NullService);
    EXPECT_EQ(Services.GetLastError(), winerror::InvalidHandle);
}

} // namespace
} // namespace machine_test
