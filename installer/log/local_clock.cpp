// The machine's local date and time.
#include "installer/log/local_clock.h"

#include "platform/files.h"

#include <chrono>

namespace vorn {

namespace {

// FILETIME ticks between 1 January 1601 and 1 January 1970.
constexpr std::uint64_t UnixEpochTicks = 116444736000000000ull;
constexpr std::uint64_t TicksPerSecond = 10000000ull;

} // namespace

LocalDateTime DateTimeOfTicks(std::uint64_t ticks) {
    using namespace std::chrono;
    std::int64_t seconds = static_cast<std::int64_t>(ticks / TicksPerSecond) -
                           static_cast<std::int64_t>(UnixEpochTicks / TicksPerSecond);
    sys_seconds time{std::chrono::seconds(seconds)};
    sys_days day = floor<days>(time);
    year_month_day date{day};
    hh_mm_ss clock{time - day};
    LocalDateTime result;
    result.Year = static_cast<int>(date.year());
    result.Month = static_cast<int>(static_cast<unsigned>(date.month()));
    result.Day = static_cast<int>(static_cast<unsigned>(date.day()));
    result.Hour = static_cast<int>(clock.hours().count());
    result.Minute = static_cast<int>(clock.minutes().count());
    result.Second = static_cast<int>(clock.seconds().count());
    return result;
}

LocalDateTime LocalNow(platform::FileService& files) {
    using namespace std::chrono;
    auto since = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    std::uint64_t ticks =
        UnixEpochTicks + static_cast<std::uint64_t>(since < 0 ? 0 : since) * TicksPerSecond;
    platform::FileTime local;
    if (files.FileTimeToLocalFileTime(platform::FileTime::FromTicks(ticks), local)) {
        ticks = local.Ticks();
    }
    return DateTimeOfTicks(ticks);
}

} // namespace vorn
