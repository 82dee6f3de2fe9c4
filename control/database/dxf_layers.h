// The layer objects the host sees: DXFLayer and the collection DXFLayers.
#pragma once

#include "entity_records.h"
#include "platform/variant.h"

#include <memory>
#include <string>
#include <vector>

namespace plandra {

class DXFLayer : public platform::Dispatchable {
public:
    std::string LayerName; ///< as read: not trimmed, case kept
    Long LayerColor = 0;   ///< COLORREF
    Integer LayerOn = IntegerFalse;
    Integer NewLayer = IntegerFalse;

    bool GetRedlineLayer() const { return IsRedlineLayer; }
    void SetRedlineLayer(bool redline) { IsRedlineLayer = redline; }

    /// The members by name, for script hosts (see control/interface/layer_members.h).
    platform::Variant Invoke(std::string_view name, platform::InvokeKind kind,
                             std::span<platform::Variant> args) override;

private:
    bool IsRedlineLayer = false;
};

/// Layers by 1-based position, in the order they were added. Entities refer to
/// layers by position, so positions change only when the host removes a layer.
class DXFLayers : public platform::Dispatchable {
public:
    /// Appends a layer with these members and returns it; `sKey` is accepted and
    /// not used, as items carry no keys.
    std::shared_ptr<DXFLayer> Add(Integer LayerOn, Long LayerColor, std::string LayerName,
                                  Integer NewLayer, bool RedlineLayer, std::string_view sKey = {});

    /// Sets `LayerExists` when a layer is named exactly `NewLayerName` (case
    /// sensitive, no trimming). Returns True; on failure False with the message
    /// in `strError`.
    bool CheckDuplicateLayer(std::string& strError, bool& LayerExists,
                             std::string_view NewLayerName) const;

    /// The layer at a position from 1 to Count; any other position raises the
    /// invalid-argument error.
    const std::shared_ptr<DXFLayer>& Item(Long index) const;

    Long Count() const { return static_cast<Long>(Layers.size()); }

    /// Removes the layer at a position; later layers move down by one.
    void Remove(Long index);

    /// The members by name, for script hosts (see control/interface/layer_members.h).
    platform::Variant Invoke(std::string_view name, platform::InvokeKind kind,
                             std::span<platform::Variant> args) override;

private:
    std::vector<std::shared_ptr<DXFLayer>> Layers;
};

} // namespace plandra
