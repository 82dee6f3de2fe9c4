// The layer collection as a script host reaches it: through the control's colLayers
// and Layers, then by member name on the collection and on each layer.
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "control/interface/layer_members.h"
#include "control_fixture.h"
#include "support/control_error_of.h"

#include <gtest/gtest.h>

namespace plandra::test {
namespace {

ObjectRef Object(const Variant& value) {
    const auto* object = std::get_if<ObjectRef>(&value);
    return object == nullptr ? nullptr : *object;
}

Variant Get(platform::Dispatchable& object, std::string_view name, std::vector<Variant> args = {}) {
    return object.Invoke(name, InvokeKind::PropertyGet, args);
}

void Put(platform::Dispatchable& object, std::string_view name, Variant value) {
    std::vector<Variant> args{std::move(value)};
    object.Invoke(name, InvokeKind::PropertyPut, args);
}

template <typename Call> std::int32_t ErrorNumber(Call&& call) {
    return ErrorOf(call).Number;
}

TEST(LayerMembers, ColLayersAndLayersHandOutTheCollectionTheControlHolds) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    dxf.colLayers.reset();

    // The field shows the collection as it is; the property creates it when missing.
    EXPECT_EQ(Invoke(dxf, "colLayers", InvokeKind::PropertyGet, {}), Variant(ObjectRef()));
    const ObjectRef layers = Object(Invoke(dxf, "Layers", InvokeKind::PropertyGet, {}));
    ASSERT_NE(layers, nullptr);
    EXPECT_EQ(layers, dxf.colLayers);
    EXPECT_EQ(Object(Invoke(dxf, "COLLAYERS", InvokeKind::PropertyGet, {})), dxf.colLayers);
    EXPECT_EQ(TypeOf(layers), VarType::Object);

    // Set colLayers takes another collection or Nothing, and nothing else.
    auto other = std::make_shared<DXFLayers>();
    std::vector<Variant> set{ObjectRef(other)};
    Invoke(dxf, "colLayers", InvokeKind::PropertyPutRef, set);
    EXPECT_EQ(dxf.colLayers, other);
    EXPECT_EQ(Object(Invoke(dxf, "Layers", InvokeKind::Method, {})), other);
    std::vector<Variant> nothing{ObjectRef()};
    Invoke(dxf, "colLayers", InvokeKind::PropertyPutRef, nothing);
    EXPECT_EQ(dxf.colLayers, nullptr);

    const struct {
        InvokeKind Kind;
        Variant Value;
        std::int32_t Number;
    } refused[] = {
        {InvokeKind::PropertyPut, ObjectRef(other), 438},
        {InvokeKind::PropertyPutRef, Long{1}, 13},
        {InvokeKind::PropertyPutRef, ObjectRef(other->Add(IntegerTrue, 0, "0", 0, false)), 13},
    };
    for (const auto& c : refused) {
        std::vector<Variant> args{c.Value};
        EXPECT_EQ(ErrorNumber([&] { Invoke(dxf, "colLayers", c.Kind, args); }), c.Number);
    }
    std::vector<Variant> layersArgs{ObjectRef(other)};
    EXPECT_EQ(ErrorNumber([&] { Invoke(dxf, "Layers", InvokeKind::PropertyPutRef, layersArgs); }),
              438);
}

TEST(LayerMembers, TheCollectionIsUsedByNameAsAScriptUsesIt) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    const std::shared_ptr<DXFLayers> held = dxf.Layers();
    held->Add(IntegerTrue, 0x0000FF, "WALLS", IntegerFalse, false);
    platform::Dispatchable& layers = *Object(Invoke(dxf, "Layers", InvokeKind::PropertyGet, {}));

    std::vector<Variant> add{std::string("-1"), 255.0, std::string("MARKUP"), Integer{0},
                             VariantBool{true}};
    const ObjectRef added = Object(layers.Invoke("add", InvokeKind::Method, add));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Get(layers, "Count"), Variant(Long{2}));
    EXPECT_EQ(held->Count(), 2);
    // Item is the default member, and hands out the very layer the collection holds.
    EXPECT_EQ(Object(Get(layers, "Item", {Long{2}})), added);
    EXPECT_EQ(Object(Get(layers, "", {2.0})), held->Item(2));

    std::vector<Variant> check{std::string("stale"), VariantBool{false}, std::string("MARKUP")};
    EXPECT_EQ(layers.Invoke("CheckDuplicateLayer", InvokeKind::Method, check),
              Variant(VariantBool{true}));
    EXPECT_EQ(check,
              (std::vector<Variant>{std::string(), VariantBool{true}, std::string("MARKUP")}));

    const struct {
        std::string_view Name;
        InvokeKind Kind;
        std::vector<Variant> Args;
        std::int32_t Number;
    } errors[] = {
        {"Item", InvokeKind::Method, {Long{3}}, 5},
        {"Item", InvokeKind::Method, {Integer{0}}, 5},
        // Items carry no keys: a text index finds nothing, even one that reads as a number.
        {"Item", InvokeKind::Method, {std::string("1")}, 5},
        {"Item", InvokeKind::Method, {}, 450},
        {"Count", InvokeKind::PropertyPut, {Long{1}}, 438},
        {"Count", InvokeKind::PropertyGet, {Long{1}}, 450},
        {"Add", InvokeKind::Method, {Integer{-1}, Long{0}}, 450},
        {"NoSuchMember", InvokeKind::Method, {}, 438},
    };
    for (const auto& c : errors) {
        std::vector<Variant> args = c.Args;
        EXPECT_EQ(ErrorNumber([&] { layers.Invoke(c.Name, c.Kind, args); }), c.Number) << c.Name;
    }

    std::vector<Variant> first{Integer{1}};
    layers.Invoke("Remove", InvokeKind::Method, first);
    EXPECT_EQ(Get(layers, "Count"), Variant(Long{1}));
    EXPECT_EQ(held->Item(1), added);
}

TEST(LayerMembers, EachLayerMemberReadsAndWritesTheLayer) {
    DXFLayers layers;
    const std::shared_ptr<DXFLayer> layer =
        layers.Add(IntegerTrue, 0x00FF00, "Walls ", IntegerFalse, true);
    const struct {
        std::string_view Name;
        Variant Before;
        Variant Put;
        Variant After;
    } cases[] = {
        {"LayerName", std::string("Walls "), Long{7}, std::string("7")},
        {"LayerColor", Long{0x00FF00}, std::string("255"), Long{255}},
        {"LayerOn", Integer{IntegerTrue}, VariantBool{false}, Integer{IntegerFalse}},
        {"NewLayer", Integer{IntegerFalse}, 1.5, Integer{2}},
        {"RedlineLayer", VariantBool{true}, Integer{0}, VariantBool{false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Get(*layer, c.Name), c.Before) << c.Name;
        Put(*layer, c.Name, c.Put);
        EXPECT_EQ(Get(*layer, c.Name), c.After) << c.Name;
    }
    EXPECT_EQ(layer->LayerName, "7");
    EXPECT_FALSE(layer->GetRedlineLayer());
    EXPECT_EQ(ErrorNumber([&] { Put(*layer, "LayerColor", std::string("red")); }), 13);
    EXPECT_EQ(ErrorNumber([&] { Put(*layer, "LayerOn", Long{40000}); }), 6);
    EXPECT_EQ(ErrorNumber([&] { Put(*layer, "LayerName", ObjectRef(layer)); }), 13);
    EXPECT_EQ(ErrorNumber([&] { Get(*layer, ""); }), 438);
}

} // namespace
} // namespace plandra::test
