// The container's property bag, in which a host stores a control's settings by name.
#pragma once

#include "platform/variant.h"

#include <string_view>

namespace platform {

/// Stands in for the property bag a container hands to a control when it loads or
/// saves it (ReadProperty/WriteProperty with a default value).
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    /// The stored value of `name`, or `defaultValue` when the bag has none.
    virtual Variant ReadProperty(std::string_view name, const Variant& defaultValue) = 0;
    /// Stores `value` under `name`; a value equal to `defaultValue` is not stored (and
    /// an earlier value under `name` is dropped).
    virtual void WriteProperty(std::string_view name, const Variant& value,
                               const Variant& defaultValue) = 0;
};

} // namespace platform
