// The engine's own script-callable functions f0 to f34: the table by number, the
// argument fields they read, and f16 (set a variable) and f27 (split a text), which need
// nothing but the variable table. The others live beside the actions they share code with.
#pragma once

#include "engine.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

/// The separator of an argument's fields (DEL).
inline constexpr char FieldSeparator = '\x7F';

/// The argument text of a call split into its fields at 0x7F.
class ArgumentFields {
public:
    explicit ArgumentFields(std::string_view argument);
    /// The fields of a call's argument; none when the call has no argument.
    explicit ArgumentFields(const DllCallBlock& block);
    /// Field `index`, empty when the argument has fewer fields.
    std::string_view Text(std::size_t index) const;
    /// Field `index` read as a decimal number (as atoi; 0 when it is not one).
    long Number(std::size_t index) const;
    /// How many fields the argument has (at least 1).
    std::size_t Count() const { return Fields.size(); }

private:
    std::vector<std::string_view> Fields;
};

/// The number n of an export name "fn" (0 to 34), or nullopt for any other name.
std::optional<std::size_t> BuiltinNumber(std::string_view exportName);

/// The table of built-in functions this part of the engine provides.
std::array<BuiltinFunction, BuiltinCount> StandardBuiltins();

/// f16: sets a variable. Fields: flags, variable, value. False (nothing set) for an
/// empty variable name.
std::int32_t f16(Engine& engine, const DllCallBlock& block);
/// f27: splits a text into two variables. Fields: flags, text, pattern or position,
/// left variable, right variable. A pattern that is not found leaves the whole text on
/// the left; the result is then false (the position modes are always true).
std::int32_t f27(Engine& engine, const DllCallBlock& block);

} // namespace vorn
