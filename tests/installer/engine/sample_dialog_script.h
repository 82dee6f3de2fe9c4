// A small installation script with a custom dialog set of two pages, for whole runs of
// the engine headless (answered from an answer file) and on a real display.
#pragma once

#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/install_context.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

/// The status file the sample writes into the Windows directory: "%6%|NAME|KIND|PARTS|
/// DRIVE|ITEMS|%7%" with the variables the dialogs filled.
inline constexpr const char* DialogSampleStatusFile = "DIALOGS.MIF";

struct DialogSample {
    std::vector<std::uint8_t> Script;
    /// The archive: the dialog set's block, stored as it is.
    std::vector<std::uint8_t> Archive;
    /// The size of the disk-prompt dialog set at the archive's start; 0: it carries none.
    std::uint32_t DiskPromptSetSize = 0;
};

/// Page "Setup Options": edit 10 (NAME, at least 2 characters), radio buttons 20-22
/// (KIND), check boxes 30-31 (PARTS, "A" before the set), buttons 1 Next and 2 Cancel.
/// Page "Setup Folder": path 40 (DRIVE, the drive only), list 50 of Alpha, Beta, Gamma
/// (ITEMS as letters), buttons 3 Back and 1 Finish. A second set after it never shows:
/// its condition does not hold.
DialogSample BuildDialogSample();

/// Page "Folders": a directory browser 60 (DIR) with the directory shown in 61, a part
/// list 70 of Program 1200 k, Samples 300 k and Help 45 k (PARTS, the names) with the
/// chosen kilobytes in 71 and the free kilobytes of DIR's drive in 72, and Finish 1.
DialogPageLayout BuildListsPage();

/// A script that sets DIR to `directory` and PARTS to "Program Help", shows the lists page
/// and writes "%6%|DIR|PARTS|%7%" into the Windows directory's DIALOGS.MIF.
DialogSample BuildListsSample(const std::string& directory);

/// Two languages with the language dialog always shown (context option bit 20 must be
/// set), then a wizard of one page "Welcome" (static 80, Finish 1) in the frame with a
/// 120 x 180 picture of red and blue squares as its band. With "/M" the path dialogs of
/// manual mode come first. Writes "%6%|%LANG%|%7%" into DIALOGS.MIF.
DialogSample BuildDialogKindsSample();

/// Disks of 1024 bytes; the archive carries the disk-prompt set "Setup Disk" (read-only
/// edit 10 showing DISK_NUMBER, OK 1 and Cancel 2) and then, on disk 2, the text "disk
/// two", which the script installs to `destination`. Writes "%6%|%DISK_NUMBER%|%7%" into
/// DIALOGS.MIF.
DialogSample BuildDiskPromptSample(const std::string& destination);

/// A setup program's decompressor over `sample.Archive` that stores it as it is: copies
/// the requested bytes into the context's decompression target.
void UseDialogSample(InstallContext& context, const DialogSample& sample);

} // namespace vorn
