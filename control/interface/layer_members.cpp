// The member tables of the layer classes and their dispatch by name.
#include "layer_members.h"

#include <vector>

namespace plandra {
namespace {

Variant LayerResult(std::shared_ptr<DXFLayer> layer) {
    return ObjectRef(std::move(layer));
}

// Items carry no keys, so a text index finds nothing rather than being read as a
// number.
Long Position(const Variant& vntIndexKey) {
    if (std::holds_alternative<std::string>(vntIndexKey)) {
        throw ControlError::Runtime(RuntimeError::InvalidArgument);
    }
    return CLng(vntIndexKey);
}

const ParamInfo AddParams[] = {{"LayerOn", "Integer", VarType::Integer},
                               {"LayerColor", "Long", VarType::Long},
                               {"LayerName", "String", VarType::String},
                               {"NewLayer", "Integer", VarType::Integer},
                               {"RedlineLayer", "Boolean", VarType::Boolean},
                               {"sKey", "String", VarType::String, false, true, std::string()}};
const ParamInfo CheckDuplicateParams[] = {{"strError", "String", VarType::String},
                                          {"LayerExists", "Boolean", VarType::Boolean},
                                          {"NewLayerName", "String", VarType::String, true}};
const ParamInfo IndexParam[] = {{"vntIndexKey", "Variant", VarType::Variant}};

std::vector<MemberInfoOf<DXFLayers>> BuildLayersMembers() {
    const std::span<const ParamInfo> none;
    return {
        {"Add", MemberKind::Method, 1, 1, AddParams, "DXFLayer", VarType::Object, "", false, true,
         [](DXFLayers& layers, std::span<Variant> a) {
             return LayerResult(layers.Add(CInt(a[0]), CLng(a[1]), CStr(a[2]), CInt(a[3]),
                                           CBool(a[4]), CStr(a[5])));
         }},
        {"CheckDuplicateLayer", MemberKind::Method, 2, 2, CheckDuplicateParams, "Boolean",
         VarType::Boolean, "", false, true,
         [](DXFLayers& layers, std::span<Variant> a) {
             std::string strError = CStr(a[0]);
             bool layerExists = CBool(a[1]);
             const bool result = layers.CheckDuplicateLayer(strError, layerExists, CStr(a[2]));
             a[0] = std::move(strError);
             a[1] = BoolVariant(layerExists);
             return BoolVariant(result);
         }},
        {"Item", MemberKind::Method, 3, DispIdValue, IndexParam, "DXFLayer", VarType::Object, "",
         false, true,
         [](DXFLayers& layers, std::span<Variant> a) {
             return LayerResult(layers.Item(Position(a[0])));
         }},
        {"Count", MemberKind::Property, 4, 4, none, "Long", VarType::Long, "", false, true, nullptr,
         [](const DXFLayers& layers) { return Variant(layers.Count()); }},
        {"Remove", MemberKind::Method, 5, 5, IndexParam, "", VarType::Empty, "", false, true,
         [](DXFLayers& layers, std::span<Variant> a) {
             layers.Remove(Position(a[0]));
             return Variant();
         }},
    };
}

std::vector<MemberInfoOf<DXFLayer>> BuildLayerMembers() {
    const std::span<const ParamInfo> none;
    return {
        {"LayerName", MemberKind::Field, 1, 1, none, "String", VarType::String, "", false, true,
         nullptr, [](const DXFLayer& layer) { return Variant(layer.LayerName); },
         [](DXFLayer& layer, const Variant& v) { layer.LayerName = CStr(v); }},
        {"LayerColor", MemberKind::Field, 2, 2, none, "Long", VarType::Long, "", false, true,
         nullptr, [](const DXFLayer& layer) { return Variant(layer.LayerColor); },
         [](DXFLayer& layer, const Variant& v) { layer.LayerColor = CLng(v); }},
        {"LayerOn", MemberKind::Field, 3, 3, none, "Integer", VarType::Integer, "", false, true,
         nullptr, [](const DXFLayer& layer) { return Variant(layer.LayerOn); },
         [](DXFLayer& layer, const Variant& v) { layer.LayerOn = CInt(v); }},
        {"NewLayer", MemberKind::Field, 4, 4, none, "Integer", VarType::Integer, "", false, true,
         nullptr, [](const DXFLayer& layer) { return Variant(layer.NewLayer); },
         [](DXFLayer& layer, const Variant& v) { layer.NewLayer = CInt(v); }},
        {"RedlineLayer", MemberKind::Property, 5, 5, none, "Boolean", VarType::Boolean, "", false,
         true, nullptr, [](const DXFLayer& layer) { return BoolVariant(layer.GetRedlineLayer()); },
         [](DXFLayer& layer, const Variant& v) { layer.SetRedlineLayer(CBool(v)); }},
    };
}

} // namespace

std::span<const MemberInfoOf<DXFLayers>> DXFLayersMembers() {
    static const std::vector<MemberInfoOf<DXFLayers>> Members = BuildLayersMembers();
    return Members;
}

std::span<const MemberInfoOf<DXFLayer>> DXFLayerMembers() {
    static const std::vector<MemberInfoOf<DXFLayer>> Members = BuildLayerMembers();
    return Members;
}

Variant DXFLayers::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
    return InvokeMember(DXFLayersMembers(), *this, name, kind, args);
}

Variant DXFLayer::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) {
    return InvokeMember(DXFLayerMembers(), *this, name, kind, args);
}

} // namespace plandra
