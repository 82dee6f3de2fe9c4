// The block a setup program owns and shares with the install engine for a whole run,
// and the engine's entry. The block is read and written by both sides: its layout is
// the contract. On 32-bit builds every field is one little-endian 32-bit word at a fixed
// index (checked below); on 64-bit builds the handle and pointer words are full-width
// pointers, so the later words move, and both sides must be built for the same width.
#pragma once

#include "platform/calling_convention.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorn {

class MessageTable;

/// decompress(source, destination, compressed size, 0): inflates `size` bytes of the
/// archive read at the context's archive offset into the destination file handle, or
/// into the decompression target when the destination is 0 (discarding the output when
/// that is null too). Failures are reported through the context's error code.
using DecompressFunction = std::int32_t(PLATFORM_WINAPI*)(std::uintptr_t source,
                                                          std::uintptr_t destination,
                                                          std::uint32_t size,
                                                          std::uint32_t reserved);

/// checksum(buffer, length) returns the running value; checksum(nullptr, 0) starts anew.
using ChecksumFunction = std::uint32_t(PLATFORM_WINAPI*)(const std::uint8_t* buffer,
                                                         std::uint32_t length);

/// The pieces a setup archive may carry after the script, in archive order.
enum class EmbeddedPiece : std::uint8_t {
    Ctl3dWindows95,
    ExtensionLibrary,
    RegistrationProgram,
    UpdateDisplayLibrary,
    TransferLibrary,
    Ctl3dWindowsNt,
    RestartUtility,
    SupportProgram,
    DiskPromptDialogs,
};
inline constexpr std::size_t EmbeddedPieceCount = 9;

/// Error codes the decompressor and file writes leave in the context.
namespace context_error {
inline constexpr std::uint8_t None = 0;
inline constexpr std::uint8_t WriteFailure = 1;
inline constexpr std::uint8_t ArchiveReadFailure = 2;
} // namespace context_error

/// Bits of the option flags word.
namespace context_option {
inline constexpr std::uint32_t TopmostDuringProgman = 0x4;
inline constexpr std::uint32_t Ctl3dEmbedded = 0x10;
inline constexpr std::uint32_t BoxTextWeightMask = 0x600;
/// A beep before the disk prompt.
inline constexpr std::uint32_t BeepAtDiskPrompt = 0x800;
inline constexpr std::uint32_t AlwaysGraphicsStateBit0 = 0x1000;
inline constexpr std::uint32_t RestartUtilityEmbedded = 0x2000;
/// The same bit: files in use are replaced when the machine starts again.
inline constexpr std::uint32_t ReplaceInUseAtRestart = 0x2000;
inline constexpr std::uint32_t ProgressByBytes = 0x10000;
inline constexpr std::uint32_t ExtensionLibraryEmbedded = 0x8000;
inline constexpr std::uint32_t RegistrationProgramEmbedded = 0x20000;
inline constexpr std::uint32_t KeepSilentForRestart = 0x20000000;
/// Files marked so are fetched from separately stored library files.
inline constexpr std::uint32_t LibraryFiles = 0x400000;
} // namespace context_option

struct InstallContext {
    std::uintptr_t MainWindow = 0;                              // word 0
    std::uintptr_t SetupInstance = 0;                           // word 1
    std::uint32_t ArchiveOffset = 0;                            // word 2
    std::uint32_t PartStart = 0;                                // word 3
    std::uint32_t Reserved4 = 0;                                // word 4
    std::uint32_t BytesCopied = 0;                              // word 5
    std::uintptr_t ArchiveFile = 0;                             // word 6
    std::int32_t AbortFlag = 0;                                 // word 7
    std::uint8_t ErrorCode = 0;                                 // word 8, low byte
    std::uint8_t Reserved8[3] = {};                             //
    std::int32_t ScreenWidth = 0;                               // word 9
    std::int32_t ScreenHeight = 0;                              // word 10
    std::int32_t TimerWait = 0;                                 // word 11
    std::int32_t Silent = 0;                                    // word 12
    std::uint32_t OptionFlags = 0;                              // word 13
    std::uint8_t GraphicsState = 0;                             // word 14, low byte
    std::uint8_t Reserved14[3] = {};                            //
    std::uintptr_t BackgroundObject = 0;                        // word 15
    std::uint32_t ScriptLength = 0;                             // word 16
    std::uint32_t Reserved17[2] = {};                           // words 17-18
    std::array<std::uint32_t, EmbeddedPieceCount> PieceSizes{}; // words 19-27
    std::uint32_t DiskPromptSetSize = 0;                        // word 28
    std::uint32_t Reserved29 = 0;                               // word 29
    std::uint32_t FinishOffset = 0;                             // word 30
    std::uint32_t CancelOffset = 0;                             // word 31
    std::uintptr_t MemoryHandle = 0;                            // word 32
    std::uint8_t* Script = nullptr;                             // word 33
    std::uint8_t* DecompressTarget = nullptr;                   // word 34
    DecompressFunction Decompress = nullptr;                    // word 35
    ChecksumFunction Checksum = nullptr;                        // word 36
    const MessageTable* Messages = nullptr;                     // word 37

    std::uint32_t PieceSize(EmbeddedPiece piece) const {
        return PieceSizes[static_cast<std::size_t>(piece)];
    }
};

#define VORN_WORD_AT(field, word)                                                                  \
    static_assert(sizeof(void*) != 4 || offsetof(InstallContext, field) == (word)*4,               \
                  #field " must sit at word " #word)
VORN_WORD_AT(MainWindow, 0);
VORN_WORD_AT(SetupInstance, 1);
VORN_WORD_AT(ArchiveOffset, 2);
VORN_WORD_AT(PartStart, 3);
VORN_WORD_AT(BytesCopied, 5);
VORN_WORD_AT(ArchiveFile, 6);
VORN_WORD_AT(AbortFlag, 7);
VORN_WORD_AT(ErrorCode, 8);
VORN_WORD_AT(ScreenWidth, 9);
VORN_WORD_AT(ScreenHeight, 10);
VORN_WORD_AT(TimerWait, 11);
VORN_WORD_AT(Silent, 12);
VORN_WORD_AT(OptionFlags, 13);
VORN_WORD_AT(GraphicsState, 14);
VORN_WORD_AT(BackgroundObject, 15);
VORN_WORD_AT(ScriptLength, 16);
VORN_WORD_AT(PieceSizes, 19);
VORN_WORD_AT(DiskPromptSetSize, 28);
VORN_WORD_AT(FinishOffset, 30);
VORN_WORD_AT(CancelOffset, 31);
VORN_WORD_AT(MemoryHandle, 32);
VORN_WORD_AT(Script, 33);
VORN_WORD_AT(DecompressTarget, 34);
VORN_WORD_AT(Decompress, 35);
VORN_WORD_AT(Checksum, 36);
VORN_WORD_AT(Messages, 37);
#undef VORN_WORD_AT
static_assert(sizeof(void*) != 4 || sizeof(InstallContext) == 38 * 4);

/// What VornMain leaves in the exit action for the setup program.
namespace exit_action {
inline constexpr std::int32_t None = 1;
inline constexpr std::int32_t ExtractOnly = 0;
inline constexpr std::int32_t RestartWindows = 66;
inline constexpr std::int32_t Reboot = 67;
} // namespace exit_action

/// Size of the setup program's restart program and restart arguments buffers.
inline constexpr std::size_t RestartBufferSize = 256;

} // namespace vorn

extern "C" {
/// Runs the installation whose script the context holds. `commandLine` is the text after
/// the setup program's name; `exitAction` receives what the setup program is to do next;
/// `restartProgram` and `restartArguments` (RestartBufferSize bytes each) are filled when
/// it is to start a program after this returns. Returns the exit code of the final
/// message loop, or 0 when start-up fails.
std::int32_t PLATFORM_WINAPI VornMain(vorn::InstallContext* context, const char* commandLine,
                                      std::int32_t* exitAction, char* restartProgram,
                                      char* restartArguments);
}

namespace vorn {
/// The name of the engine's entry, for setup programs that load the library by name.
inline constexpr const char* VornMainExport = "VornMain";
} // namespace vorn

extern "C" {
/// Names the machine the next VornMain runs against, for builds that play one (the
/// sandbox machine on Linux): its folder, and the setup program's Windows path inside it
/// (null or empty: "C:\SETUP.EXE"). Without a call, the environment variables
/// VORN_MACHINE and VORN_SETUP_PROGRAM say. Windows builds ignore it.
void PLATFORM_WINAPI VornSetMachine(const char* machineFolder, const char* setupProgram);

/// Writes `count` bytes to a file handle the engine opened (the destination of a
/// decompression request); returns the count written.
std::uint32_t PLATFORM_WINAPI FileWrite(std::uintptr_t file, const void* buffer,
                                        std::uint32_t count);

/// Reads up to `count` bytes from its current position of a file handle the engine opened
/// (the source of a decompression request other than the archive: a library file);
/// returns the count read, 0 at its end or on failure.
std::uint32_t PLATFORM_WINAPI FileRead(std::uintptr_t file, void* buffer, std::uint32_t count);
}

extern "C" {
/// Refreshes the progress display and handles waiting messages; with `wait` non-zero
/// (and timer waits allowed) waits for one tick of the engine's timer on the main window.
void PLATFORM_WINAPI UpdateScreen(std::int32_t wait);

/// Paints the billboards of the running installation onto the main window's device
/// context; the setup program calls it from its paint handler.
void PLATFORM_WINAPI DisplayGraphics(std::uintptr_t window, std::uintptr_t dc);
}

namespace vorn {
inline constexpr const char* UpdateScreenExport = "UpdateScreen";
inline constexpr const char* DisplayGraphicsExport = "DisplayGraphics";
using DisplayGraphicsFunction = decltype(&DisplayGraphics);
inline constexpr const char* VornSetMachineExport = "VornSetMachine";
inline constexpr const char* FileWriteExport = "FileWrite";
inline constexpr const char* FileReadExport = "FileRead";
using VornMainFunction = decltype(&VornMain);
using VornSetMachineFunction = decltype(&VornSetMachine);
/// The engine's FileWrite as a setup program's decompressor calls it: the engine's file
/// handles mean something only to the engine (on the sandbox machine, to its files).
using FileWriteFunction = decltype(&FileWrite);
using FileReadFunction = decltype(&FileRead);
} // namespace vorn
