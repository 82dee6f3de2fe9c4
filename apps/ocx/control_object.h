// The DXF control as a COM object: _DXF through the member table, with its surfaces
// on a hidden window of its own until a container gives it a place.
#pragma once

#include "com_api.h"

namespace plandra {
class DXF;
}

namespace plandra::ocx {

/// Creates a control with the properties of a new instance and answers `iid` from it
/// (CoCreateInstance's part of the class factory).
HRESULT CreateControlObject(REFIID iid, void** object);

/// The control inside `object` when it is one of this server's controls, else null. The
/// control lives as long as a reference to `object` is held.
DXF* ControlOf(IUnknown* object);

/// Takes back the window class of the control's surfaces when the server is unloaded,
/// so that a later load registers it again with its procedure at the new address.
void UnregisterSurfaceClass();

} // namespace plandra::ocx
