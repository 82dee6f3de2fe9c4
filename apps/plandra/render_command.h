// `plandra render`: loads and draws a drawing as the control does and writes the
// drawing surface as a PNG file.
#pragma once

#include "control/database/entity_records.h"
#include "control/database/real_rect.h"
#include "reading_options.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace plandra::cli {

struct RenderRequest {
    ReadingOptions Reading;
    std::string OutputName;
    int Width = 1024;          ///< pixels
    int Height = 768;          ///< pixels
    Long BackColor = 0xFFFFFF; ///< COLORREF
    bool PrintAllBlack = false;
    /// Where to write the box of each text drawn; empty: nowhere.
    std::string TextBoxesName;
    /// The window to show instead of the extents, in drawing units.
    std::optional<RealRect> Window;
};

/// Renders as requested. Returns the exit status: 0 when the drawing was drawn, 1 when
/// it could not be read or the picture not written, 3 when the picture was written but
/// the drawing pass drew nothing (empty drawing, window without width or height, scale
/// out of range). Messages go to `errors`.
int RunRender(const RenderRequest& request, std::ostream& errors);

} // namespace plandra::cli
