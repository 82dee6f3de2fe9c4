// A library of the tests' own for the library-call test: its export adds variables
// through the parameter block, as an outside library does.
#include "installer/engine/dll_call_block.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#define TEST_LIBRARY_EXPORT extern "C" __declspec(dllexport)
#define TEST_LIBRARY_CALL __stdcall
#else
#define TEST_LIBRARY_EXPORT extern "C" __attribute__((visibility("default")))
#define TEST_LIBRARY_CALL
#endif

namespace {

struct BlockView {
    char* Names;
    char* Values;
    std::size_t NameSize;
    std::size_t ValueSize;
    std::size_t Slots;
    const char* Argument;
    const char* Kind;
};

void AddVariable(BlockView& block, const char* name, const char* value) {
    std::snprintf(block.Names + block.Slots * block.NameSize, block.NameSize, "%s", name);
    std::snprintf(block.Values + block.Slots * block.ValueSize, block.ValueSize, "%s", value);
    ++block.Slots;
}

} // namespace

/// Adds "%GREETING%" = "Hello " + the argument and "%BLOCK%" = the kind of block.
TEST_LIBRARY_EXPORT int TEST_LIBRARY_CALL SetGreeting(void* argument) {
    std::uint32_t size = 0;
    std::memcpy(&size, argument, sizeof size);
    BlockView view{};
    if (size == sizeof(vorn::DllCallBlockEx)) {
        auto* block = static_cast<vorn::DllCallBlockEx*>(argument);
        view = {
            block->Names,    block->Values, block->NameSize, block->ValueSize, block->SlotsInUse,
            block->Argument, "ex"};
    } else if (size == sizeof(vorn::DllCallBlock)) {
        auto* block = static_cast<vorn::DllCallBlock*>(argument);
        view = {block->Names,      block->Values,   block->NameSize, block->ValueSize,
                block->SlotsInUse, block->Argument, "plain"};
    } else {
        return 0;
    }
    char greeting[256];
    std::snprintf(greeting, sizeof greeting, "Hello %s", view.Argument);
    AddVariable(view, "%GREETING%", greeting);
    AddVariable(view, "%BLOCK%", view.Kind);
    if (size == sizeof(vorn::DllCallBlockEx)) {
        static_cast<vorn::DllCallBlockEx*>(argument)->SlotsInUse = view.Slots;
    } else {
        static_cast<vorn::DllCallBlock*>(argument)->SlotsInUse =
            static_cast<std::uint16_t>(view.Slots);
    }
    return 1;
}
