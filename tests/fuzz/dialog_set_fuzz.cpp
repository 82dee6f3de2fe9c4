// Fuzz target: arbitrary bytes read as a dialog template and as a custom dialog set must
// give a result or a message, never a crash, a hang or unbounded memory; a template that
// reads must read the same after it is written again.
#include "installer/engine/custom_dialog_set.h"
#include "platform/dialog_template.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    platform::DialogTemplateReadResult read = platform::ReadDialogTemplate(bytes);
    if (read.Template.has_value() != read.Error.empty()) {
        std::abort();
    }
    if (read.Template) {
        std::vector<std::uint8_t> written = platform::WriteDialogTemplate(*read.Template);
        platform::DialogTemplateReadResult again = platform::ReadDialogTemplate(written);
        if (!again.Template || again.Template->Caption != read.Template->Caption ||
            again.Template->Controls.size() != read.Template->Controls.size() ||
            platform::WriteDialogTemplate(*again.Template) != written) {
            std::abort();
        }
    }
    for (std::size_t languages : {1u, 3u}) {
        vorn::DialogSetReadResult set = vorn::ReadDialogSet(bytes, languages);
        if (set.Pages.empty() == set.Error.empty()) {
            std::abort();
        }
    }
    return 0;
}
