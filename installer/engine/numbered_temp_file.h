// The engine's numbered scratch files "~KTHnnnn.TMP" beside the files they stand in for.
#pragma once

#include "platform/files.h"

#include <string>
#include <string_view>

namespace vorn {

/// Creates a new empty "~KTH%04x.TMP" (the first free number from 1) in `directory` and
/// returns its full path; empty when none can be created there.
std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory);

/// The same, leaving the new file open for reading and writing in `file` (with no sharing),
/// so that it is filled without being looked up again.
std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory,
                                   platform::UniqueFile& file);

} // namespace vorn
