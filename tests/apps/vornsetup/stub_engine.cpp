// A stand-in for the install engine, for the setup program's tests: it checks the
// context block it is given, reads the embedded pieces and the first payload file the
// way the engine does, writes what it saw to C:\STUB.LOG, and with "/R" on its command
// line schedules a replacement and asks for a restart of Windows.
#include "installer/engine/install_context.h"
#include "platform/setup_instance.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" __attribute__((visibility("default"))) std::int32_t PLATFORM_WINAPI
VornMain(vorn::InstallContext* context, const char* commandLine, std::int32_t* exitAction, char*,
         char*) {
    *exitAction = vorn::exit_action::None;
    const auto* instance = reinterpret_cast<const platform::SetupInstance*>(context->SetupInstance);
    if (instance == nullptr || instance->Files == nullptr || context->Script == nullptr ||
        context->Script[context->ScriptLength] != 63 || context->Decompress == nullptr ||
        context->Checksum == nullptr) {
        return 0;
    }
    platform::FileService& files = *instance->Files;
    std::vector<std::uint8_t> dialogs(context->DiskPromptSetSize);
    for (std::size_t i = 0; i < vorn::EmbeddedPieceCount; ++i) {
        const bool intoMemory =
            i == static_cast<std::size_t>(vorn::EmbeddedPiece::DiskPromptDialogs);
        context->DecompressTarget = intoMemory ? dialogs.data() : nullptr;
        if (context->PieceSizes[i] != 0 &&
            context->Decompress(context->ArchiveFile, 0, context->PieceSizes[i], 0) < 0) {
            return -2;
        }
    }
    context->DecompressTarget = nullptr;
    // The script's records are "STUB" and the compressed size of the file at the base.
    const std::string script(reinterpret_cast<const char*>(context->Script), context->ScriptLength);
    const std::size_t stub = script.find("STUB ");
    if (stub == std::string::npos) {
        return 0;
    }
    const auto size =
        static_cast<std::uint32_t>(std::strtoul(script.c_str() + stub + 5, nullptr, 10));
    const platform::FileHandle file = files.CreateFileA(
        "C:\\HELLO.TXT", platform::file::GenericWrite, 0, platform::file::CreateAlways, 0);
    const std::int32_t written =
        context->Decompress(context->ArchiveFile, static_cast<std::uintptr_t>(file), size, 0);
    files.CloseHandle(file);

    context->Checksum(nullptr, 0);
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x",
                  static_cast<unsigned>(context->Checksum(context->Script, context->ScriptLength)));
    const std::string report = "written=" + std::to_string(written) +
                               " dialogs=" + std::string(dialogs.begin(), dialogs.end()) +
                               " silent=" + std::to_string(context->Silent) +
                               " screen=" + std::to_string(context->ScreenWidth) + "x" +
                               std::to_string(context->ScreenHeight) + " crc=" + crc +
                               " options=" + std::to_string(context->OptionFlags) +
                               " cmdline=" + commandLine + "\r\n";
    const platform::FileHandle log = files.CreateFileA("C:\\STUB.LOG", platform::file::GenericWrite,
                                                       0, platform::file::CreateAlways, 0);
    std::uint32_t done = 0;
    files.WriteFile(log, report, done);
    files.CloseHandle(log);

    if (std::strstr(commandLine, "/R") != nullptr) {
        files.MoveFileExA("C:\\HELLO.TXT", "C:\\MOVED.TXT",
                          platform::file::MoveDelayUntilReboot |
                              platform::file::MoveReplaceExisting);
        *exitAction = vorn::exit_action::RestartWindows;
    }
    return written >= 0 ? -1 : -2;
}
