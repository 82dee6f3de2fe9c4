// The built-ins that look for a file on the machine: f13 searches whole drives, f22 the
// folders of the search path.
#pragma once

#include "engine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

/// The first file named `name` on the drives A to Z, each searched from its root down,
/// a folder's own files before its subfolders: fixed drives unless `withoutFixed`,
/// network drives when `withNetwork`. Folders nested deeper than 32 are not searched.
std::optional<std::string> SearchDrives(platform::FileService& files, std::string_view name,
                                        bool withoutFixed, bool withNetwork);

/// f13: fields flags, variable, file name, default, wait text. Flag bit 1 leaves the
/// fixed drives out, bits 1 and 2 take network drives in, bit 0 keeps the found file's
/// folder only. The variable gets the found path or the default; true when found. The
/// wait dialog shows the wait text while either search runs.
std::int32_t f13(Engine& engine, const DllCallBlock& block);

/// f22: fields flag, variable, file name, default, (unused), wait text. Looks in the
/// folders of the environment's PATH in order; a flag other than 0 keeps the folder only.
std::int32_t f22(Engine& engine, const DllCallBlock& block);

} // namespace vorn
