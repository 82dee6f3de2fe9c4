// Decompressing the embedded pieces.
#include "embedded_pieces.h"

#include "numbered_temp_file.h"
#include "platform/files.h"

namespace vorn {

namespace {

using platform::FileService;

// How a piece's file is named.
enum class Naming {
    /// GetTempFileNameA in the temporary directory with this prefix.
    TempPrefix,
    /// "~KTHnnnn.TMP" in the Windows directory.
    WindowsDirectory,
    /// A temporary file whose extension becomes "EXE".
    Program,
};

struct PieceRule {
    Naming Name;
    const char* Prefix;
};

// By EmbeddedPiece, in archive order.
constexpr std::array<PieceRule, EmbeddedPieceCount> Rules{{
    {Naming::WindowsDirectory, ""}, // CTL3D copy for Windows 95
    {Naming::TempPrefix, "KTH"},    // extension library
    {Naming::TempPrefix, "KTJ"},    // registration program
    {Naming::TempPrefix, "KTK"},    // update-display library
    {Naming::TempPrefix, "KTM"},    // transfer library
    {Naming::WindowsDirectory, ""}, // CTL3D copy for Windows NT
    {Naming::WindowsDirectory, ""}, // restart utility
    {Naming::Program, "KTS"},       // support program
    {Naming::TempPrefix, ""},       // disk-prompt dialog set: into memory, never a file
}};

// A new empty file for the piece; empty when none can be made.
std::string NewPieceFile(FileService& files, const PieceTargets& targets, const PieceRule& rule) {
    std::string path;
    switch (rule.Name) {
    case Naming::TempPrefix:
        return files.GetTempFileNameA(targets.TempDirectory, rule.Prefix, 0, path) != 0 ? path : "";
    case Naming::Program: {
        if (files.GetTempFileNameA(targets.TempDirectory, rule.Prefix, 0, path) == 0) {
            return {};
        }
        std::string program = path.substr(0, path.rfind('.')) + ".EXE";
        if (!files.MoveFileA(path, program)) {
            files.DeleteFileA(path);
            return {};
        }
        return program;
    }
    case Naming::WindowsDirectory:
        return CreateNumberedTempFile(files, targets.WindowsDirectory);
    }
    return {};
}

// One decompression request from the current archive offset, which then lies past it
// whether or not the decompressor moved it on by itself.
bool Decompress(InstallContext& context, std::uintptr_t destination, std::uint32_t size,
                std::uint32_t room = 0) {
    std::uint32_t start = context.ArchiveOffset;
    context.ErrorCode = context_error::None;
    context.Decompress(context.ArchiveFile, destination, size, room);
    context.ArchiveOffset = start + size;
    return context.ErrorCode == context_error::None;
}

} // namespace

bool ExtractEmbeddedPieces(InstallContext& context, FileService& files, const PieceTargets& targets,
                           ExtractedPieces& pieces) {
    pieces.ArchiveBase = context.ArchiveOffset;
    for (std::size_t i = 0; i < EmbeddedPieceCount; ++i) {
        auto piece = static_cast<EmbeddedPiece>(i);
        std::uint32_t size = context.PieceSize(piece);
        if (size == 0) {
            continue;
        }
        if (context.Decompress == nullptr) {
            return false;
        }
        bool otherCtl3d = (piece == EmbeddedPiece::Ctl3dWindows95 && targets.WindowsNt) ||
                          (piece == EmbeddedPiece::Ctl3dWindowsNt && !targets.WindowsNt);
        if (piece == EmbeddedPiece::DiskPromptDialogs || otherCtl3d) {
            // Into memory, or passed over with no target at all.
            std::uint8_t* saved = context.DecompressTarget;
            if (!otherCtl3d) {
                pieces.DiskPromptSet.assign(context.DiskPromptSetSize, 0);
            }
            context.DecompressTarget =
                otherCtl3d || pieces.DiskPromptSet.empty() ? nullptr : pieces.DiskPromptSet.data();
            bool done = Decompress(
                context, 0, size,
                static_cast<std::uint32_t>(otherCtl3d ? 0 : pieces.DiskPromptSet.size()));
            context.DecompressTarget = saved;
            if (!done) {
                return false;
            }
            continue;
        }
        std::string path = NewPieceFile(files, targets, Rules[i]);
        if (path.empty()) {
            return false;
        }
        pieces.Files.push_back(path);
        pieces.Paths[i] = path;
        platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericWrite, 0,
                                                    platform::file::CreateAlways,
                                                    platform::file::AttributeNormal),
                                  platform::FileCloser{&files});
        if (!file || !Decompress(context, static_cast<std::uintptr_t>(file.Get()), size)) {
            return false;
        }
    }
    pieces.ArchiveBase = context.ArchiveOffset;
    return true;
}

} // namespace vorn
