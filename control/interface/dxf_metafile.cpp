// The control's printing and metafile export: Plot, SaveWMF, SaveWMFOld and the
// placeable metafile writer.
#include "control/database/control_error.h"
#include "dxf_control.h"
#include "platform/stdio_file.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace plandra {

namespace {

// "Plandra OCX", NUL, "Metafile", NUL, NUL: the application and the picture's name.
constexpr std::string_view Description("Plandra OCX\0Metafile\0\0", 22);

// A size as a 16-bit Integer, rounded; sizes beyond its range are held at its ends.
double Rounded16(double value) {
    if (!(value > -32768.5)) {
        return -32768;
    }
    return value < 32767.5 ? std::nearbyint(value) : 32767;
}

// Hundredths of a millimetre from millimetres and the matching pixel count, as the
// frame is worked out; a surface without pixels gives the millimetres alone.
std::int32_t Hundredths(double millimetres, double pixels) {
    double value = pixels != 0 ? millimetres * pixels * 100 / pixels : millimetres * 100;
    if (!(std::fabs(value) < 2E9)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::nearbyint(value));
}

// The file a caller named, or "" for none (Empty, a missing argument, an empty text).
std::string NamedFile(const Variant& filename) {
    return std::holds_alternative<std::monostate>(filename) ? std::string() : CStr(filename);
}

} // namespace

bool DXF::Plot(Integer PlotSize) {
    return WithErrorTrail(
        "Plot", [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            if (Surfaces.Printer != nullptr) {
                View.ZoomToPrinter(PlotSize != 0 ? View.Transform.ViewWindow : Database.Extents,
                                   *Surfaces.Printer);
            }
            return true;
        });
}

bool DXF::ExportEnhancedMetafile(const std::string& fileName, const platform::Rect& frame) {
    if (Surfaces.Metafiles == nullptr) {
        return false;
    }
    platform::MetafileService& metafiles = *Surfaces.Metafiles;
    // Without a name the metafile is kept in memory rather than in a file of a fixed
    // name in the current folder, which could overwrite a user's file and fails in a
    // folder that cannot be written.
    platform::HDC dc =
        metafiles.CreateEnhMetaFileA(Surfaces.picPlandra.hDC(), fileName, &frame, Description);
    if (dc == nullptr) {
        return false;
    }
    try {
        View.ZoomToMetafile(View.Transform.ViewWindow, dc);
    } catch (...) {
        metafiles.DeleteEnhMetaFile(metafiles.CloseEnhMetaFile(dc));
        throw;
    }
    platform::HENHMETAFILE metafile = metafiles.CloseEnhMetaFile(dc);
    if (metafile == nullptr) {
        return true;
    }
    // Without a name the metafile goes to the clipboard, which owns it once it took it.
    // With a name the file stays on disk and the handle is no longer needed.
    if (fileName.empty() && Surfaces.Clipboard != nullptr) {
        platform::ClipboardService& clipboard = *Surfaces.Clipboard;
        if (clipboard.OpenClipboard()) {
            bool taken = clipboard.EmptyClipboard() &&
                         clipboard.SetClipboardData(platform::clipboard::EnhMetafile, metafile);
            clipboard.CloseClipboard();
            if (taken) {
                return true;
            }
        }
    }
    metafiles.DeleteEnhMetaFile(metafile);
    return true;
}

Integer DXF::SaveWMF(const Variant& filename) {
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
    WithErrorTrail(
        "SaveWMF", [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            platform::PictureBox& surface = Surfaces.picPlandra;
            int scaleMode = surface.ScaleMode();
            surface.SetScaleMode(platform::scale::Millimeters);
            double widthMm = surface.ScaleWidth();
            double heightMm = surface.ScaleHeight();
            surface.SetScaleMode(platform::scale::Pixels);
            double widthPixels = Rounded16(surface.ScaleWidth());
            double heightPixels = Rounded16(surface.ScaleHeight());
            surface.SetScaleMode(scaleMode);
            platform::Rect frame{0, 0, Hundredths(widthMm, widthPixels),
                                 Hundredths(heightMm, heightPixels)};
            std::string fileName = NamedFile(filename);
            if (!ExportEnhancedMetafile(fileName, frame) && !fileName.empty()) {
                WritePlaceableMetafile(fileName);
            }
        });
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
    return 0;
}

bool DXF::WritePlaceableMetafile(const std::string& fileName) {
    return WithErrorTrail(
        "WritePlaceableMetafile",
        [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            if (Surfaces.Metafiles == nullptr) {
                return false;
            }
            platform::MetafileService& metafiles = *Surfaces.Metafiles;
            platform::PictureBox& surface = Surfaces.picPlandra;
            auto word = [](double value) {
                return static_cast<std::uint16_t>(static_cast<std::int16_t>(Rounded16(value)));
            };
            std::array<std::uint16_t, 11> header{
                0xCDD7,
                0x9AC6,
                0,
                0,
                0,
                word(surface.ScaleWidth()),
                word(surface.ScaleHeight()),
                word(Surfaces.Gdi.GetDeviceCaps(surface.hDC(), platform::caps::LogPixelsX)),
                0,
                0,
                0};
            for (std::size_t i = 0; i < 10; ++i) {
                header[10] ^= header[i];
            }
            // A memory metafile instead of a temporary file of a fixed name, which could
            // overwrite a user's file and fails in a folder that cannot be written.
            platform::HDC dc = metafiles.CreateMetaFileA("");
            if (dc == nullptr) {
                return false;
            }
            std::vector<std::uint8_t> bytes;
            try {
                View.ZoomToMetafile(View.Transform.ViewWindow, dc);
            } catch (...) {
                metafiles.DeleteMetaFile(metafiles.CloseMetaFile(dc));
                throw;
            }
            if (platform::HMETAFILE metafile = metafiles.CloseMetaFile(dc)) {
                bytes = metafiles.GetMetaFileBits(metafile);
                metafiles.DeleteMetaFile(metafile);
            }
            if (bytes.empty()) {
                return false;
            }
            Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
            platform::UniqueStdioFile file(std::fopen(fileName.c_str(), "wb"));
            if (!file) {
                throw ControlError::Runtime(RuntimeError::PathNotFound);
            }
            std::array<std::uint8_t, 22> headerBytes{};
            for (std::size_t i = 0; i < header.size(); ++i) {
                headerBytes[2 * i] = static_cast<std::uint8_t>(header[i]);
                headerBytes[2 * i + 1] = static_cast<std::uint8_t>(header[i] >> 8);
            }
            bool written = std::fwrite(headerBytes.data(), 1, headerBytes.size(), file.Get()) ==
                               headerBytes.size() &&
                           std::fwrite(bytes.data(), 1, bytes.size(), file.Get()) == bytes.size();
            if (std::fclose(file.Release()) != 0 || !written) {
                throw ControlError::Runtime(RuntimeError::DiskFull);
            }
            Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
            return true;
        });
}

Integer DXF::SaveWMFOld(const Variant& filename) {
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
    WithErrorTrail(
        "SaveWMFOld", [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            platform::PictureBox& surface = Surfaces.picPlandra;
            int scaleMode = surface.ScaleMode();
            surface.SetScaleMode(platform::scale::Millimeters);
            double widthMm = surface.ScaleWidth();
            double heightMm = surface.ScaleHeight();
            surface.SetScaleMode(platform::scale::Pixels);
            double widthPixels = Rounded16(surface.ScaleWidth());
            double heightPixels = Rounded16(surface.ScaleHeight());
            surface.SetScaleMode(scaleMode);
            // The scale's origin is 0, 0 in pixels; the frame runs from it over the
            // surface, each side turned into hundredths of a millimetre.
            auto toFrame = [](double pixels, double mm, double size) {
                return Hundredths(size != 0 ? pixels * mm / size : 0, 1);
            };
            platform::Rect frame{0, 0, toFrame(widthPixels, widthMm, widthPixels),
                                 toFrame(heightPixels, heightMm, heightPixels)};
            if (!ExportEnhancedMetafile(NamedFile(filename), frame)) {
                Host.MessageBox.MessageBoxA("WMF not created", "Plandra", platform::mb::Ok);
            }
        });
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
    return 0;
}

} // namespace plandra
