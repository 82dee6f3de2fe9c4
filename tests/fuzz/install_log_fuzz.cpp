// Fuzz target: arbitrary bytes read as an installation log must end in a log or an
// error, never a crash, a hang or unbounded memory; what is read must be consistent.
#include "installer/log/install_log_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    vorn::LogReadResult result = vorn::ParseInstallLog(text);
    if (result.Error) {
        return 0;
    }
    const vorn::InstallLog& log = result.Log;
    // The header line starts at the offset, though line feeds may stand inside it.
    if (log.Sections < 1 || log.LastSectionOffset >= size ||
        text[static_cast<std::size_t>(log.LastSectionOffset)] != '*' || log.Title.size() > 255) {
        std::abort();
    }
    int previous = 1;
    for (const vorn::LogEntry& entry : log.Records) {
        if (entry.Installation < previous || entry.Installation > log.Sections) {
            std::abort();
        }
        previous = entry.Installation;
    }
    return 0;
}
