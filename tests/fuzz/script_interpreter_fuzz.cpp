// Fuzz target: arbitrary bytes run as a script against fake services must end in 0,
// -1 or -2 within a step limit, never reading or writing outside the script or the
// engine's buffers, whatever the library functions leave in the variable arrays.
#include "engine_fakes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using vorn::testing::EngineHarness;

// Reset for every input, so that a run depends on its input alone.
int ToggleCalls = 0;

std::int32_t Toggle(void*) {
    return ++ToggleCalls % 3 != 0;
}

// A careless library: a name and a value without their zeros, and a wild slot count.
std::int32_t Scribble(void* argument) {
    auto* block = static_cast<vorn::DllCallBlockEx*>(argument);
    std::size_t slot =
        block->SlotsInUse < block->MaxSlots ? block->SlotsInUse : block->MaxSlots - 1;
    std::memset(block->Names + slot * block->NameSize, 'N', block->NameSize);
    std::memset(block->Values + slot * block->ValueSize, 'v', block->ValueSize);
    block->SlotsInUse = block->Argument[0] == '!' ? 0xFFFF : slot + 1;
    return block->Argument[0] != '\0';
}

constexpr int AnswerIds[] = {1, 2, 6, 7};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    ToggleCalls = 0;
    std::uint8_t languages = static_cast<std::uint8_t>(1 + (data[0] & 3));
    std::uint8_t language = static_cast<std::uint8_t>((data[0] >> 2) % languages);
    EngineHarness h(std::vector<std::uint8_t>(data + 2, data + size), languages, language);
    h.Host.SilentFlag = (data[0] & 0x20) != 0;
    h.Machine->Mode = (data[0] & 0x10) != 0 ? vorn::RunMode::Test : vorn::RunMode::Normal;
    for (int i = 0; i < 4; ++i) {
        h.Boxes.Answers.push_back(AnswerIds[(data[1] >> (2 * i)) & 3]);
    }
    h.Libraries.AddLibrary("FAKE.DLL", {{"Toggle", Toggle}, {"Scribble", Scribble}});
    vorn::MessageTable messages(vorn::testing::NumberedMessages());
    h.Machine->Messages = &messages;
    h.Machine->Variables.FillPredefined({"/S", "English", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
                                         "C:\\WINDOWS\\SYSTEM32", "C:\\TEMP",
                                         "A:", "C:\\WINDOWS\\FONTS"});
    int result = h.Run(300);
    if (result != vorn::run::Continue && result != vorn::run::Finished &&
        result != vorn::run::Aborted) {
        __builtin_trap();
    }
    return 0;
}
