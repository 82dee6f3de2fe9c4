// The readable text form of a stored variant, "Kind:value", shared by the property
// bags that keep a control's settings as text.
#pragma once

#include "platform/variant.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// "Empty:", "Integer:-1", "Long:16777215", "Single:1.5", "Double:0.1", "Boolean:True"
/// or "String:C:\TEMP\", numbers written so that reading gives back the same value.
/// In text, "%" and the characters a line-based file would lose (line ends, zero,
/// blanks at the end) are written as "%" and two hexadecimal digits. Nothing for an
/// object, which has no text form.
std::optional<std::string> VariantText(const Variant& value);

/// The variant written by VariantText, of the same kind; nothing for text that is
/// not of that form (an unknown kind, a number out of its kind's range, a broken
/// "%" sequence).
std::optional<Variant> VariantFromText(std::string_view text);

} // namespace platform
