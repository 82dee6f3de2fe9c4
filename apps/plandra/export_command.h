// `plandra export`: loads a drawing as the control does and writes its view as an
// enhanced metafile through the control's SaveWMF, or as a placeable Windows metafile
// through its placeable metafile writer.
#pragma once

#include "control/database/real_rect.h"
#include "reading_options.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace plandra::cli {

struct ExportRequest {
    ReadingOptions Reading;
    /// The metafile to write; its extension says which kind (".emf" or ".wmf").
    std::string OutputName;
    int Width = 1024; ///< pixels of the drawing surface the view is fitted to
    int Height = 768; ///< pixels
    bool PrintAllBlack = false;
    /// The window to export instead of the extents, in drawing units.
    std::optional<RealRect> Window;
};

/// Exports as requested. Returns the exit status: 0 when the metafile was written, 1
/// when the drawing could not be read or the metafile not written, 3 when the view
/// could not be drawn (empty drawing, window without width or height, scale out of
/// range) and nothing was written. Messages go to `errors`.
int RunExport(const ExportRequest& request, std::ostream& errors);

} // namespace plandra::cli
