// JSON output of the command-line tools.
#include "json_text.h"

#include "platform/ansi_text.h"

#include <cstdio>

namespace apps {

std::string JsonString(std::string_view ansi) {
    std::string json = "\"";
    for (char c : platform::AnsiToUtf8(ansi)) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                json += escape;
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

} // namespace apps
