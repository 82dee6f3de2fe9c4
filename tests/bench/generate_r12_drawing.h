// Writes a large R12-style DXF drawing for benchmarks.
#pragma once

#include <string>

namespace plandra::bench {

/// Writes a drawing of about `targetBytes` bytes; the same size always gives the
/// same file. Returns false when the file cannot be written.
bool GenerateR12Drawing(const std::string& fileName, long targetBytes);

} // namespace plandra::bench
