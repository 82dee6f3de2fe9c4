// The engine's numbered scratch files "~KTHnnnn.TMP" beside the files they stand in for.
#pragma once

#include <string>
#include <string_view>

namespace platform {
class FileService;
}

namespace vorn {

/// Creates a new empty "~KTH%04x.TMP" (the first free number from 1) in `directory` and
/// returns its full path; empty when none can be created there.
std::string CreateNumberedTempFile(platform::FileService& files, std::string_view directory);

} // namespace vorn
