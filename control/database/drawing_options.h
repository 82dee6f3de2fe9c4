// The control's settings that the reader and the drawing consult.
#pragma once

#include "entity_records.h"
#include "font_map.h"

#include <string>

namespace plandra {

struct DrawingOptions {
    /// True: header $EXTMIN/$EXTMAX are ignored and the extents come from the entities.
    bool CalcExtents = false;
    /// True: everything is drawn black, on every target.
    bool PrintAllBlack = false;
    /// The drawing surface's back colour (COLORREF).
    Long BackColor = 0xFFFFFF;
    FontChoices Fonts;
    /// True: visible attributes are drawn (dxfAttribsOn).
    bool DisplayAttributes = false;
    /// Folder of the block scratch files, ending in a separator.
    std::string TmpFileNamePath;
    /// Height of new redline texts: the largest text height of the last load.
    float RedlineTextHeight = 1;
    /// True: the reader also reads the entity kinds of today's CAD programs
    /// (LWPOLYLINE, SPLINE, HATCH, TRACE, LEADER) and decodes texts by the file's
    /// code page and version; False reads only the classic kinds, bytes as they stand.
    bool ReadModernEntities = false;
};

} // namespace plandra
