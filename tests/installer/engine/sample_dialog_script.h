// A small installation script with a custom dialog set of two pages, for whole runs of
// the engine headless (answered from an answer file) and on a real display.
#pragma once

#include "installer/engine/install_context.h"

#include <cstdint>
#include <vector>

namespace vorn {

/// The status file the sample writes into the Windows directory: "%6%|NAME|KIND|PARTS|
/// DRIVE|ITEMS|%7%" with the variables the dialogs filled.
inline constexpr const char* DialogSampleStatusFile = "DIALOGS.MIF";

struct DialogSample {
    std::vector<std::uint8_t> Script;
    /// The archive: the dialog set's block, stored as it is.
    std::vector<std::uint8_t> Archive;
};

/// Page "Setup Options": edit 10 (NAME, at least 2 characters), radio buttons 20-22
/// (KIND), check boxes 30-31 (PARTS, "A" before the set), buttons 1 Next and 2 Cancel.
/// Page "Setup Folder": path 40 (DRIVE, the drive only), list 50 of Alpha, Beta, Gamma
/// (ITEMS as letters), buttons 3 Back and 1 Finish. A second set after it never shows:
/// its condition does not hold.
DialogSample BuildDialogSample();

/// A setup program's decompressor over `sample.Archive` that stores it as it is: copies
/// the requested bytes into the context's decompression target.
void UseDialogSample(InstallContext& context, const DialogSample& sample);

} // namespace vorn
