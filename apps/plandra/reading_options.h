// Which drawing a command reads and how: the options every reading command takes.
#pragma once

#include <string>

namespace plandra {
class DXF;
}

namespace plandra::cli {

enum class LineEndPolicy {
    /// A file with bare line feeds is converted into a temporary copy first.
    ConvertBareLineFeeds,
    /// The file is read as it stands.
    Strict,
};

/// The drawing a command reads and how: every command that reads one takes these.
struct ReadingOptions {
    std::string FileName;
    bool CalcExtents = false;
    /// Only the classic entity kinds (ReadModernEntities off).
    bool ClassicOnly = false;
    /// Bare line feeds are read as they stand instead of being converted.
    bool Strict = false;

    LineEndPolicy Policy() const {
        return Strict ? LineEndPolicy::Strict : LineEndPolicy::ConvertBareLineFeeds;
    }
    /// Sets the control's reading properties (CalcExtents, ReadModernEntities).
    void ApplyTo(DXF& control) const;
};

} // namespace plandra::cli
