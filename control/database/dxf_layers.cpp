// The layer collection.
#include "dxf_layers.h"

#include "control_error.h"

namespace plandra {

std::shared_ptr<DXFLayer> DXFLayers::Add(Integer LayerOn, Long LayerColor, std::string LayerName,
                                         Integer NewLayer, bool RedlineLayer, std::string_view) {
    auto layer = std::make_shared<DXFLayer>();
    layer->LayerOn = LayerOn;
    layer->LayerColor = LayerColor;
    layer->LayerName = std::move(LayerName);
    layer->NewLayer = NewLayer;
    layer->SetRedlineLayer(RedlineLayer);
    Layers.push_back(layer);
    return layer;
}

bool DXFLayers::CheckDuplicateLayer(std::string& strError, bool& LayerExists,
                                    std::string_view NewLayerName) const {
    strError.clear();
    LayerExists = false;
    for (const auto& layer : Layers) {
        if (layer->LayerName == NewLayerName) {
            LayerExists = true;
            break;
        }
    }
    return true;
}

const std::shared_ptr<DXFLayer>& DXFLayers::Item(Long index) const {
    if (index < 1 || index > Count()) {
        throw ControlError::Runtime(RuntimeError::InvalidArgument);
    }
    return Layers[static_cast<std::size_t>(index) - 1];
}

void DXFLayers::Remove(Long index) {
    if (index < 1 || index > Count()) {
        throw ControlError::Runtime(RuntimeError::InvalidArgument);
    }
    Layers.erase(Layers.begin() + (index - 1));
}

} // namespace plandra
