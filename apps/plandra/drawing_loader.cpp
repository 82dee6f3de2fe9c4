// Loads a drawing the way the control's Regen does.
#include "drawing_loader.h"

#include "control/database/control_error.h"
#include "control/reader/fix_unix_file.h"
#include "platform/headless/headless_screen.h"
#include "private_temp_folder.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <vector>

namespace plandra::cli {

ReadableFile::ReadableFile(std::string drawingName, LineEndPolicy policy, std::ostream& notices)
    : DrawingName(drawingName), ReadName(std::move(drawingName)) {
    if (policy != LineEndPolicy::ConvertBareLineFeeds || !HasBareLineFeeds(ReadName)) {
        return;
    }
    platform::HeadlessScreen screen;
    std::string converted = UniqueTemporaryPath(".dxf").string();
    std::string error;
    if (!FixUNIXFile(error, ReadName, converted, screen)) {
        std::error_code ignored;
        std::filesystem::remove(converted, ignored);
        throw ControlError::Raised(error, "FixUNIXFile");
    }
    notices << "plandra: " << ReadName
            << " has bare line-feed line ends; reading a copy with CR LF ends "
               "(--strict reads the file as it stands)\n";
    ReadName = converted;
    Converted = true;
}

ReadableFile::~ReadableFile() {
    if (Converted) {
        std::error_code ignored;
        std::filesystem::remove(ReadName, ignored);
    }
}

void ReadableFile::NameTheDrawing(ControlError& error) const {
    if (!Converted) {
        return;
    }
    std::string& text = error.Description;
    for (std::size_t at = text.find(ReadName); at != std::string::npos;
         at = text.find(ReadName, at + DrawingName.size())) {
        text.replace(at, ReadName.size(), DrawingName);
    }
}

void ReportControlError(std::ostream& out, const ControlError& error, std::string_view doing,
                        const std::string& fileName) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(error.Number));
    // The trail's CR LF pairs read better as plain line ends on a terminal.
    std::string description;
    for (char c : error.Description) {
        if (c != '\r') {
            description += c;
        }
    }
    out << "plandra: error " << number << " " << doing << " " << fileName << ":\n"
        << description << "\n";
}

bool HasBareLineFeeds(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    std::vector<char> buffer(1 << 20);
    char previous = '\0';
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
           file.gcount() > 0) {
        const char* begin = buffer.data();
        const char* end = begin + file.gcount();
        for (const char* at = begin;
             (at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr; ++at) {
            char before = at == begin ? previous : at[-1];
            if (before != '\r') {
                return true;
            }
        }
        previous = end[-1];
    }
    return false;
}

LoadedDrawing::LoadedDrawing()
    : Control(Host.Surfaces(Screen, Gdi, picPlandra, picStatusBar), Host.Host()),
      Database(Control.Drawing()), Options(Control.Settings()) {
    picPlandra.Dc = Gdi.CreateCompatibleDC(nullptr);
    Control.InitProperties();
    Control.SetTmpFileNamePath(Host.ScratchFolder.Name());
}

void LoadDrawing(LoadedDrawing& drawing, const std::string& fileName, LineEndPolicy policy,
                 std::ostream& notices) {
    ReadableFile file(fileName, policy, notices);
    drawing.Control.SetFileName(file.Name());
    file.Reading([&] { return drawing.Control.Regen(dxfMergeNew); });
    drawing.Completed = drawing.Control.DXFComplete;
}

} // namespace plandra::cli
