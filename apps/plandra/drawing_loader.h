// Loads a drawing the way the control's Regen does, for the command-line tool.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"

#include <array>
#include <iosfwd>
#include <string>

namespace plandra::cli {

enum class LineEndPolicy {
    /// A file with bare line feeds is converted into a temporary copy first.
    ConvertBareLineFeeds,
    /// The file is read as it stands.
    Strict,
};

struct LoadedDrawing {
    DrawingDatabase Database;
    DrawingOptions Options;
    std::array<RealRect, 4> PrevZoomStack{};
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

private:
    std::string ReadName;
    bool Converted = false;
};

/// Empties the database, then reads `fileName` into it. Notices (such as a line-end
/// conversion) go to `notices`. Errors are raised as ControlError with their trail.
void LoadDrawing(LoadedDrawing& drawing, const std::string& fileName, LineEndPolicy policy,
                 std::ostream& notices);

/// True when the file holds a line feed that does not follow a carriage return.
bool HasBareLineFeeds(const std::string& fileName);

} // namespace plandra::cli
