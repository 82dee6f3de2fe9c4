// Fuzz target: arbitrary bytes read as a machine's registry file must give keys or an
// error naming a line, never a crash, a hang or unbounded memory; what is written back
// must read back the same.
#include "platform/headless/headless_registry.h"
#include "platform/regedit_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<platform::RegeditKey> keys;
    std::string error;
    if (!platform::ParseRegedit(text, keys, error)) {
        if (error.rfind("line ", 0) != 0 || !keys.empty()) {
            std::abort();
        }
        return 0;
    }
    std::vector<platform::RegeditKey> reread;
    if (!platform::ParseRegedit(platform::RegeditText(keys), reread, error) || reread != keys) {
        std::abort();
    }
    platform::HeadlessRegistry registry;
    if (!registry.Load(text, error)) {
        std::abort();
    }
    const std::string written = registry.Text();
    platform::HeadlessRegistry again;
    if (!again.Load(written, error) || again.Text() != written) {
        std::abort();
    }
    return 0;
}
