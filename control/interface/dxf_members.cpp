// The member table of _DXF and dispatch by name.
#include "dxf_members.h"

#include "control/database/control_error.h"
#include "dxf_control.h"

#include <memory>
#include <vector>

namespace plandra {
namespace {

Variant LongResult(Long value) {
    return value;
}
Variant IntegerResult(Integer value) {
    return value;
}
Variant SingleResult(float value) {
    return value;
}
Variant StringResult(std::string value) {
    return value;
}
Variant ObjectResult(ObjectRef object) {
    return object;
}

// What Set colLayers accepts: a layer collection or Nothing.
std::shared_ptr<DXFLayers> LayersOf(const Variant& value) {
    const auto* object = std::get_if<ObjectRef>(&value);
    if (object == nullptr) {
        throw ControlError::Runtime(RuntimeError::TypeMismatch);
    }
    auto layers = std::dynamic_pointer_cast<DXFLayers>(*object);
    if (*object != nullptr && layers == nullptr) {
        throw ControlError::Runtime(RuntimeError::TypeMismatch);
    }
    return layers;
}

const ParamInfo SingleOut[] = {{"Left", "Single", VarType::Single},
                               {"top", "Single", VarType::Single},
                               {"right", "Single", VarType::Single},
                               {"bottom", "Single", VarType::Single}};
const ParamInfo XPixelParam[] = {{"XPixel", "Variant", VarType::Variant}};
const ParamInfo YPixelParam[] = {{"YPixel", "Variant", VarType::Variant}};
const ParamInfo XParam[] = {{"X", "Single", VarType::Single}};
const ParamInfo YParam[] = {{"Y", "Single", VarType::Single}};
const ParamInfo DeltaYParam[] = {{"DeltaY", "Single", VarType::Single}};
const ParamInfo DeltaXParam[] = {{"DeltaX", "Single", VarType::Single}};
const ParamInfo XYParams[] = {{"X", "Single", VarType::Single}, {"Y", "Single", VarType::Single}};
const ParamInfo OnTheSpotParams[] = {
    {"X", "Single", VarType::Single},
    {"Y", "Single", VarType::Single},
    {"Button", "Integer", VarType::Integer, false, true, Variant(Integer{0})}};
const ParamInfo FindParams[] = {
    {"TextToFind", "String", VarType::String},
    {"LayerID", "Integer", VarType::Integer},
    {"Pan", "Boolean", VarType::Boolean, false, true, BoolVariant(true)}};
const ParamInfo PlotParams[] = {{"PlotSize", "Integer", VarType::Integer}};
const ParamInfo MetafileParams[] = {{"filename", "Variant", VarType::Variant, false, true}};
const ParamInfo SaveParams[] = {{"NewFileName", "String", VarType::String}};
const ParamInfo ErrorParam[] = {{"strError", "String", VarType::String}};
const ParamInfo MergeParam[] = {{"Merge", "MergeEnum", VarType::Long}};
const ParamInfo AddLineParams[] = {{"X1", "Single", VarType::Single},
                                   {"Y1", "Single", VarType::Single},
                                   {"X2", "Single", VarType::Single},
                                   {"Y2", "Single", VarType::Single},
                                   {"LayerName", "String", VarType::String}};
const ParamInfo AddSolidParams[] = {
    {"X1", "Single", VarType::Single},       {"Y1", "Single", VarType::Single},
    {"X2", "Single", VarType::Single},       {"Y2", "Single", VarType::Single},
    {"X3", "Single", VarType::Single},       {"Y3", "Single", VarType::Single},
    {"X4", "Single", VarType::Single},       {"Y4", "Single", VarType::Single},
    {"LayerName", "String", VarType::String}};
const ParamInfo AddCircleParams[] = {{"CenterX", "Single", VarType::Single},
                                     {"CenterY", "Single", VarType::Single},
                                     {"RadiusX", "Single", VarType::Single},
                                     {"RadiusY", "Single", VarType::Single},
                                     {"LayerName", "String", VarType::String}};
const ParamInfo AddTextParams[] = {{"X1", "Single", VarType::Single},
                                   {"Y1", "Single", VarType::Single},
                                   {"Text", "String", VarType::String},
                                   {"LayerName", "String", VarType::String},
                                   {"CoordinateSystem", "CoordSystem", VarType::Long},
                                   {"TextHeight", "Variant", VarType::Variant, false, true},
                                   {"HorzAlignment", "Variant", VarType::Variant, false, true},
                                   {"Rotation", "Variant", VarType::Variant, false, true}};
const ParamInfo FixUnixParams[] = {{"strError", "String", VarType::String},
                                   {"InFileName", "String", VarType::String, true},
                                   {"OutFileName", "String", VarType::String, true}};

std::vector<MemberInfo> BuildMembers() {
    const std::span<const ParamInfo> none;
    std::vector<MemberInfo> members;
    auto property = [&](std::string_view name, int slot, std::string_view type, VarType result,
                        std::string_view help, GetInvoker get, LetInvoker let) {
        members.push_back({name, MemberKind::Property, slot, slot, none, type, result, help, false,
                           true, nullptr, get, let});
    };
    auto method = [&](std::string_view name, int slot, std::span<const ParamInfo> params,
                      std::string_view type, VarType result, std::string_view help,
                      MethodInvoker call) {
        members.push_back({name, MemberKind::Method, slot, slot, params, type, result, help, false,
                           true, call, nullptr, nullptr});
    };

    members.push_back({"colLayers", MemberKind::Field, 1, 1, none, "DXFLayers", VarType::Object, "",
                       false, true, nullptr, [](const DXF& c) { return ObjectResult(c.colLayers); },
                       [](DXF& c, const Variant& v) { c.colLayers = LayersOf(v); }, true});
    members.push_back({"DXFComplete", MemberKind::Field, 2, 2, none, "Boolean", VarType::Boolean,
                       "", false, true, nullptr,
                       [](const DXF& c) { return BoolVariant(c.DXFComplete); },
                       [](DXF& c, const Variant& v) { c.DXFComplete = CBool(v); }});
    property(
        "Enabled", 3, "Boolean", VarType::Boolean, "",
        [](const DXF& c) { return BoolVariant(c.GetEnabled()); },
        [](DXF& c, const Variant& v) { c.SetEnabled(CBool(v)); });
    property(
        "PrintAllBlack", 4, "Boolean", VarType::Boolean, "",
        [](const DXF& c) { return BoolVariant(c.GetPrintAllBlack()); },
        [](DXF& c, const Variant& v) { c.SetPrintAllBlack(CBool(v)); });
    method("GetCurrentZoom", 5, SingleOut, "Boolean", VarType::Boolean, "",
           [](DXF& c, std::span<Variant> a) {
               float left = CSng(a[0]), top = CSng(a[1]), right = CSng(a[2]), bottom = CSng(a[3]);
               const bool result = c.GetCurrentZoom(left, top, right, bottom);
               a[0] = left;
               a[1] = top;
               a[2] = right;
               a[3] = bottom;
               return BoolVariant(result);
           });
    constexpr std::string_view IntToRealHelp =
        "This method will convert a pixel coordinate into a real world (DXF coordinate)";
    method("IntToRealX", 6, XPixelParam, "Single", VarType::Single, IntToRealHelp,
           [](DXF& c, std::span<Variant> a) { return SingleResult(c.IntToRealX(a[0])); });
    method("IntToRealY", 7, YPixelParam, "Single", VarType::Single, IntToRealHelp,
           [](DXF& c, std::span<Variant> a) { return SingleResult(c.IntToRealY(a[0])); });
    method("CvtX", 8, XParam, "Long", VarType::Long,
           "Converts real world X coordinates to pixel coordinates.",
           [](DXF& c, std::span<Variant> a) { return LongResult(c.CvtX(CSng(a[0]))); });
    method("CvtY", 9, YParam, "Long", VarType::Long, "",
           [](DXF& c, std::span<Variant> a) { return LongResult(c.CvtY(CSng(a[0]))); });
    property(
        "FileName", 10, "String", VarType::String, "The name of the DXF file to load and view",
        [](const DXF& c) { return StringResult(c.GetFileName()); },
        [](DXF& c, const Variant& v) { c.SetFileName(CStr(v)); });
    property(
        "TmpFileNamePath", 11, "String", VarType::String, "",
        [](const DXF& c) { return StringResult(c.GetTmpFileNamePath()); },
        [](DXF& c, const Variant& v) { c.SetTmpFileNamePath(CStr(v)); });
    method(
        "VerticalScroll", 12, DeltaYParam, "Integer", VarType::Integer, "",
        [](DXF& c, std::span<Variant> a) { return IntegerResult(c.VerticalScroll(CSng(a[0]))); });
    method(
        "HorizontalScroll", 13, DeltaXParam, "Integer", VarType::Integer, "",
        [](DXF& c, std::span<Variant> a) { return IntegerResult(c.HorizontalScroll(CSng(a[0]))); });
    property(
        "OnTheSpotZoomPctLeft", 14, "Single", VarType::Single, "",
        [](const DXF& c) { return SingleResult(c.GetOnTheSpotZoomPctLeft()); },
        [](DXF& c, const Variant& v) { c.SetOnTheSpotZoomPctLeft(CSng(v)); });
    property(
        "OnTheSpotZoomPctRight", 15, "Single", VarType::Single, "",
        [](const DXF& c) { return SingleResult(c.GetOnTheSpotZoomPctRight()); },
        [](DXF& c, const Variant& v) { c.SetOnTheSpotZoomPctRight(CSng(v)); });
    property(
        "MonoFontScalar", 16, "Single", VarType::Single, "",
        [](const DXF& c) { return SingleResult(c.GetMonoFontScalar()); },
        [](DXF& c, const Variant& v) { c.SetMonoFontScalar(CSng(v)); });
    property(
        "MonoFontName", 17, "String", VarType::String, "",
        [](const DXF& c) { return StringResult(c.GetMonoFontName()); },
        [](DXF& c, const Variant& v) { c.SetMonoFontName(CStr(v)); });
    property(
        "PropFontName", 18, "String", VarType::String, "",
        [](const DXF& c) { return StringResult(c.GetPropFontName()); },
        [](DXF& c, const Variant& v) { c.SetPropFontName(CStr(v)); });
    property(
        "PropFontScalar", 19, "Single", VarType::Single, "",
        [](const DXF& c) { return SingleResult(c.GetPropFontScalar()); },
        [](DXF& c, const Variant& v) { c.SetPropFontScalar(CSng(v)); });
    method("ZoomExtents", 20, none, "Boolean", VarType::Boolean,
           "Zooms to the full drawing extents (100%)",
           [](DXF& c, std::span<Variant>) { return BoolVariant(c.ZoomExtents()); });
    method("Plot", 21, PlotParams, "Boolean", VarType::Boolean,
           "Use this method to print (plot) the current image. You can plot the full image or "
           "the current view.",
           [](DXF& c, std::span<Variant> a) { return BoolVariant(c.Plot(CInt(a[0]))); });
    method("Refresh", 22, ErrorParam, "Boolean", VarType::Boolean, "",
           [](DXF& c, std::span<Variant> a) {
               std::string strError = CStr(a[0]);
               const bool result = c.Refresh(strError);
               a[0] = std::move(strError);
               return BoolVariant(result);
           });
    method("Regen", 23, MergeParam, "Long", VarType::Long,
           "Once the file name is set a call to Regen will create the image.",
           [](DXF& c, std::span<Variant> a) {
               return LongResult(c.Regen(static_cast<MergeEnum>(CLng(a[0]))));
           });
    method("OnTheSpotZoom", 24, OnTheSpotParams, "Integer", VarType::Integer,
           "This method will perform a \"drill down\" zoom. This is a one click zoom that zooms "
           "in on the spot directly beneath the cursor. It is like landing a helicopter.",
           [](DXF& c, std::span<Variant> a) {
               return IntegerResult(c.OnTheSpotZoom(CSng(a[0]), CSng(a[1]), CInt(a[2])));
           });
    property(
        "ZoomFunction", 25, "ZoomFunctionEnum", VarType::Long,
        "Sets the current zoom function for the control.",
        [](const DXF& c) { return LongResult(c.GetZoomFunction()); },
        [](DXF& c, const Variant& v) {
            c.SetZoomFunction(static_cast<ZoomFunctionEnum>(CLng(v)));
        });
    method("ZoomInitiate", 26, XYParams, "Integer", VarType::Integer, "",
           [](DXF& c, std::span<Variant> a) {
               return IntegerResult(c.ZoomInitiate(CSng(a[0]), CSng(a[1])) ? IntegerTrue
                                                                           : IntegerFalse);
           });
    method("ZoomEnd", 27, none, "Integer", VarType::Integer, "", [](DXF& c, std::span<Variant>) {
        return IntegerResult(c.ZoomEnd() ? IntegerTrue : IntegerFalse);
    });
    method("ZoomFeedback", 28, XYParams, "Variant", VarType::Variant,
           "The method refreshes the rubber band line that is drawn as a user uses one of the "
           "zoom functions.",
           [](DXF& c, std::span<Variant> a) { return c.ZoomFeedback(CSng(a[0]), CSng(a[1])); });
    method("ZoomPrevious", 29, none, "Integer", VarType::Integer,
           "This method will reset the zoom magnification to the preceeding value. 4 zoom levels "
           "are stored.",
           [](DXF& c, std::span<Variant>) { return IntegerResult(c.ZoomPrevious()); });
    property(
        "DisplayAttributes", 30, "DispAttribsEnum", VarType::Long,
        "Controls the display of block attributes.",
        [](const DXF& c) { return LongResult(c.GetDisplayAttributes()); },
        [](DXF& c, const Variant& v) {
            c.SetDisplayAttributes(static_cast<DispAttribsEnum>(CLng(v)));
        });
    method("SaveWMFOld", 31, MetafileParams, "Integer", VarType::Integer,
           "The DXF image can be saved a s a Windows metafile with this method.",
           [](DXF& c, std::span<Variant> a) { return IntegerResult(c.SaveWMFOld(a[0])); });
    method("SaveWMF", 32, MetafileParams, "Integer", VarType::Integer, "",
           [](DXF& c, std::span<Variant> a) { return IntegerResult(c.SaveWMF(a[0])); });
    // Reading Layers creates the collection when there is none, so it is a call on
    // the control rather than a read of it.
    members.push_back({"Layers", MemberKind::Property, 33, 33, none, "DXFLayers", VarType::Object,
                       "Collection of Layer objects", true, true,
                       [](DXF& c, std::span<Variant>) { return ObjectResult(c.Layers()); }});
    method("DXFRefresh", 34, none, "Integer", VarType::Integer,
           "This is used to refresh the drawing at the current zoom level.",
           [](DXF& c, std::span<Variant>) { return IntegerResult(c.DXFRefresh()); });
    method("Find", 35, FindParams, "Long", VarType::Long,
           "Use this method to search for text string in the drawing.",
           [](DXF& c, std::span<Variant> a) {
               std::string text = CStr(a[0]);
               const Long result = c.Find(text, CInt(a[1]), CBool(a[2]));
               a[0] = std::move(text);
               return LongResult(result);
           });
    method("FixUNIXFile", 36, FixUnixParams, "Boolean", VarType::Boolean, "",
           [](DXF& c, std::span<Variant> a) {
               std::string strError = CStr(a[0]);
               const bool result = c.FixUNIXFile(strError, CStr(a[1]), CStr(a[2]));
               a[0] = std::move(strError);
               return BoolVariant(result);
           });
    method("Save", 37, SaveParams, "Integer", VarType::Integer, "",
           [](DXF& c, std::span<Variant> a) {
               return IntegerResult(c.Save(CStr(a[0])) ? IntegerTrue : IntegerFalse);
           });
    property(
        "RedlineTextHeight", 38, "Single", VarType::Single,
        "Sets the height of all subsequent redline text entities.",
        [](const DXF& c) { return SingleResult(c.GetRedlineTextHeight()); },
        [](DXF& c, const Variant& v) { c.SetRedlineTextHeight(CSng(v)); });
    method("DXFAddLine", 39, AddLineParams, "Long", VarType::Long, "",
           [](DXF& c, std::span<Variant> a) {
               return LongResult(
                   c.DXFAddLine(CSng(a[0]), CSng(a[1]), CSng(a[2]), CSng(a[3]), CStr(a[4])));
           });
    method("DXFAddSolid", 40, AddSolidParams, "Long", VarType::Long, "",
           [](DXF& c, std::span<Variant> a) {
               return LongResult(c.DXFAddSolid(CSng(a[0]), CSng(a[1]), CSng(a[2]), CSng(a[3]),
                                               CSng(a[4]), CSng(a[5]), CSng(a[6]), CSng(a[7]),
                                               CStr(a[8])));
           });
    method("DXFAddCircle", 41, AddCircleParams, "Long", VarType::Long, "",
           [](DXF& c, std::span<Variant> a) {
               return LongResult(
                   c.DXFAddCircle(CSng(a[0]), CSng(a[1]), CSng(a[2]), CSng(a[3]), CStr(a[4])));
           });
    method("DXFAddText", 42, AddTextParams, "Long", VarType::Long, "",
           [](DXF& c, std::span<Variant> a) {
               return LongResult(c.DXFAddText(CSng(a[0]), CSng(a[1]), CStr(a[2]), CStr(a[3]),
                                              static_cast<CoordSystem>(CLng(a[4])), a[5], a[6],
                                              a[7]));
           });
    members.push_back(
        {"BackColor", MemberKind::Property, 43, DispIdBackColor, none, "OLE_COLOR", VarType::Long,
         "Returns/sets the background color used to display text and graphics in an object.", false,
         true, nullptr,
         [](const DXF& c) { return LongResult(static_cast<Long>(c.GetBackColor())); },
         [](DXF& c, const Variant& v) { c.SetBackColor(static_cast<OleColor>(CLng(v))); }});
    members.push_back({"About", MemberKind::Method, 44, DispIdAboutBox, none, "", VarType::Empty,
                       "", false, true, [](DXF& c, std::span<Variant>) {
                           c.About();
                           return Variant();
                       }});
    method("Clear", 45, none, "", VarType::Empty, "", [](DXF& c, std::span<Variant>) {
        c.Clear();
        return Variant();
    });
    method("RedlineDeleteEntity", 46, ErrorParam, "Boolean", VarType::Boolean,
           "Delete the selected redline entity", [](DXF& c, std::span<Variant> a) {
               std::string strError = CStr(a[0]);
               const bool result = c.RedlineDeleteEntity(strError);
               a[0] = std::move(strError);
               return BoolVariant(result);
           });
    method("RedlineUnDeleteEntity", 47, ErrorParam, "Boolean", VarType::Boolean, "",
           [](DXF& c, std::span<Variant> a) {
               std::string strError = CStr(a[0]);
               const bool result = c.RedlineUnDeleteEntity(strError);
               a[0] = std::move(strError);
               return BoolVariant(result);
           });
    members.push_back({"RedlineEntitySelected", MemberKind::Property, 48, 48, none, "Variant",
                       VarType::Variant, "", false, false, nullptr,
                       [](const DXF& c) { return c.GetRedlineEntitySelected(); },
                       [](DXF& c, const Variant& v) { c.SetRedlineEntitySelected(v); }});
    members.push_back({"RedlineEntityType", MemberKind::Property, 49, 49, none, "EntityTypesEnum",
                       VarType::Long, "", false, false, nullptr,
                       [](const DXF& c) { return LongResult(c.GetRedlineEntityType()); },
                       [](DXF& c, const Variant& v) {
                           c.SetRedlineEntityType(static_cast<EntityTypesEnum>(CLng(v)));
                       }});
    property(
        "RedlineCurrentLayer", 50, "String", VarType::String,
        "The current redline layer onto which redline entities will be drawn.",
        [](const DXF& c) { return StringResult(c.GetRedlineCurrentLayer()); },
        [](DXF& c, const Variant& v) { c.SetRedlineCurrentLayer(CStr(v)); });
    property(
        "CalcExtents", 51, "Boolean", VarType::Boolean,
        "Ignore EXTMIN and EXTMAX records from DXF file and calculate extents based on "
        "entities.",
        [](const DXF& c) { return BoolVariant(c.GetCalcExtents()); },
        [](DXF& c, const Variant& v) { c.SetCalcExtents(CBool(v)); });
    property(
        "ReadModernEntities", 52, "Boolean", VarType::Boolean,
        "Also read LWPOLYLINE, SPLINE, HATCH, TRACE and LEADER entities and decode texts by "
        "the drawing's code page and version.",
        [](const DXF& c) { return BoolVariant(c.GetReadModernEntities()); },
        [](DXF& c, const Variant& v) { c.SetReadModernEntities(CBool(v)); });
    return members;
}

} // namespace

std::span<const MemberInfo> DXFMembers() {
    static const std::vector<MemberInfo> Members = BuildMembers();
    return Members;
}

const MemberInfo* FindMember(std::string_view name) {
    return name.empty() ? nullptr : FindMemberIn(DXFMembers(), name);
}

Variant Invoke(DXF& control, std::string_view name, InvokeKind kind, std::span<Variant> args) {
    return InvokeMember(DXFMembers(), control, name, kind, args);
}

} // namespace plandra
