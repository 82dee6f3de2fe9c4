// Closing the archive and transferring a file.
#include "media_builtins.h"

#include "builtin_functions.h"

#include <algorithm>

namespace vorn {

std::int32_t f28(Engine& engine, const DllCallBlock&) {
    engine.Disks.OpenPart.Reset();
    engine.Disks.OpenDisk = 0;
    return 1;
}

std::int32_t f34(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    TransferRequest request;
    request.Size = static_cast<std::uint32_t>(std::max(fields.Number(0), 0L));
    request.Source = fields.Text(1);
    request.Target = fields.Text(2);
    return TransferFile(engine, request) ? 1 : 0;
}

} // namespace vorn
