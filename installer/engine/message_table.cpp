// The message table.
#include "message_table.h"

#include <algorithm>

namespace vorn {

MessageTable::MessageTable(const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (i < texts.size()) {
            Texts[i] = texts[i];
        }
        TextPointers[i] = Texts[i].c_str();
    }
}

std::string_view MessageTable::Text(std::size_t index) const {
    return index < Count ? std::string_view(Texts[index]) : std::string_view();
}

const char* MessageTable::CText(std::size_t index) const {
    return index < Count ? Texts[index].c_str() : "";
}

std::string FormatMessageText(std::string_view format, std::string_view argument,
                              std::size_t size) {
    return FormatMessageText(format, std::span(&argument, 1), size);
}

std::string FormatMessageText(std::string_view format, std::span<const std::string_view> arguments,
                              std::size_t size) {
    std::string result;
    std::size_t argumentsUsed = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] == '%' && next == 's') {
            if (argumentsUsed < arguments.size()) {
                result += arguments[argumentsUsed++];
            }
            ++i;
        } else if (format[i] == '%' && next == '%') {
            result += '%';
            ++i;
        } else {
            result += format[i];
        }
    }
    result.resize(std::min(result.size(), size == 0 ? 0 : size - 1));
    return result;
}

} // namespace vorn
