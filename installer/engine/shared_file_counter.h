// The register of shared files: how many installations use a file.
#pragma once

#include <string_view>

namespace vorn {

class Engine;

/// For a shared file, raises its count under SharedDLLs (a file that existed before
/// without a count counts as used once already); for another file that has a count
/// there, logs "Shared DLL counter ignored:" so that uninstalling it leaves the count.
void CountSharedFile(Engine& engine, std::string_view shortPath, bool shared, bool existedBefore);

} // namespace vorn
