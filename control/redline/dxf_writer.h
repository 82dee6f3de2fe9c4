// Saving the drawing with its markup: a copy of the DXF file it was read from, with the
// new layers and the live redline entities spliced in.
#pragma once

#include "control/database/drawing_database.h"
#include "platform/files.h"

#include <string>

namespace plandra {

/// Copies `inputFile` line by line to `target` (every line ended with carriage return
/// and line feed) and splices in: a handle seed raised past the handles of the new
/// records, a record for every new layer at the end of the LAYER table, and the live
/// redline lines, circles and texts at the start of the entities section.
///
/// The copy goes to a new file beside the target, which takes the target's place only
/// once it is whole, so the target may be the input itself, and a failure (raised as
/// its run-time error: "File not found", "Path/File access error", "Disk full", "Input
/// past end of file" for a cut-off file, "Type mismatch" for a seed that is not
/// hexadecimal, "Overflow" for one so large that the new handles would pass 64 bits)
/// leaves any existing target untouched. Past the entities section's start the rest of
/// the file goes over in blocks, with the same line ends. With `files` the copy is
/// written through that machine's files (`target` is one of its paths); the input is
/// read as the reader reads it.
void SaveDrawing(const DrawingDatabase& database, const std::string& inputFile,
                 const std::string& target, platform::FileService* files = nullptr);

} // namespace plandra
