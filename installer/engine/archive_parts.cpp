// The archive kept in a single file: seeking is setting the read offset the setup
// program's decompressor starts from.
#include "archive_parts.h"

#include "engine.h"
#include "install_context.h"

namespace vorn {

bool SeekArchive(Engine& engine, std::uint32_t archiveOffset) {
    InstallContext* context = engine.Services.Context;
    if (context == nullptr) {
        return false;
    }
    context->ArchiveOffset = archiveOffset;
    return true;
}

} // namespace vorn
