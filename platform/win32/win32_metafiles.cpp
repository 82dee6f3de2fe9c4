// Enhanced and standard metafiles through GDI32.
#include "platform/win32/win32_metafiles.h"

#include "win32_api.h"

#include <string>

namespace platform {

namespace {

::HDC Native(HDC dc) {
    return reinterpret_cast<::HDC>(dc);
}

} // namespace

HDC Win32Metafiles::CreateEnhMetaFileA(HDC reference, std::string_view fileName, const Rect* frame,
                                       std::string_view description) {
    std::string name(fileName);
    // The description's own NUL characters stay in the copy; c_str adds the last one.
    std::string text(description);
    return reinterpret_cast<HDC>(::CreateEnhMetaFileA(
        Native(reference), name.empty() ? nullptr : name.c_str(),
        reinterpret_cast<const RECT*>(frame), text.empty() ? nullptr : text.c_str()));
}

HENHMETAFILE Win32Metafiles::CloseEnhMetaFile(HDC dc) {
    return reinterpret_cast<HENHMETAFILE>(::CloseEnhMetaFile(Native(dc)));
}

bool Win32Metafiles::DeleteEnhMetaFile(HENHMETAFILE metafile) {
    return ::DeleteEnhMetaFile(reinterpret_cast<::HENHMETAFILE>(metafile)) != FALSE;
}

HDC Win32Metafiles::CreateMetaFileA(std::string_view fileName) {
    std::string name(fileName);
    return reinterpret_cast<HDC>(::CreateMetaFileA(name.empty() ? nullptr : name.c_str()));
}

HMETAFILE Win32Metafiles::CloseMetaFile(HDC dc) {
    return reinterpret_cast<HMETAFILE>(::CloseMetaFile(Native(dc)));
}

bool Win32Metafiles::DeleteMetaFile(HMETAFILE metafile) {
    return ::DeleteMetaFile(reinterpret_cast<::HMETAFILE>(metafile)) != FALSE;
}

std::vector<std::uint8_t> Win32Metafiles::GetMetaFileBits(HMETAFILE metafile) {
    auto native = reinterpret_cast<::HMETAFILE>(metafile);
    UINT size = ::GetMetaFileBitsEx(native, 0, nullptr);
    std::vector<std::uint8_t> bytes(size);
    if (size == 0 || ::GetMetaFileBitsEx(native, size, bytes.data()) != size) {
        bytes.clear();
    }
    return bytes;
}

} // namespace platform
