// The enumerations of the type library, listed for the COM server and scripting hosts.
#include "dxf_enums.h"

namespace plandra {
namespace {

constexpr EnumMember ZoomFunctionMembers[] = {{"dxfWindow", dxfWindow},
                                              {"dxfDrillDown", dxfDrillDown},
                                              {"dxfPan", dxfPan},
                                              {"dxfRedLineText", dxfRedLineText},
                                              {"dxfRedLineLine", dxfRedLineLine},
                                              {"dxfRedLineCircle", dxfRedLineCircle},
                                              {"dxfRedLineRectangle", dxfRedLineRectangle},
                                              {"dxfRedLineSelect", dxfRedLineSelect}};
constexpr EnumMember HorzAlignMembers[] = {
    {"dxfLeft", dxfLeft}, {"dxfCenter", dxfCenter}, {"dxfRight", dxfRight}};
constexpr EnumMember CoordSystemMembers[] = {{"dxfPixel", dxfPixel},
                                             {"dxfRealWorld", dxfRealWorld}};
constexpr EnumMember DispAttribsMembers[] = {{"dxfAttribsOff", dxfAttribsOff},
                                             {"dxfAttribsOn", dxfAttribsOn}};
constexpr EnumMember PlotSizeMembers[] = {{"dxfExtents", dxfExtents},
                                          {"dxfCurrentView", dxfCurrentView}};
constexpr EnumMember MergeMembers[] = {{"dxfMergeNew", dxfMergeNew}, {"dxfMergeAdd", dxfMergeAdd}};
constexpr EnumMember EntityTypesMembers[] = {{"dxfRedLineNone", dxfRedLineNone},
                                             {"dxfRedLineNewLine", dxfRedLineNewLine},
                                             {"dxfRedLineNewCircle", dxfRedLineNewCircle},
                                             {"dxfRedLineNewText", dxfRedLineNewText},
                                             {"dxfRedLineNewSolid", dxfRedLineNewSolid}};

constexpr EnumInfo Enumerations[] = {
    {"ZoomFunctionEnum", ZoomFunctionMembers}, {"HorzAlignEnum", HorzAlignMembers},
    {"CoordSystem", CoordSystemMembers},       {"DispAttribsEnum", DispAttribsMembers},
    {"PlotSizeEnum", PlotSizeMembers},         {"MergeEnum", MergeMembers},
    {"EntityTypesEnum", EntityTypesMembers}};

} // namespace

std::span<const EnumInfo> ControlEnumerations() {
    return Enumerations;
}

} // namespace plandra
