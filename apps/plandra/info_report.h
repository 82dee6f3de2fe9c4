// What `plandra info` prints about a loaded drawing: a text summary or one JSON object.
#pragma once

#include "drawing_loader.h"

#include <iosfwd>
#include <string>

namespace plandra::cli {

void WriteInfoText(std::ostream& out, const std::string& fileName, const LoadedDrawing& drawing);
void WriteInfoJson(std::ostream& out, const std::string& fileName, const LoadedDrawing& drawing);

} // namespace plandra::cli
