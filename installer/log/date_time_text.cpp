// The engine's date and time text.
#include "date_time_text.h"

#include <array>
#include <cstdio>

namespace vorn {

std::string DateTimeText(const LocalDateTime& time) {
    std::array<char, 96> text{};
    int written =
        std::snprintf(text.data(), text.size(), "%02d/%02d/%02d %d:%02d:%02d", time.Month, time.Day,
                      (time.Year % 100 + 100) % 100, time.Hour, time.Minute, time.Second);
    return written > 0 ? std::string(text.data()) : std::string();
}

std::string LogHeaderDateTimeText(const LocalDateTime& time) {
    std::string text = DateTimeText(time);
    // The header is the same text with its last three characters (":SS") cut.
    text.resize(text.size() >= 3 ? text.size() - 3 : 0);
    return text;
}

} // namespace vorn
