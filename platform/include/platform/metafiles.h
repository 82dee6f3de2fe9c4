// Enhanced and standard metafiles: device contexts that record the GDI calls made on
// them into a metafile, with the Win32 names and meanings of the calls.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

/// An enhanced metafile (HENHMETAFILE) and a standard metafile (HMETAFILE), as their
/// service gives them. Never made, only pointed to.
struct EnhMetaFile;
using HENHMETAFILE = EnhMetaFile*;
struct MetaFile;
using HMETAFILE = MetaFile*;

/// Creates metafile device contexts. Drawing on them goes through the GdiService that
/// goes with this service (the same object on Linux, Win32Gdi on Windows): the calls
/// are recorded, not drawn. Results as Win32's: null or FALSE on failure.
class MetafileService {
public:
    virtual ~MetafileService() = default;

    /// An enhanced-metafile device context writing to `fileName` (a file of the host's
    /// file system, replaced when the metafile is closed; empty: a memory metafile).
    /// `frame` is the picture's frame in hundredths of a millimetre, or null for the
    /// bounds of what is drawn; `description` the header's description, NUL characters
    /// included. Sizes and text measurement come from `reference`.
    virtual HDC CreateEnhMetaFileA(HDC reference, std::string_view fileName, const Rect* frame,
                                   std::string_view description) = 0;
    /// Ends the recording and writes the file; null when it cannot be written.
    virtual HENHMETAFILE CloseEnhMetaFile(HDC dc) = 0;
    virtual bool DeleteEnhMetaFile(HENHMETAFILE metafile) = 0;

    /// A standard-metafile device context writing to `fileName` (empty: a memory
    /// metafile). Standard metafiles have no frame: a reader sizes them by their
    /// placeable header.
    virtual HDC CreateMetaFileA(std::string_view fileName) = 0;
    /// Ends the recording and writes the file; null when it cannot be written.
    virtual HMETAFILE CloseMetaFile(HDC dc) = 0;
    virtual bool DeleteMetaFile(HMETAFILE metafile) = 0;
    /// The bytes of a closed standard metafile (GetMetaFileBitsEx); empty when the
    /// handle is not one.
    virtual std::vector<std::uint8_t> GetMetaFileBits(HMETAFILE metafile) = 0;
};

} // namespace platform
