// The 3D look of CTL3D32.DLL, registered for the run when the library is present.
#include "ctl3d_look.h"

#include <array>

namespace rescind {

namespace {

// CTL3D_ALL: every kind of control gets the look.
constexpr std::uintptr_t AllControls = 0xFFFF;

void* AsPointer(std::uintptr_t handle) {
    return reinterpret_cast<void*>(handle);
}

} // namespace

Ctl3dLook::Ctl3dLook(platform::LibraryService& libraries, std::uintptr_t instance)
    : Libraries(libraries), Library(libraries.LoadLibraryA("CTL3D32.DLL"), {&libraries}),
      Instance(instance) {
    if (!Library) {
        return;
    }
    const platform::ProcAddress registerEntry = Libraries.GetProcAddress(Library.Get(), "Ctl3dRegister");
    if (registerEntry == nullptr || Libraries.CallEntry(registerEntry, AsPointer(Instance)) == 0) {
        return;
    }
    IsRegistered = true;
    if (const platform::ProcAddress autoSubclass =
            Libraries.GetProcAddress(Library.Get(), "Ctl3dAutoSubclass")) {
        Libraries.CallEntry(autoSubclass, AsPointer(Instance));
    }
    SubclassDlgEx = Libraries.GetProcAddress(Library.Get(), "Ctl3dSubclassDlgEx");
}

Ctl3dLook::~Ctl3dLook() {
    if (!IsRegistered) {
        return;
    }
    if (const platform::ProcAddress unregister =
            Libraries.GetProcAddress(Library.Get(), "Ctl3dUnregister")) {
        Libraries.CallEntry(unregister, AsPointer(Instance));
    }
}

bool Ctl3dLook::SubclassDialog(std::uintptr_t dialog) {
    if (SubclassDlgEx == nullptr) {
        return false;
    }
    const std::array<std::uintptr_t, 2> arguments{dialog, AllControls};
    return Libraries.CallEntryWithArguments(SubclassDlgEx, arguments) != 0;
}

} // namespace rescind
