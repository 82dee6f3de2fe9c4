// Builds the blocks of custom dialog sets (opcode 20) and their records: tests write
// scripts with dialogs through it, and the script compiler can emit through it.
#pragma once

#include "custom_dialog_set.h"
#include "platform/dialog_template.h"
#include "script_builder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

struct DialogPageLayout {
    platform::DialogTemplate Template;
    std::vector<platform::LogFontA> Fonts;
    /// One per language, or one for every language (none: empty texts).
    PerLanguageText Strings;
    /// The control entries; their texts are given as `Strings` is.
    std::vector<ControlEntry> Entries;
};

/// The block: the table of 8-byte entries, then each page's template and extra data;
/// control entries are addressed from the block's start.
std::vector<std::uint8_t> BuildDialogSet(const std::vector<DialogPageLayout>& pages,
                                         std::uint8_t languages = 1);

/// The opcode 20 record for a block stored at archive offsets start to end.
std::uint32_t CustomDialogSetRecord(ScriptBuilder& script, std::uint32_t start, std::uint32_t end,
                                    std::uint32_t size, std::string_view conditionVariable = {},
                                    std::string_view conditionValue = {});

} // namespace vorn
