// Handing a command's reading options to the control.
#include "reading_options.h"

#include "control/interface/dxf_control.h"

namespace plandra::cli {

void ReadingOptions::ApplyTo(DXF& control) const {
    control.SetCalcExtents(CalcExtents);
    control.SetReadModernEntities(!ClassicOnly);
}

} // namespace plandra::cli
