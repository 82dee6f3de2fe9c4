// The 3D look of the old common-controls library "CTL3D32.DLL": where the library is
// present, the program registers with it for its run; where it is not, it goes on
// without it.
#pragma once

#include "platform/library.h"

#include <cstdint>

namespace rescind {

class Ctl3dLook {
public:
    /// Loads the library and registers the program (`instance` is its module handle)
    /// with it, subclassing its dialogs automatically.
    Ctl3dLook(platform::LibraryService& libraries, std::uintptr_t instance);
    /// Unregisters the program and lets the library go.
    ~Ctl3dLook();
    Ctl3dLook(const Ctl3dLook&) = delete;
    Ctl3dLook& operator=(const Ctl3dLook&) = delete;

    bool Registered() const { return IsRegistered; }
    /// Gives one dialog the 3D look (a dialog made before the automatic subclassing
    /// took hold); false without the library.
    bool SubclassDialog(std::uintptr_t dialog);

private:
    platform::LibraryService& Libraries;
    platform::UniqueLibrary Library;
    std::uintptr_t Instance;
    platform::ProcAddress SubclassDlgEx = nullptr;
    bool IsRegistered = false;
};

} // namespace rescind
