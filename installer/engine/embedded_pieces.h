// The pieces a setup archive carries after the script (support libraries and programs,
// the disk-prompt dialog set), decompressed at start-up into temporary files.
#pragma once

#include "install_context.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class FileService;
}

namespace vorn {

struct ExtractedPieces {
    /// Every file written, deleted at the end of the run (unless kept on purpose).
    std::vector<std::string> Files;
    /// Paths by piece; empty for a piece the archive does not carry or that was skipped.
    std::array<std::string, EmbeddedPieceCount> Paths;
    /// The disk-prompt dialog set, decompressed into memory.
    std::vector<std::uint8_t> DiskPromptSet;
    /// Archive offset after the last piece: where the archive's own offsets count from.
    std::uint32_t ArchiveBase = 0;

    const std::string& PathOf(EmbeddedPiece piece) const {
        return Paths[static_cast<std::size_t>(piece)];
    }
};

/// Where and for which system the pieces are written.
struct PieceTargets {
    std::string WindowsDirectory;
    std::string TempDirectory;
    /// Only the CTL3D copy of the running family is written; the other is skipped.
    bool WindowsNt = false;
};

/// Decompresses the pieces the context announces, in archive order, from the context's
/// archive offset on. False when a file cannot be made or the decompressor reports an
/// error; the files made so far are in `pieces.Files` either way.
bool ExtractEmbeddedPieces(InstallContext& context, platform::FileService& files,
                           const PieceTargets& targets, ExtractedPieces& pieces);

} // namespace vorn
