// The 3D look of CTL3D32.DLL, registered for the run when the library is present.
#include "ctl3d_look.h"

namespace rescind {

namespace {

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
    const platform::ProcAddress registerEntry =
        Libraries.GetProcAddress(Library.Get(), "Ctl3dRegister");
    if (registerEntry == nullptr || Libraries.CallEntry(registerEntry, AsPointer(Instance)) == 0) {
        return;
    }
    IsRegistered = true;
    if (const platform::ProcAddress autoSubclass =
            Libraries.GetProcAddress(Library.Get(), "Ctl3dAutoSubclass")) {
        Libraries.CallEntry(autoSubclass, AsPointer(Instance));
    }
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

} // namespace rescind
