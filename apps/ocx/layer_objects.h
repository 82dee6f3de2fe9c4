// DXFLayers and DXFLayer as automation objects.
#pragma once

#include "com_api.h"
#include "platform/variant.h"

namespace plandra::ocx {

/// A new dispatch object (one reference) for one of the control's objects: the layer
/// collection or a layer. Null for an object of another kind.
IDispatch* NewDispatchFor(const platform::ObjectRef& object);

} // namespace plandra::ocx
