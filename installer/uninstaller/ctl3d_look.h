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
    /// with it, subclassing its dialogs automatically: every dialog the program makes
    /// gets the look, so none needs subclassing one by one (Ctl3dSubclassDlgEx).
    Ctl3dLook(platform::LibraryService& libraries, std::uintptr_t instance);
    /// Unregisters the program and lets the library go.
    ~Ctl3dLook();
    Ctl3dLook(const Ctl3dLook&) = delete;
    Ctl3dLook& operator=(const Ctl3dLook&) = delete;

private:
    platform::LibraryService& Libraries;
    platform::UniqueLibrary Library;
    std::uintptr_t Instance;
    bool IsRegistered = false;
};

} // namespace rescind
