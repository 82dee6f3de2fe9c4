// The clipboard of a Linux program: enhanced metafiles put on it are written to a
// per-user clipboard file, which other programs can read, and
// handed to the desktop's clipboard when a display and its copy tool are there.
#pragma once

#include "platform/clipboard.h"
#include "platform/metafile/metafile_gdi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

/// Metafiles come from `metafiles`, whose handles the clipboard takes over (their bytes
/// are copied and the handle deleted). What was set is published when the clipboard
/// is closed: written to `fileName` (replaced in one step, readable by the user only)
/// and, with `toDesktop`, offered to the desktop as image/emf by wl-copy or xclip.
class FileClipboard final : public ClipboardService {
public:
    FileClipboard(metafile::MetafileGdi& metafiles, std::string fileName, bool toDesktop);

    bool OpenClipboard() override;
    bool EmptyClipboard() override;
    bool SetClipboardData(unsigned format, HENHMETAFILE metafile) override;
    bool CloseClipboard() override;

    /// The enhanced metafile the clipboard holds; empty when none.
    const std::vector<std::uint8_t>& Contents() const { return Metafile; }

private:
    bool Publish();

    metafile::MetafileGdi& Metafiles;
    std::string FileName;
    bool ToDesktop;
    bool IsOpen = false;
    bool Changed = false;
    std::vector<std::uint8_t> Metafile;
};

/// Where a user's clipboard file is: $PLANDRA_CLIPBOARD when set, else
/// plandra/clipboard.emf under $XDG_RUNTIME_DIR (absolute) or else under
/// $XDG_CACHE_HOME (absolute) or ~/.cache; empty when none of these is known.
std::string UserClipboardFile();

/// Whether a desktop display is there to hand the clipboard to.
bool DesktopDisplayPresent();

} // namespace platform
