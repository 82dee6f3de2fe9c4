// Fuzz target: arbitrary bytes read as a program file, and as a version block, must give
// a block or a clear error, never a crash, a hang or unbounded memory.
#include "platform/version_resource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void Walk(std::span<const char> block) {
    for (const char* path :
         {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\040904E4\\FileVersion",
          "\\StringFileInfo\\040904b0\\ProductName", "\\StringFileInfo"}) {
        const auto value = platform::FindVersionValue(block, path);
        const std::size_t unit = value && value->IsText ? 2 : 1;
        if (value && value->Offset + value->Length * unit > block.size()) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    const platform::VersionResource resource = platform::ReadVersionResource(bytes);
    if (resource.Error == platform::VersionResourceError::None) {
        if (resource.Block.size() > platform::MaxVersionBlockSize) {
            std::abort();
        }
        Walk(resource.Block);
    } else if (resource.Reason.empty() || !resource.Block.empty()) {
        std::abort();
    }
    Walk(bytes);
    return 0;
}
