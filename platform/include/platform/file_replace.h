// Replacing a file by a finished new one in a single step, so that a failed write never
// leaves the old file damaged.
#pragma once

#include <string>
#include <string_view>

namespace platform {

/// Creates a new, empty file with a name of its own in the folder of `target` (on the
/// same volume, so that it can later take the target's place) and returns its name;
/// an empty name when no file can be created there.
std::string CreateFileBeside(std::string_view target);

/// Puts `source` in the place of `target` in one step, replacing any existing target:
/// rename on Linux, MoveFileExA with MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH
/// on Windows. On failure both files stay as they were. Windows refuses (access denied
/// or sharing violation) while another program holds the target open without allowing
/// deletion; Linux replaces it and that program keeps reading the old contents.
bool ReplaceFileWith(std::string_view source, std::string_view target);

/// Deletes a file; False when it could not be deleted.
bool RemoveFile(std::string_view path);

} // namespace platform
