// Loads a drawing the way the control's Regen does, for the command-line tool.
#pragma once

#include "control/database/control_error.h"
#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "control/interface/dxf_control.h"
#include "control_host.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/null_gdi.h"
#include "platform/headless/recording_picture_box.h"
#include "reading_options.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace plandra::cli {

/// A DXF control on surfaces without pixels, so that Regen reads the drawing and its
/// drawing pass has nothing to draw on.
struct LoadedDrawing {
    LoadedDrawing();
    LoadedDrawing(const LoadedDrawing&) = delete;
    LoadedDrawing& operator=(const LoadedDrawing&) = delete;

    platform::HeadlessScreen Screen;
    platform::NullGdi Gdi;
    platform::RecordingPictureBox picPlandra{0, 0};
    platform::RecordingPictureBox picStatusBar{0, 0};
    ControlHost Host{0, 0, 0};
    DXF Control;
    /// What the control holds after the read.
    const DrawingDatabase& Database;
    const DrawingOptions& Options;
    bool Completed = false;
};

/// The file to read in place of a drawing: the drawing itself, or a copy with CR LF
/// line ends that is removed when this object goes.
class ReadableFile {
public:
    ReadableFile(std::string drawingName, LineEndPolicy policy, std::ostream& notices);
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;
    ~ReadableFile();

    const std::string& Name() const { return ReadName; }

    /// Runs `read`, which reads Name(). The control names the file it read in its
    /// errors; an error about the copy is passed on naming the drawing instead.
    template <typename Read> decltype(auto) Reading(Read&& read) const {
        try {
            return read();
        } catch (ControlError& error) {
            NameTheDrawing(error);
            throw;
        }
    }

private:
    void NameTheDrawing(ControlError& error) const;

    std::string DrawingName;
    std::string ReadName;
    bool Converted = false;
};

/// Reads `fileName` through the control's Regen, replacing what it held. Notices (such as a
/// line-end conversion) go to `notices`. Errors are raised as ControlError with their trail.
void LoadDrawing(LoadedDrawing& drawing, const std::string& fileName, LineEndPolicy policy,
                 std::ostream& notices);

/// True when the file holds a line feed that does not follow a carriage return.
bool HasBareLineFeeds(const std::string& fileName);

/// Writes a control error with its number and its whole trail, one procedure a line:
/// "plandra: error 0x80040001 <doing> FILE:" and the description.
void ReportControlError(std::ostream& out, const ControlError& error, std::string_view doing,
                        const std::string& fileName);

} // namespace plandra::cli
