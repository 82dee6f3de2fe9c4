// The version calls the engine makes when it installs files: version resources read from
// program files and the versioned install, with the Win32 names, arguments, results and
// error codes of their ANSI forms (VERSION.DLL).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

namespace winerror {
inline constexpr std::uint32_t BadFormat = 11;              // ERROR_BAD_FORMAT
inline constexpr std::uint32_t ResourceDataNotFound = 1812; // ERROR_RESOURCE_DATA_NOT_FOUND
inline constexpr std::uint32_t ResourceTypeNotFound = 1813; // ERROR_RESOURCE_TYPE_NOT_FOUND
} // namespace winerror

/// Flags and result bits of the version calls, with their Win32 values.
namespace ver {
inline constexpr std::uint32_t FixedFileInfoSignature = 0xFEEF04BDu; ///< VS_FFI_SIGNATURE

inline constexpr std::uint32_t FileTypeApp = 1; ///< VFT_APP
inline constexpr std::uint32_t FileTypeDll = 2; ///< VFT_DLL

/// VerFindFileA's flag: the file is shared, so it belongs in the system folder.
inline constexpr std::uint32_t FindIsSharedFile = 0x1; ///< VFFF_ISSHAREDFILE

/// VerFindFileA's result bits.
inline constexpr std::uint32_t FindCurrentNotDestination = 0x1; ///< VFF_CURNEDEST
inline constexpr std::uint32_t FindFileInUse = 0x2;             ///< VFF_FILEINUSE
inline constexpr std::uint32_t FindBufferTooSmall = 0x4;        ///< VFF_BUFFTOOSMALL

/// VerInstallFileA's flags.
inline constexpr std::uint32_t InstallForce = 0x1;         ///< VIFF_FORCEINSTALL
inline constexpr std::uint32_t InstallDontDeleteOld = 0x2; ///< VIFF_DONTDELETEOLD

/// VerInstallFileA's result bits: the first group are refusals a forced install
/// overrides, the second failures of the copy itself.
inline constexpr std::uint32_t InstallTempFile = 0x1;           ///< VIF_TEMPFILE: the copy is left
inline constexpr std::uint32_t InstallMismatch = 0x2;           ///< VIF_MISMATCH
inline constexpr std::uint32_t InstallSourceOld = 0x4;          ///< VIF_SRCOLD
inline constexpr std::uint32_t InstallDiffLang = 0x8;           ///< VIF_DIFFLANG
inline constexpr std::uint32_t InstallDiffCodePage = 0x10;      ///< VIF_DIFFCODEPG
inline constexpr std::uint32_t InstallDiffType = 0x20;          ///< VIF_DIFFTYPE
inline constexpr std::uint32_t InstallWriteProtected = 0x40;    ///< VIF_WRITEPROT
inline constexpr std::uint32_t InstallFileInUse = 0x80;         ///< VIF_FILEINUSE
inline constexpr std::uint32_t InstallOutOfSpace = 0x100;       ///< VIF_OUTOFSPACE
inline constexpr std::uint32_t InstallAccessViolation = 0x200;  ///< VIF_ACCESSVIOLATION
inline constexpr std::uint32_t InstallSharingViolation = 0x400; ///< VIF_SHARINGVIOLATION
inline constexpr std::uint32_t InstallCannotCreate = 0x800;     ///< VIF_CANNOTCREATE
inline constexpr std::uint32_t InstallCannotDelete = 0x1000;    ///< VIF_CANNOTDELETE
inline constexpr std::uint32_t InstallCannotRename = 0x2000;    ///< VIF_CANNOTRENAME
inline constexpr std::uint32_t InstallCannotDeleteCurrent = 0x4000;    ///< VIF_CANNOTDELETECUR
inline constexpr std::uint32_t InstallOutOfMemory = 0x8000;            ///< VIF_OUTOFMEMORY
inline constexpr std::uint32_t InstallCannotReadSource = 0x10000;      ///< VIF_CANNOTREADSRC
inline constexpr std::uint32_t InstallCannotReadDestination = 0x20000; ///< VIF_CANNOTREADDST
inline constexpr std::uint32_t InstallBufferTooSmall = 0x40000;        ///< VIF_BUFFTOOSMALL
} // namespace ver

/// VS_FIXEDFILEINFO, the value of the path "\" in a version block.
struct FixedFileInfo {
    std::uint32_t Signature = 0;
    std::uint32_t StrucVersion = 0;
    std::uint32_t FileVersionMS = 0;
    std::uint32_t FileVersionLS = 0;
    std::uint32_t ProductVersionMS = 0;
    std::uint32_t ProductVersionLS = 0;
    std::uint32_t FileFlagsMask = 0;
    std::uint32_t FileFlags = 0;
    std::uint32_t FileOS = 0;
    std::uint32_t FileType = 0;
    std::uint32_t FileSubtype = 0;
    std::uint32_t FileDateMS = 0;
    std::uint32_t FileDateLS = 0;
};
static_assert(sizeof(FixedFileInfo) == 52, "VS_FIXEDFILEINFO is thirteen 32-bit fields");

/// Every call sets the last error on failure, as its Win32 namesake does. Directory
/// arguments are full paths without a separator at their end.
class VersionService {
public:
    virtual ~VersionService() = default;

    /// The buffer size GetFileVersionInfoA needs for the file's version block; 0 when
    /// the file has none (winerror::ResourceDataNotFound, also for a file that is no
    /// program file) or cannot be read. `handle`, when given, is set to 0.
    virtual std::uint32_t GetFileVersionInfoSizeA(std::string_view fileName,
                                                  std::uint32_t* handle) = 0;
    /// Copies the version block into `data` (cut to its size); `handle` is ignored. The
    /// buffer is the size GetFileVersionInfoSizeA gave: VerQueryValueA keeps the 8-bit
    /// forms of the block's texts in the part past the block.
    virtual bool GetFileVersionInfoA(std::string_view fileName, std::uint32_t handle,
                                     std::span<char> data) = 0;
    /// Points `buffer` at the value `subBlock` names in a block from GetFileVersionInfoA:
    /// "\" a FixedFileInfo, "\VarFileInfo\Translation" pairs of 16-bit language and code
    /// page, "\StringFileInfo\<language><code page>\<name>" a zero-ended text. `length`
    /// is in bytes for binary values and in characters for texts, 0 for a block without
    /// a value of its own. False (length 0) when there is no such block.
    virtual bool VerQueryValueA(std::span<char> block, std::string_view subBlock,
                                const char*& buffer, std::uint32_t& length) = 0;

    /// Where `fileName` (a name without folder) is now and where it should go: shared
    /// files (ver::FindIsSharedFile) in the system folder, others in `appDir` (as given).
    /// The file is looked for in `appDir`, the system and the Windows folders (`winDir` is
    /// taken but not looked in, as on Windows). Each folder
    /// is written to its buffer with a terminating zero, cut to fit, and its whole length
    /// with the zero to the length argument; `curDir` is empty when the file is nowhere yet.
    /// Returns ver::Find* bits: ver::FindCurrentNotDestination whenever the two differ,
    /// a file found nowhere included.
    virtual std::uint32_t VerFindFileA(std::uint32_t flags, std::string_view fileName,
                                       const char* winDir, std::string_view appDir,
                                       std::span<char> curDir, std::uint32_t& curDirLength,
                                       std::span<char> destDir, std::uint32_t& destDirLength) = 0;
    /// Copies `srcDir`\`srcFileName` to a temporary file in `destDir`, compares it with
    /// the file it replaces (`curDir`\`destFileName`, else `destDir`\`destFileName`) and,
    /// unless a refusal bit stops it, puts it in place as `destFileName`, removing the
    /// one in `curDir` unless ver::InstallDontDeleteOld. When the temporary file is left
    /// (ver::InstallTempFile) its name is written to `tmpFile` as for VerFindFileA.
    /// Returns ver::Install* bits, 0 when the file was installed; a refusal for an older
    /// version, another language, code page or type comes with ver::InstallMismatch.
    virtual std::uint32_t VerInstallFileA(std::uint32_t flags, std::string_view srcFileName,
                                          std::string_view destFileName, std::string_view srcDir,
                                          std::string_view destDir, std::string_view curDir,
                                          std::span<char> tmpFile,
                                          std::uint32_t& tmpFileLength) = 0;

    virtual std::uint32_t GetLastError() = 0;
};

} // namespace platform
