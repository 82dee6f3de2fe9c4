// Running a setup archive through the install engine, and listing an archive.
#include "setup_run.h"

#include "installer/archive/archive_decompressor.h"
#include "installer/archive/setup_archive.h"
#include "installer/engine/install_context.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vornsetup {

namespace {

constexpr std::array<const char*, vorn::EmbeddedPieceCount> PieceNames{
    "CTL3D copy for Windows 95", "extension library", "registration program",
    "update-display library",    "transfer library",  "CTL3D copy for Windows NT",
    "restart utility",           "support program",   "disk-prompt dialog set"};

// The engine's run results as the quit message carries them.
constexpr std::int32_t RunCompleted = -1;
constexpr std::int32_t RunAborted = -2;

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

std::string Column(std::uint64_t value, std::size_t width) {
    std::string text = std::to_string(value);
    return std::string(text.size() < width ? width - text.size() : 0, ' ') + text;
}

void FillContext(vorn::InstallContext& context, vorn::SetupArchive& archive,
                 std::vector<std::uint8_t>& script, SetupMachine& machine, bool silent) {
    const vorn::ArchiveHeader& header = archive.Header();
    context.SetupInstance = machine.InstanceWord();
    context.ArchiveOffset = static_cast<std::uint32_t>(archive.PiecesOffset());
    // The archive is read only through the decompress function, by offset; the handle
    // word names it, so that the decompressor tells it from a library file the engine
    // opened.
    context.ArchiveFile = reinterpret_cast<std::uintptr_t>(&archive);
    context.ScreenWidth = machine.System().GetSystemMetrics(platform::sysinfo::CxScreen);
    context.ScreenHeight = machine.System().GetSystemMetrics(platform::sysinfo::CyScreen);
    context.Silent = silent ? 1 : 0;
    context.OptionFlags = header.OptionFlags;
    context.ScriptLength = header.ScriptLength;
    context.PieceSizes = header.PieceSizes;
    context.DiskPromptSetSize = header.DiskPromptSetSize;
    context.FinishOffset = header.FinishOffset;
    context.CancelOffset = header.CancelOffset;
    context.Script = script.data();
    context.Decompress = &vorn::DecompressFromArchive;
    context.Checksum = &vorn::ArchiveChecksum;
}

void StartRestartProgram(SetupMachine& machine, const char* program, const char* arguments,
                         std::ostream& out, std::ostream& err) {
    const std::string commandLine = std::string(program) + " " + arguments;
    platform::ProcessInformation started;
    if (!machine.Processes().CreateProcessA(program, commandLine.c_str(), 0, nullptr, {},
                                            started)) {
        err << ProgramName() << ": cannot start " << commandLine << "\n";
        return;
    }
    machine.Processes().CloseHandle(started.Process);
    out << "Started " << commandLine << "\n";
}

} // namespace

int RunSetup(SetupMachine& machine, const RunOptions& options, std::ostream& out,
             std::ostream& err) {
    vorn::SetupArchive::OpenResult opened = vorn::SetupArchive::Open(options.ArchivePath);
    if (!opened.Archive) {
        err << ProgramName() << ": " << options.ArchivePath << ": " << opened.Error << "\n";
        return 1;
    }
    vorn::SetupArchive& archive = *opened.Archive;
    std::vector<std::uint8_t> script(archive.Script());

    const std::string enginePath =
        options.EnginePath.empty() ? EngineLibraryPath() : options.EnginePath;
    platform::UniqueLibrary engine(machine.Libraries().LoadLibraryA(enginePath),
                                   platform::LibraryTraits{&machine.Libraries()});
    if (!engine) {
        err << ProgramName() << ": cannot load the install engine " << enginePath << "\n";
        return 1;
    }
    const auto entryPoint = [&](const char* name) {
        return machine.Libraries().GetProcAddress(engine.Get(), name);
    };
    const auto entry = reinterpret_cast<vorn::VornMainFunction>(entryPoint(vorn::VornMainExport));
    // The engine's file handles mean something only to the engine: what the decompressor
    // inflates into a file goes through the engine's own FileWrite.
    const auto writeFile =
        reinterpret_cast<vorn::FileWriteFunction>(entryPoint(vorn::FileWriteExport));
    if (entry == nullptr || writeFile == nullptr) {
        err << ProgramName() << ": " << enginePath << " is not the install engine: it lacks "
            << vorn::VornMainExport << " or " << vorn::FileWriteExport << "\n";
        return 1;
    }
    if (const std::string folder = machine.SandboxFolder(); !folder.empty()) {
        const auto setMachine =
            reinterpret_cast<vorn::VornSetMachineFunction>(entryPoint(vorn::VornSetMachineExport));
        if (setMachine == nullptr) {
            err << ProgramName() << ": " << enginePath << " cannot run on a sandbox machine\n";
            return 1;
        }
        setMachine(folder.c_str(), options.SetupProgram.c_str());
    }

    vorn::InstallContext context;
    FillContext(context, archive, script, machine, options.Silent);
    vorn::ArchiveDecompressor decompressor(archive, context, writeFile);
    // Library files are the engine's files too: the decompressor reads them through the
    // engine's own FileRead.
    decompressor.ReadFile =
        reinterpret_cast<vorn::FileReadFunction>(entryPoint(vorn::FileReadExport));
    // The engine's progress display moves on within a long file, as the archive is read.
    if (const auto updateScreen =
            reinterpret_cast<decltype(&UpdateScreen)>(entryPoint(vorn::UpdateScreenExport))) {
        decompressor.OnProgress = [updateScreen] { updateScreen(0); };
    }
    std::uint64_t payloadTotal = 0;
    for (const vorn::PayloadEntry& entry : archive.Payload()) {
        payloadTotal += entry.CompressedSize;
    }
    std::uint64_t payloadDone = 0;
    if (!options.Silent) {
        decompressor.OnItem = [&](std::uint64_t offset, std::uint32_t size) {
            const auto& files = archive.Payload();
            const auto entry = std::find_if(files.begin(), files.end(), [&](const auto& e) {
                return archive.ArchiveBase() + e.Offset == offset;
            });
            if (entry == files.end()) {
                return;
            }
            payloadDone += entry->CompressedSize;
            out << "[" << Column(payloadDone * 100 / std::max<std::uint64_t>(payloadTotal, 1), 3)
                << "%] " << entry->Name << " (" << size << " bytes)\n";
            out.flush();
        };
    }

    std::int32_t exitAction = vorn::exit_action::None;
    std::array<char, vorn::RestartBufferSize> restartProgram{};
    std::array<char, vorn::RestartBufferSize> restartArguments{};
    if (!options.Silent) {
        out << "Installing from " << options.ArchivePath << "\n";
    }
    const std::int32_t result = entry(&context, options.CommandLine.c_str(), &exitAction,
                                      restartProgram.data(), restartArguments.data());
    // A program that fills the buffers without their terminating zero is cut at the end.
    restartProgram.back() = '\0';
    restartArguments.back() = '\0';

    if (context.ErrorCode != vorn::context_error::None && !decompressor.LastError().empty()) {
        err << ProgramName() << ": " << decompressor.LastError() << "\n";
    }
    const bool completed = result == RunCompleted;
    if (!options.Silent || !completed) {
        (completed ? out : err) << (completed              ? "Installation completed\n"
                                    : result == RunAborted ? "Installation aborted\n"
                                    : result == 0          ? "The install engine could not start\n"
                                                           : "The install engine ended with " +
                                                        std::to_string(result) + "\n");
    }
    if (restartProgram[0] != '\0') {
        StartRestartProgram(machine, restartProgram.data(), restartArguments.data(), out, err);
    }
    if (exitAction == vorn::exit_action::RestartWindows ||
        exitAction == vorn::exit_action::Reboot) {
        if (const std::string error = machine.Restart(exitAction, out); !error.empty()) {
            err << ProgramName() << ": " << error << "\n";
            return 1;
        }
    }
    return completed ? 0 : 1;
}

int ListArchive(const std::string& path, std::ostream& out, std::ostream& err) {
    vorn::SetupArchive::OpenResult opened = vorn::SetupArchive::Open(path);
    if (!opened.Archive) {
        err << ProgramName() << ": " << path << ": " << opened.Error << "\n";
        return 1;
    }
    vorn::SetupArchive& archive = *opened.Archive;
    const vorn::ArchiveHeader& header = archive.Header();
    out << "Archive " << path << ": " << archive.StreamSize() << " bytes";
    if (header.BytesPerDisk != 0) {
        out << " on " << (archive.StreamSize() + header.BytesPerDisk - 1) / header.BytesPerDisk
            << " disks of " << header.BytesPerDisk << " bytes";
    }
    out << "\nScript: " << header.ScriptLength << " bytes, finish section at "
        << header.FinishOffset << ", cancel section at " << header.CancelOffset
        << "\nOption flags: 0x" << Hex(header.OptionFlags) << "\n";
    for (std::size_t i = 0; i < vorn::EmbeddedPieceCount; ++i) {
        if (header.PieceSizes[i] != 0) {
            out << "Embedded " << PieceNames[i] << ": " << header.PieceSizes[i]
                << " bytes compressed\n";
        }
    }
    out << "Files: " << header.PayloadCount << ", offsets from the archive base at "
        << archive.ArchiveBase() << "\n";
    out << "    offset  compressed        size  crc-32    name\n";

    vorn::InstallContext context;
    vorn::ArchiveDecompressor check(archive, context, nullptr);
    int damaged = 0;
    for (const vorn::PayloadEntry& entry : archive.Payload()) {
        out << Column(entry.Offset, 10) << Column(entry.CompressedSize, 12)
            << Column(entry.Size, 12) << "  " << Hex(entry.Crc) << "  " << entry.Name
            << (entry.Storage == vorn::ItemStorage::Stored ? " (stored)" : "");
        context.ArchiveOffset = static_cast<std::uint32_t>(archive.ArchiveBase() + entry.Offset);
        context.ErrorCode = vorn::context_error::None;
        if (check.Decompress(0, entry.CompressedSize) < 0) {
            out << "  DAMAGED: " << check.LastError();
            ++damaged;
        }
        out << "\n";
    }
    if (damaged != 0) {
        err << ProgramName() << ": " << damaged << " damaged file" << (damaged == 1 ? "" : "s")
            << " in " << path << "\n";
        return 1;
    }
    return 0;
}

} // namespace vornsetup
