// The machine's local date and time now, as the log header and the status file show it.
#pragma once

#include "installer/log/date_time_text.h"

#include <cstdint>

namespace platform {
class FileService;
}

namespace vorn {

/// The date and time of a FILETIME tick count (100 ns steps since 1 January 1601).
LocalDateTime DateTimeOfTicks(std::uint64_t ticks);

/// Now, shifted to the machine's time zone by its FileTimeToLocalFileTime; UTC when that
/// fails.
LocalDateTime LocalNow(platform::FileService& files);

} // namespace vorn
