// A property bag kept as a readable text file, one "Name = Kind:value" line per
// property, so that host tools can remember a control's settings between runs.
#pragma once

#include "platform/property_bag.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace platform {

class TextFilePropertyBag final : public PropertyBag {
public:
    /// The bag stored in `file`: empty when the file does not exist, nothing when it
    /// cannot be read or holds a line that is not a property.
    static std::optional<TextFilePropertyBag> Load(const std::filesystem::path& file);
    /// Writes the bag; false when the file cannot be written.
    bool Save(const std::filesystem::path& file) const;

    Variant ReadProperty(std::string_view name, const Variant& defaultValue) override;
    /// An object has no text form: writing one drops the earlier value and stores
    /// nothing.
    void WriteProperty(std::string_view name, const Variant& value,
                       const Variant& defaultValue) override;

    /// The stored values by name.
    std::map<std::string, Variant, std::less<>> Values;
};

} // namespace platform
