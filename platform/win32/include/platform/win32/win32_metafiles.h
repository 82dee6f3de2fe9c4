// Metafile device contexts through GDI32; they are drawn on with Win32Gdi.
#pragma once

#include "platform/metafiles.h"

namespace platform {

class Win32Metafiles final : public MetafileService {
public:
    HDC CreateEnhMetaFileA(HDC reference, std::string_view fileName, const Rect* frame,
                           std::string_view description) override;
    HENHMETAFILE CloseEnhMetaFile(HDC dc) override;
    bool DeleteEnhMetaFile(HENHMETAFILE metafile) override;
    HDC CreateMetaFileA(std::string_view fileName) override;
    HMETAFILE CloseMetaFile(HDC dc) override;
    bool DeleteMetaFile(HMETAFILE metafile) override;
    std::vector<std::uint8_t> GetMetaFileBits(HMETAFILE metafile) override;
};

} // namespace platform
