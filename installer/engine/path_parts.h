// The parts of a Windows path the file actions take apart, and its short form.
#pragma once

#include "engine.h"

#include <string>
#include <string_view>

namespace vorn {

/// Everything before the last backslash; empty when there is none.
inline std::string_view DirectoryPart(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

/// Everything after the last backslash.
inline std::string_view NamePart(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

/// The 8.3 form of an existing path; the path itself without a path service.
inline std::string ShortForm(Engine& engine, std::string_view path) {
    return engine.Services.Paths != nullptr ? engine.Services.Paths->ShortPathForm(path)
                                            : std::string(path);
}

} // namespace vorn
