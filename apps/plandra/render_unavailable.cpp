// `plandra render` where the build has no raster drawing (the Windows build, whose
// drawing goes to real windows).
#include "render_command.h"

#include <ostream>

namespace plandra::cli {

int RunRender(const RenderRequest&, std::ostream& errors) {
    errors << "plandra: render is not available in this build\n";
    return 1;
}

} // namespace plandra::cli
