// Plays an enhanced metafile with GDI's PlayEnhMetaFile onto a white bitmap of the given
// size and writes the bitmap as a PNG file, so that Windows' own reader of our metafiles
// can be compared with our pictures.
// Usage: emf_playback IN.emf OUT.png WIDTH HEIGHT
#include "platform/png_image.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: emf_playback IN.emf OUT.png WIDTH HEIGHT\n");
        return 2;
    }
    const int width = std::atoi(argv[3]);
    const int height = std::atoi(argv[4]);
    HENHMETAFILE metafile = ::GetEnhMetaFileA(argv[1]);
    if (metafile == nullptr || width <= 0 || height <= 0) {
        std::fprintf(stderr, "emf_playback: %s is no enhanced metafile, or the size is bad\n",
                     argv[1]);
        return 1;
    }
    HDC dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    ::PatBlt(dc, 0, 0, width, height, WHITENESS);
    RECT bounds{0, 0, width, height};
    const bool played = ::PlayEnhMetaFile(dc, metafile, &bounds) != FALSE;
    ::GdiFlush();
    const bool written =
        played && platform::WritePngFile(argv[2], {static_cast<const std::uint8_t*>(bits), width,
                                                   height, static_cast<std::size_t>(width) * 4});
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::DeleteEnhMetaFile(metafile);
    if (!written) {
        std::fprintf(stderr, "emf_playback: %s\n",
                     played ? "cannot write the picture" : "PlayEnhMetaFile failed");
        return 1;
    }
    return 0;
}
