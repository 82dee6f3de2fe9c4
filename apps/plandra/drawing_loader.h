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

/// Empties the database, then reads `fileName` into it. Notices (such as a line-end
/// conversion) go to `notices`. Errors are raised as ControlError with their trail.
void LoadDrawing(LoadedDrawing& drawing, const std::string& fileName, LineEndPolicy policy,
                 std::ostream& notices);

/// True when the file holds a line feed that does not follow a carriage return.
bool HasBareLineFeeds(const std::string& fileName);

} // namespace plandra::cli
