// The member table matches the control: names in slot order, and dispatch by name
// reaches the same state as the class's own members.
#include "control/interface/dxf_control.h"
#include "control/interface/dxf_members.h"
#include "control_fixture.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <set>

namespace plandra::test {
namespace {

Variant Call(DXF& dxf, std::string_view name, std::vector<Variant> args = {}) {
    return Invoke(dxf, name, InvokeKind::Method, args);
}

TEST(DXFMembers, ListTheExistingMembersInSlotOrderWithStableIdentifiers) {
    std::string names;
    std::set<Long> ids;
    int lastSlot = 0;
    for (const MemberInfo& member : DXFMembers()) {
        names += std::string(member.Name) + " ";
        EXPECT_GT(member.Slot, lastSlot) << member.Name;
        lastSlot = member.Slot;
        EXPECT_TRUE(ids.insert(member.DispId).second) << member.Name;
    }
    // The order is the interface's slot order, which compiled hosts rely on.
    EXPECT_EQ(names, "colLayers DXFComplete Enabled PrintAllBlack GetCurrentZoom IntToRealX "
                     "IntToRealY CvtX CvtY FileName TmpFileNamePath VerticalScroll "
                     "HorizontalScroll OnTheSpotZoomPctLeft OnTheSpotZoomPctRight MonoFontScalar "
                     "MonoFontName PropFontName PropFontScalar ZoomExtents Plot Refresh Regen "
                     "OnTheSpotZoom ZoomFunction ZoomInitiate ZoomEnd ZoomFeedback ZoomPrevious "
                     "DisplayAttributes SaveWMFOld SaveWMF Layers DXFRefresh Find FixUNIXFile Save "
                     "RedlineTextHeight "
                     "DXFAddLine DXFAddSolid DXFAddCircle DXFAddText BackColor About Clear "
                     "RedlineDeleteEntity RedlineUnDeleteEntity RedlineEntitySelected "
                     "RedlineEntityType RedlineCurrentLayer CalcExtents ReadModernEntities ");
    EXPECT_EQ(FindMember("BackColor")->DispId, DispIdBackColor);
    EXPECT_EQ(FindMember("About")->DispId, DispIdAboutBox);
    EXPECT_TRUE(FindMember("Layers")->Hidden);
    EXPECT_FALSE(FindMember("RedlineEntityType")->Browsable);
    EXPECT_EQ(FindMember("regen")->Help,
              "Once the file name is set a call to Regen will create the image.");
    EXPECT_EQ(FindMember("Regen")->Params[0].TypeName, "MergeEnum");
}

TEST(DXFMembers, EveryWritablePropertyDispatchesToTheClassAndNotifiesTheContainer) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    dxf.InitProperties();
    const struct {
        std::string_view Name;
        Variant Put;
        Variant Got; ///< read back through the class's getter
    } cases[] = {
        {"DXFComplete", VariantBool{true}, VariantBool{true}},
        {"Enabled", std::string("True"), VariantBool{true}},
        {"PrintAllBlack", Integer{-1}, VariantBool{true}},
        {"FileName", std::string("x.dxf"), std::string("x.dxf")},
        {"TmpFileNamePath", std::string("C:\\T\\"), std::string("C:\\T\\")},
        {"OnTheSpotZoomPctLeft", std::string("250"), 250.0f},
        {"OnTheSpotZoomPctRight", 12.5, 12.5f},
        {"MonoFontScalar", Integer{2}, 2.0f},
        {"MonoFontName", std::string("Mono"), std::string("Mono")},
        {"PropFontName", std::string("Sans"), std::string("Sans")},
        {"PropFontScalar", 0.5f, 0.5f},
        {"ZoomFunction", Long{dxfRedLineSelect}, Long{dxfRedLineSelect}},
        {"DisplayAttributes", Integer{1}, Long{dxfAttribsOn}},
        {"RedlineTextHeight", 2.5, 2.5f},
        {"BackColor", Long{0x00FF00}, Long{0x00FF00}},
        {"RedlineEntitySelected", std::string("3"), std::string("3")},
        {"RedlineEntityType", Integer{2}, Long{dxfRedLineNewText}},
        {"RedlineCurrentLayer", std::string("RED"), std::string("RED")},
        {"CalcExtents", VariantBool{true}, VariantBool{true}},
        {"ReadModernEntities", VariantBool{true}, VariantBool{true}},
    };
    std::set<std::string_view> covered;
    std::vector<std::string> notified; // every property but the field DXFComplete
    for (const auto& c : cases) {
        std::vector<Variant> value{c.Put};
        Invoke(dxf, c.Name, InvokeKind::PropertyPut, value);
        EXPECT_EQ(Invoke(dxf, c.Name, InvokeKind::PropertyGet, {}), c.Got) << c.Name;
        covered.insert(c.Name);
        if (c.Name != "DXFComplete") {
            notified.emplace_back(c.Name);
        }
    }
    EXPECT_EQ(host.Container.Changed, notified);
    EXPECT_EQ(dxf.WorkingFileName(), "x.dxf");
    for (const MemberInfo& member : DXFMembers()) {
        if (member.Let != nullptr && !member.SetByReference) {
            EXPECT_TRUE(covered.contains(member.Name)) << member.Name << " has no case";
        }
    }
}

TEST(DXFMembers, MethodsTakeAndReturnArgumentsAsAutomationDoes) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    dxf.InitProperties();
    TempFile drawing(DrawingWithEntities(
        {"0", "LINE", "8", "0", "10", "0", "20", "0", "11", "10", "21", "5", "0", "EOF"}));
    std::vector<Variant> name{drawing.Name()};
    Invoke(dxf, "FileName", InvokeKind::PropertyPut, name);
    EXPECT_EQ(Call(dxf, "REGEN", {Long{dxfMergeNew}}), Variant(Long{-1}));

    std::vector<Variant> zoom{0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(Invoke(dxf, "GetCurrentZoom", InvokeKind::Method, zoom), Variant(VariantBool{true}));
    EXPECT_EQ(zoom, (std::vector<Variant>{0.0f, 10.0f, 10.0f, 0.0f}));
    EXPECT_EQ(Call(dxf, "CvtX", {std::string("10")}), Variant(dxf.CvtX(10)));
    EXPECT_EQ(Call(dxf, "IntToRealY", {Integer{50}}),
              Variant(dxf.IntToRealY(Variant(Integer{50}))));

    std::vector<Variant> error{std::string("old")};
    EXPECT_EQ(Invoke(dxf, "Refresh", InvokeKind::Method, error), Variant(VariantBool{true}));
    EXPECT_EQ(error[0], Variant(std::string()));

    TempFile converted("", ".dxf");
    std::vector<Variant> fix{std::string("old"), drawing.Name(), converted.Name()};
    EXPECT_EQ(Invoke(dxf, "FixUNIXFile", InvokeKind::Method, fix), Variant(VariantBool{true}));
    EXPECT_EQ(fix[0], Variant(std::string()));
    EXPECT_EQ(fix[1], Variant(drawing.Name()));
    EXPECT_EQ(Call(dxf, "ZoomExtents"), Variant(VariantBool{true}));
    EXPECT_EQ(Call(dxf, "DXFRefresh"), Variant(Integer{-1}));
}

TEST(DXFMembers, DispatchErrorsCarryTheAutomationNumbers) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    const struct {
        std::string_view Name;
        InvokeKind Kind;
        std::vector<Variant> Args;
        std::int32_t Number;
    } cases[] = {
        {"NoSuchMember", InvokeKind::Method, {}, 438},
        {"Regen", InvokeKind::Method, {}, 450},
        {"CvtX", InvokeKind::Method, {1.0f, 2.0f}, 450},
        {"Enabled", InvokeKind::PropertyPut, {}, 450},
        {"Layers", InvokeKind::PropertyPut, {Long{1}}, 438},
        {"ZoomFunction", InvokeKind::PropertyPut, {std::string("drill")}, 13},
        {"ZoomFunction", InvokeKind::PropertyPut, {1e12}, 6},
    };
    for (const auto& c : cases) {
        std::vector<Variant> args = c.Args;
        EXPECT_EQ(ErrorOf([&] { Invoke(dxf, c.Name, c.Kind, args); }).Number, c.Number) << c.Name;
    }
}

TEST(DXFMembers, EnumerationsCarryTheirTypeLibraryValues) {
    std::string names;
    for (const EnumInfo& enumeration : ControlEnumerations()) {
        names += std::string(enumeration.Name) + " ";
    }
    EXPECT_EQ(names, "ZoomFunctionEnum HorzAlignEnum CoordSystem DispAttribsEnum PlotSizeEnum "
                     "MergeEnum EntityTypesEnum ");
    const EnumMember& last = ControlEnumerations()[0].Members.back();
    EXPECT_EQ(last.Name, "dxfRedLineSelect");
    EXPECT_EQ(last.Value, 8);
    EXPECT_EQ(ControlEnumerations()[6].Members.front().Value, -1);
}

} // namespace
} // namespace plandra::test
