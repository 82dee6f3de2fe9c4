// The built-ins that deal with the installation media: f28 closes the archive, f34
// fetches a file through the transfer library.
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// f28: closes the open part of the archive so that its disk can be taken out; the next
/// read from the archive opens (or asks for) its part again. Always true.
std::int32_t f28(Engine& engine, const DllCallBlock& block);

/// f34: fields number (the expected size in bytes, for the progress counter), source,
/// target. True when the transfer library fetched the file; its failure was shown.
/// Skipped (true) in test mode.
std::int32_t f34(Engine& engine, const DllCallBlock& block);

} // namespace vorn
