// The member tables of the layer classes DXFLayers and DXFLayer, through which a
// script host reaches the collection the control hands out as colLayers and Layers.
#pragma once

#include "control/database/dxf_layers.h"
#include "member_dispatch.h"

#include <span>

namespace plandra {

/// Add, CheckDuplicateLayer, Item (the default member), Count and Remove, in slot order.
std::span<const MemberInfoOf<DXFLayers>> DXFLayersMembers();

/// The fields LayerName, LayerColor, LayerOn, NewLayer and the property RedlineLayer.
std::span<const MemberInfoOf<DXFLayer>> DXFLayerMembers();

} // namespace plandra
