// The DXF control as a COM object: _DXF through the member table, with its surfaces
// on a hidden window of its own until a container gives it a place.
#pragma once

#include "com_api.h"

namespace plandra::ocx {

/// Creates a control with the properties of a new instance and answers `iid` from it
/// (CoCreateInstance's part of the class factory).
HRESULT CreateControlObject(REFIID iid, void** object);

} // namespace plandra::ocx
