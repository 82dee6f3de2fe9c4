// The built-ins that read a value of the machine into a variable.
#include "value_builtins.h"

#include "builtin_functions.h"
#include "path_parts.h"
#include "platform/machine_services.h"
#include "registry_actions.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vorn {

namespace {

constexpr std::size_t EnvironmentValueSize = 256;
/// The longest value an environment variable can hold, with its zero.
constexpr std::size_t LongestEnvironmentValue = 32768;

// Sets the variable to `value`, cut to its folder when asked (a value without a
// backslash stays whole).
void Store(Engine& engine, std::string_view variable, std::string_view value, bool cut) {
    if (cut && value.find('\\') != std::string_view::npos) {
        value = DirectoryPart(value);
    }
    engine.Variables.SetVariable(variable,
                                 value.substr(0, std::min(value.size(), LongTextSize - 1)));
}

} // namespace

std::int32_t f8(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    const std::string file(fields.Text(2));
    const std::string section(fields.Text(3));
    const std::string key(fields.Text(4));
    std::string value;
    if (engine.Services.Machine != nullptr && !key.empty()) {
        std::vector<char> buffer(LongTextSize);
        // A text no value can be tells a missing key from an empty value.
        constexpr const char* Missing = "\x01\x02";
        const std::uint32_t length = engine.Services.Machine->Profile().GetPrivateProfileStringA(
            section.c_str(), key.c_str(), Missing, buffer, file);
        value.assign(buffer.data(), length);
    }
    const bool found = !value.empty() && value != "\x01\x02";
    Store(engine, fields.Text(1), found ? std::string_view(value) : fields.Text(5),
          fields.Text(0) != "0");
    return found ? 1 : 0;
}

std::int32_t f9(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    const long rootAndFlag = fields.Number(0);
    std::string value;
    char type = '0';
    const bool found = RegistryRead(engine, static_cast<int>(rootAndFlag / 2), fields.Text(2),
                                    value, fields.Text(4), type, LongTextSize);
    if (found && type == '2') {
        std::replace(value.begin(), value.end(), '\0', '\x7F');
    }
    Store(engine, fields.Text(1), found ? std::string_view(value) : fields.Text(3),
          (rootAndFlag & 1) != 0);
    return found ? 1 : 0;
}

std::int32_t f11(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    std::string folder;
    if (engine.Services.Machine != nullptr) {
        std::array<char, PathSize> buffer{};
        const std::uint32_t length = engine.Services.Machine->System().GetSystemDirectoryA(buffer);
        folder.assign(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
    } else {
        folder = engine.Variables.GetVariable("SYS");
    }
    Store(engine, fields.Text(0), folder, false);
    return 1;
}

std::int32_t f17(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    std::string value;
    bool found = false;
    if (engine.Services.Machine != nullptr && !fields.Text(2).empty()) {
        // Read whole, then kept to 255 characters: a buffer too small would be left unfilled.
        std::vector<char> buffer(LongestEnvironmentValue);
        const std::uint32_t length =
            engine.Services.Machine->System().GetEnvironmentVariableA(fields.Text(2), buffer);
        found = length > 0 && length < buffer.size();
        if (found) {
            value.assign(buffer.data(), std::min<std::size_t>(length, EnvironmentValueSize - 1));
        }
    }
    Store(engine, fields.Text(1), found ? std::string_view(value) : fields.Text(3),
          fields.Text(0) != "0");
    return found ? 1 : 0;
}

} // namespace vorn
