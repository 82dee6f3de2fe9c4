// The control's Save: the drawing with its markup written as a DXF file.
#include "control/database/control_error.h"
#include "control/redline/dxf_writer.h"
#include "dxf_control.h"

namespace plandra {

bool DXF::Save(const std::string& NewFileName) {
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
    WithErrorTrail(
        "Save",
        [this] {
            Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
            Surfaces.picPlandra.Cls();
        },
        [&] { SaveDrawing(Database, WorkingFile, NewFileName, Host.Files); });
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
    return true;
}

} // namespace plandra
