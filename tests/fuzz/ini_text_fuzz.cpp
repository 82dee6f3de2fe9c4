// Fuzz target: arbitrary bytes read as an INI file must give a document, never a crash,
// a hang or unbounded memory; what is written back must read back the same.
#include "platform/ini_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::IniText document = platform::IniText::Parse(text);
    for (const std::string& section : document.SectionNames()) {
        for (const std::string& key : document.KeyNames(section)) {
            document.Value(section, key);
        }
        document.SectionLines(section);
    }
    document.SetValue("FuzzSection", "FuzzKey", "value");
    if (document.Value("fuzzsection", "FUZZKEY") != "value") {
        std::abort();
    }
    const std::string written = document.Text();
    const platform::IniText reread = platform::IniText::Parse(written);
    if (reread.Text() != written || reread.SectionNames() != document.SectionNames()) {
        std::abort();
    }
    document.DeleteKey("FuzzSection", "FuzzKey");
    document.DeleteSection("FuzzSection");
    return 0;
}
