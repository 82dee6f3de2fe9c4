// A property bag in a section of an INI file, for Windows hosts that have no container
// to keep a control's settings.
#pragma once

#include "platform/property_bag.h"

#include <string>

namespace platform {

/// Each property is one "Name=Kind:value" line of the section, in the readable form of
/// VariantText, written and read with WritePrivateProfileStringA and
/// GetPrivateProfileStringA; a read gives back the kind that was written.
class Win32ProfilePropertyBag final : public PropertyBag {
public:
    /// `fileName` should be a full path: the profile functions look for a bare name in
    /// the Windows directory.
    Win32ProfilePropertyBag(std::string fileName, std::string section)
        : FileName(std::move(fileName)), Section(std::move(section)) {}

    /// `defaultValue` also for a line that is not in the stored form (edited by hand).
    Variant ReadProperty(std::string_view name, const Variant& defaultValue) override;
    /// An object has no text form: writing one drops the earlier value and stores
    /// nothing.
    void WriteProperty(std::string_view name, const Variant& value,
                       const Variant& defaultValue) override;

private:
    std::string FileName;
    std::string Section;
};

} // namespace platform
