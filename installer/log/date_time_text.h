// The engine's date and time text, as the log header and the status file show it.
#pragma once

#include <string>

namespace vorn {

/// A local date and time as the clock gives it: full year, month 1 to 12, day 1 to 31,
/// hour 0 to 23, minute and second 0 to 59.
struct LocalDateTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

/// "MM/DD/YY H:MM:SS": month, day, year modulo 100, hour without a leading zero.
std::string DateTimeText(const LocalDateTime& time);

/// The log header's form: DateTimeText without the seconds.
std::string LogHeaderDateTimeText(const LocalDateTime& time);

} // namespace vorn
