// The parameter blocks a script-callable function receives from opcode 9: the
// variable arrays, the slot count and the call's argument text. Libraries outside
// this project are built against this layout.
#pragma once

#include <cstdint>

namespace vorn {

/// What the mode field tells a function about the run.
enum class RunMode : std::uint8_t {
    Normal = 0,
    Test = 1,
    Manual = 2,
    Extract = 3,
    /// Extraction started with "/Z".
    ExtractZ = 4,
};

/// The block for the engine's own f-functions and for libraries loaded with
/// LoadLibraryA. The function may change the two arrays in place; when it adds slots
/// it must update SlotsInUse, which the engine reads back after the call.
struct DllCallBlock {
    std::uint32_t Size;
    std::uintptr_t MainWindow;
    std::uint16_t MaxSlots;
    std::uint16_t NameSize;
    std::uint16_t ValueSize;
    std::uint16_t SlotsInUse;
    char* Names;
    char* Values;
    std::uint8_t Mode;
    std::intptr_t LogFile;
    /// The record's argument text, variables expanded (at most 30,720 bytes).
    const char* Argument;
    /// The 45 texts of the message table.
    const char* const* MessageTable;
    /// Keeps the block at the 44 bytes that the size field announces and that
    /// libraries built for it expect.
    std::uint32_t Reserved;
};

/// The block for libraries loaded with LoadLibraryExA (on 32-bit Windows every outside
/// library): every field after the size is a 32-bit (pointer-sized) field.
struct DllCallBlockEx {
    std::uint32_t Size;
    std::uintptr_t MainWindow;
    std::uintptr_t MaxSlots;
    std::uintptr_t NameSize;
    std::uintptr_t ValueSize;
    std::uintptr_t SlotsInUse;
    char* Names;
    char* Values;
    std::uintptr_t Mode;
    std::intptr_t LogFile;
    const char* Argument;
    /// Message 17 (title of error boxes) and message 44 (registry write failure).
    const char* ErrorTitle;
    const char* RegistryWriteFailed;
    std::uintptr_t Silent;
};

// The layout is fixed on the 32-bit Windows build, where outside libraries use it.
static_assert(sizeof(void*) != 4 || sizeof(DllCallBlock) == 44);
static_assert(sizeof(void*) != 4 || sizeof(DllCallBlockEx) == 56);

} // namespace vorn
