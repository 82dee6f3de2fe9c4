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

// Both kinds of block have the same fields under the same names, only of other widths.
template <typename Block> int AddGreeting(Block& block, const char* kind) {
    auto add = [&block](const char* name, const char* value) {
        std::snprintf(block.Names + block.SlotsInUse * block.NameSize, block.NameSize, "%s", name);
        std::snprintf(block.Values + block.SlotsInUse * block.ValueSize, block.ValueSize, "%s",
                      value);
        ++block.SlotsInUse;
    };
    char greeting[256];
    std::snprintf(greeting, sizeof greeting, "Hello %s", block.Argument);
    add("%GREETING%", greeting);
    add("%BLOCK%", kind);
    return 1;
}

} // namespace

/// Adds "%GREETING%" = "Hello " + the argument and "%BLOCK%" = the kind of block.
TEST_LIBRARY_EXPORT int TEST_LIBRARY_CALL SetGreeting(void* argument) {
    std::uint32_t size = 0;
    std::memcpy(&size, argument, sizeof size);
    if (size == sizeof(vorn::DllCallBlockEx)) {
        return AddGreeting(*static_cast<vorn::DllCallBlockEx*>(argument), "ex");
    }
    if (size == sizeof(vorn::DllCallBlock)) {
        return AddGreeting(*static_cast<vorn::DllCallBlock*>(argument), "plain");
    }
    return 0;
}
