// The control's stored properties in a container's property bag (IPropertyBag) and
// in a stream (IPersistStreamInit), which holds the same keys and values as text.
#pragma once

#include "com_api.h"
#include "platform/property_bag.h"

#include <string>
#include <utility>
#include <vector>

namespace plandra::ocx {

/// The control's property bag over a container's IPropertyBag. A key the bag cannot
/// read, or whose value has no counterpart, reads as its default; values equal to
/// their default are not written.
class ComPropertyBag final : public platform::PropertyBag {
public:
    ComPropertyBag(IPropertyBag& bag, IErrorLog* errorLog) : Bag(bag), ErrorLog(errorLog) {}
    platform::Variant ReadProperty(std::string_view name,
                                   const platform::Variant& defaultValue) override;
    void WriteProperty(std::string_view name, const platform::Variant& value,
                       const platform::Variant& defaultValue) override;

    /// The first failure of a write, S_OK when all went in.
    HRESULT Result = S_OK;

private:
    IPropertyBag& Bag;
    IErrorLog* ErrorLog;
};

/// Keys and values in memory, in the order they were written.
class MemoryPropertyBag final : public platform::PropertyBag {
public:
    platform::Variant ReadProperty(std::string_view name,
                                   const platform::Variant& defaultValue) override;
    void WriteProperty(std::string_view name, const platform::Variant& value,
                       const platform::Variant& defaultValue) override;

    /// "Key=Kind:value" lines (the text form of stored values), CR LF after each.
    std::string Text() const;
    /// Reads Text's form; false for a line of another form.
    bool ReadText(std::string_view text);

private:
    std::vector<std::pair<std::string, platform::Variant>> Values;
};

/// The stream form: a 32-bit little-endian byte count, then the bag's text.
HRESULT SaveToStream(const MemoryPropertyBag& bag, IStream& stream);
/// Refuses (E_FAIL) a count over the longest text the control writes many times over,
/// a short stream and text of another form.
HRESULT LoadFromStream(IStream& stream, MemoryPropertyBag& bag);

} // namespace plandra::ocx
