// The DXF control as its host sees it.
#include "dxf_control.h"

#include "about_box.h"
#include "control/database/control_error.h"
#include "control/reader/dxf_reader.h"
#include "control/reader/fix_unix_file.h"
#include "platform/folders.h"

#include <cmath>

namespace plandra {
namespace {

ZoomFunctionEnum ProcessZoomFunction = dxfDrillDown;

// Property-bag defaults. The back colour is read twice on purpose: first with white,
// then with the system window colour, so that a bag without the key ends with the
// latter.
constexpr float DefaultPctLeft = 200;
constexpr float DefaultPctRight = 50;
constexpr Long FirstBackColorDefault = 0xFFFFFF;
constexpr Long SecondBackColorDefault = static_cast<Long>(SystemWindowBackground);
constexpr const char* StoredTmpFileNamePathDefault = "C:\\TEMP";

Variant LongVariant(Long value) {
    return value;
}
Variant SingleVariant(float value) {
    return value;
}
Variant StringVariant(std::string value) {
    return value;
}

} // namespace

platform::ColorRef OleTranslateColor(OleColor color) {
    if ((color & 0x80000000u) == 0) {
        return color & 0x00FFFFFFu;
    }
    // The classic Windows scheme, indexed by COLOR_* number; colours past the table
    // fall back to the window background.
    static constexpr std::array<platform::ColorRef, 25> Scheme = {
        0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
        0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
        0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xC0C0C0, 0x000000, 0xE1FFFF};
    const std::uint32_t index = color & 0xFFu;
    return index < Scheme.size() ? Scheme[index] : Scheme[5];
}

ZoomFunctionEnum LastZoomFunction() {
    return ProcessZoomFunction;
}

DXF::DXF(DXFSurfaces surfaces, DXFHost host)
    : Surfaces(surfaces), Host(host),
      View(Database, Options, ViewSurfaces{surfaces.Screen, surfaces.Gdi, surfaces.picPlandra}),
      Navigator(View, Database, PrevZoomStack, surfaces.picPlandra, surfaces.Screen),
      BackColor(surfaces.picPlandra.BackColor()) {
    Options.BackColor = static_cast<Long>(OleTranslateColor(BackColor));
    Surfaces.picPlandraWindow.SetAlign(platform::align::Top);
    View.SelectionHandles = surfaces.picHandle;
}

void DXF::InitProperties() {
    OnTheSpotZoomPctLeft = DefaultPctLeft;
    OnTheSpotZoomPctRight = DefaultPctRight;
    ZoomFunction = dxfDrillDown;
    FileName.clear();
    DisplayAttributes = dxfAttribsOff;
    Options.DisplayAttributes = false;
    Options.RedlineTextHeight = 1;
    Enabled = false;
    Options.Fonts = FontChoices{};
    Options.TmpFileNamePath.clear();
    Options.PrintAllBlack = false;
    RedlineEntitySelected = Integer{0};
    RedlineEntityType = dxfRedLineNone;
    RedlineCurrentLayer.clear();
    Options.CalcExtents = false;
    Options.ReadModernEntities = false;
}

void DXF::ReadProperties(platform::PropertyBag& bag) {
    auto applyBackColor = [this](const Variant& stored) {
        BackColor = static_cast<OleColor>(CLng(stored));
        Options.BackColor = static_cast<Long>(OleTranslateColor(BackColor));
        Surfaces.picPlandra.SetBackColor(OleTranslateColor(BackColor));
    };
    OnTheSpotZoomPctLeft =
        CSng(bag.ReadProperty("OnTheSpotZoomPctLeft", SingleVariant(DefaultPctLeft)));
    OnTheSpotZoomPctRight =
        CSng(bag.ReadProperty("OnTheSpotZoomPctRight", SingleVariant(DefaultPctRight)));
    applyBackColor(bag.ReadProperty("BackColor", LongVariant(FirstBackColorDefault)));
    ZoomFunction = static_cast<ZoomFunctionEnum>(
        CLng(bag.ReadProperty("ZoomFunction", LongVariant(dxfDrillDown))));
    FileName = CStr(bag.ReadProperty("FileName", StringVariant("")));
    DisplayAttributes = static_cast<DispAttribsEnum>(
        CLng(bag.ReadProperty("DisplayAttributes", LongVariant(dxfAttribsOff))));
    Options.DisplayAttributes = DisplayAttributes == dxfAttribsOn;
    Options.RedlineTextHeight = CSng(bag.ReadProperty("RedlineTextHeight", SingleVariant(1)));
    applyBackColor(bag.ReadProperty("BackColor", LongVariant(SecondBackColorDefault)));
    Enabled = CBool(bag.ReadProperty("Enabled", BoolVariant(false)));
    Options.Fonts.PropFontName = CStr(bag.ReadProperty("PropFontName", StringVariant("Arial")));
    Options.Fonts.PropFontScalar = CSng(bag.ReadProperty("PropFontScalar", SingleVariant(1)));
    Options.Fonts.MonoFontName =
        CStr(bag.ReadProperty("MonoFontName", StringVariant("Courier New")));
    Options.Fonts.MonoFontScalar = CSng(bag.ReadProperty("MonoFontScalar", SingleVariant(1)));
    Options.TmpFileNamePath =
        CStr(bag.ReadProperty("TmpFileNamePath", StringVariant(StoredTmpFileNamePathDefault)));
    Options.PrintAllBlack = CBool(bag.ReadProperty("PrintAllBlack", BoolVariant(false)));
    RedlineEntitySelected = bag.ReadProperty("RedlineEntitySelected", Variant(Integer{0}));
    RedlineEntityType = static_cast<EntityTypesEnum>(
        CLng(bag.ReadProperty("RedlineEntityType", LongVariant(dxfRedLineNone))));
    RedlineCurrentLayer = CStr(bag.ReadProperty("RedlineCurrentLayer", StringVariant("")));
    Options.CalcExtents = CBool(bag.ReadProperty("CalcExtents", BoolVariant(false)));
    Options.ReadModernEntities = CBool(bag.ReadProperty("ReadModernEntities", BoolVariant(false)));
}

void DXF::WriteProperties(platform::PropertyBag& bag) const {
    const Variant backColor = LongVariant(static_cast<Long>(BackColor));
    bag.WriteProperty("OnTheSpotZoomPctLeft", SingleVariant(OnTheSpotZoomPctLeft),
                      SingleVariant(DefaultPctLeft));
    bag.WriteProperty("OnTheSpotZoomPctRight", SingleVariant(OnTheSpotZoomPctRight),
                      SingleVariant(DefaultPctRight));
    bag.WriteProperty("BackColor", backColor, LongVariant(FirstBackColorDefault));
    bag.WriteProperty("ZoomFunction", LongVariant(ZoomFunction), LongVariant(dxfDrillDown));
    bag.WriteProperty("FileName", StringVariant(FileName), StringVariant(""));
    bag.WriteProperty("DisplayAttributes", LongVariant(DisplayAttributes),
                      LongVariant(dxfAttribsOff));
    bag.WriteProperty("RedlineTextHeight", SingleVariant(Options.RedlineTextHeight),
                      SingleVariant(1));
    bag.WriteProperty("BackColor", backColor, LongVariant(SecondBackColorDefault));
    bag.WriteProperty("Enabled", BoolVariant(Enabled), BoolVariant(false));
    bag.WriteProperty("PropFontName", StringVariant(Options.Fonts.PropFontName),
                      StringVariant("Arial"));
    bag.WriteProperty("PropFontScalar", SingleVariant(Options.Fonts.PropFontScalar),
                      SingleVariant(1));
    bag.WriteProperty("MonoFontName", StringVariant(Options.Fonts.MonoFontName),
                      StringVariant("Courier New"));
    bag.WriteProperty("MonoFontScalar", SingleVariant(Options.Fonts.MonoFontScalar),
                      SingleVariant(1));
    bag.WriteProperty("TmpFileNamePath", StringVariant(Options.TmpFileNamePath),
                      StringVariant(StoredTmpFileNamePathDefault));
    bag.WriteProperty("PrintAllBlack", BoolVariant(Options.PrintAllBlack), BoolVariant(false));
    bag.WriteProperty("RedlineEntitySelected", RedlineEntitySelected, Variant(Integer{0}));
    bag.WriteProperty("RedlineEntityType", LongVariant(RedlineEntityType),
                      LongVariant(dxfRedLineNone));
    bag.WriteProperty("RedlineCurrentLayer", StringVariant(RedlineCurrentLayer), StringVariant(""));
    bag.WriteProperty("CalcExtents", BoolVariant(Options.CalcExtents), BoolVariant(false));
    bag.WriteProperty("ReadModernEntities", BoolVariant(Options.ReadModernEntities),
                      BoolVariant(false));
}

void DXF::Resize(int innerWidth, int innerHeight) {
    platform::ChildWindow& drawing = Surfaces.picPlandraWindow;
    // Aligned to the top, the drawing surface always spans the full width.
    drawing.Move(0, 0, innerWidth, innerHeight);
    platform::ChildWindow& status = Surfaces.picStatusBarWindow;
    status.Move(status.Left(), innerHeight - status.Height(), innerWidth, status.Height());
}

void DXF::RaiseMouse(void (DXFEvents::*event)(Integer&, Integer&, float&, float&), Integer Button,
                     Integer Shift, float X, float Y) {
    if (Host.Events != nullptr) {
        (Host.Events->*event)(Button, Shift, X, Y);
    }
}

void DXF::picPlandra_MouseDown(Integer Button, Integer Shift, float X, float Y) {
    RaiseMouse(&DXFEvents::MouseDown, Button, Shift, X, Y);
}

void DXF::picPlandra_MouseMove(Integer Button, Integer Shift, float X, float Y) {
    RaiseMouse(&DXFEvents::MouseMove, Button, Shift, X, Y);
}

void DXF::picPlandra_MouseUp(Integer Button, Integer Shift, float X, float Y) {
    RaiseMouse(&DXFEvents::MouseUp, Button, Shift, X, Y);
}

void DXF::SetEnabled(bool value) {
    Enabled = value;
    Notify("Enabled");
}

void DXF::SetPrintAllBlack(bool value) {
    Options.PrintAllBlack = value;
    Notify("PrintAllBlack");
}

void DXF::SetFileName(std::string value) {
    WorkingFile = value;
    FileName = std::move(value);
    Notify("FileName");
}

void DXF::SetTmpFileNamePath(std::string value) {
    Options.TmpFileNamePath = platform::WithFolderSeparator(std::move(value));
    Notify("TmpFileNamePath");
}

namespace {

// A zoom percentage must give a whole 1 to 32767 once rounded.
float ZoomPercentage(float value) {
    if (!(std::nearbyint(value) >= 1 && std::nearbyint(value) <= 32767)) {
        throw ControlError::Runtime(RuntimeError::InvalidPropertyValue);
    }
    return value;
}

} // namespace

void DXF::SetOnTheSpotZoomPctLeft(float value) {
    OnTheSpotZoomPctLeft = ZoomPercentage(value);
    Notify("OnTheSpotZoomPctLeft");
}

void DXF::SetOnTheSpotZoomPctRight(float value) {
    OnTheSpotZoomPctRight = ZoomPercentage(value);
    Notify("OnTheSpotZoomPctRight");
}

void DXF::SetMonoFontScalar(float value) {
    Options.Fonts.MonoFontScalar = value;
    Notify("MonoFontScalar");
}

void DXF::SetMonoFontName(std::string value) {
    Options.Fonts.MonoFontName = std::move(value);
    Notify("MonoFontName");
}

void DXF::SetPropFontName(std::string value) {
    Options.Fonts.PropFontName = std::move(value);
    Notify("PropFontName");
}

void DXF::SetPropFontScalar(float value) {
    Options.Fonts.PropFontScalar = value;
    Notify("PropFontScalar");
}

void DXF::SetZoomFunction(ZoomFunctionEnum value) {
    ZoomFunction = value;
    ProcessZoomFunction = value;
    Notify("ZoomFunction");
}

void DXF::SetDisplayAttributes(DispAttribsEnum value) {
    DisplayAttributes = value;
    Options.DisplayAttributes = value == dxfAttribsOn;
    if (View.DrawingShown) {
        Surfaces.picPlandra.Cls();
        View.DrawingShown = View.Zoom(View.Transform.ViewWindow);
        Surfaces.picPlandra.Refresh();
    }
    Notify("DisplayAttributes");
}

void DXF::SetRedlineTextHeight(float value) {
    Options.RedlineTextHeight = value;
    Notify("RedlineTextHeight");
}

void DXF::SetBackColor(OleColor value) {
    BackColor = value;
    Options.BackColor = static_cast<Long>(OleTranslateColor(value));
    Surfaces.picPlandra.SetBackColor(OleTranslateColor(value));
    Notify("BackColor");
}

void DXF::SetRedlineEntitySelected(Variant value) {
    RedlineEntitySelected = std::move(value);
    if (!Host.Container.UserMode()) {
        throw ControlError(SetNotSupportedAtRuntime, "Plandra", "Set not supported at runtime");
    }
    Notify("RedlineEntitySelected");
}

void DXF::SetRedlineEntityType(EntityTypesEnum value) {
    RedlineEntityType = value;
    if (!Host.Container.UserMode()) {
        throw ControlError(SetNotSupportedAtRuntime, "Plandra", "Set not supported at runtime");
    }
    Notify("RedlineEntityType");
}

void DXF::SetRedlineCurrentLayer(std::string value) {
    RedlineCurrentLayer = std::move(value);
    Notify("RedlineCurrentLayer");
}

void DXF::SetCalcExtents(bool value) {
    Options.CalcExtents = value;
    Notify("CalcExtents");
}

void DXF::SetReadModernEntities(bool value) {
    Options.ReadModernEntities = value;
    Notify("ReadModernEntities");
}

std::shared_ptr<DXFLayers> DXF::Layers() {
    Database.Layers();
    return Database.colLayers;
}

bool DXF::GetCurrentZoom(float& Left, float& top, float& right, float& bottom) const {
    return View.Transform.GetCurrentZoom(Left, top, right, bottom);
}

float DXF::IntToRealX(const Variant& XPixel) const {
    return View.Transform.IntToRealX(CDbl(XPixel));
}

float DXF::IntToRealY(const Variant& YPixel) const {
    return View.Transform.IntToRealY(CDbl(YPixel));
}

Long DXF::CvtX(float X) const {
    return View.Transform.CvtX(X);
}

Long DXF::CvtY(float Y) const {
    return View.Transform.CvtY(Y);
}

bool DXF::ZoomExtents() {
    return View.ZoomExtents();
}

bool DXF::Refresh(std::string& strError) {
    return View.Refresh(strError);
}

Long DXF::Regen(MergeEnum Merge) {
    WorkingFile = FileName;
    if (WorkingFile.empty()) {
        return 0;
    }
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
    // Errors of the read and of the pass reach the host with their own trail.
    platform::DefaultPointerOnExit pointer(Surfaces.Screen);
    if (Merge == dxfMergeNew && !Database.InitDB(true)) {
        throw ControlError::Raised("Internal data bases could not be initialized.");
    }
    DxfReader reader(Database, Options, PrevZoomStack,
                     ReaderSurfaces{Surfaces.Screen, &Surfaces.picStatusBar, &Surfaces.picPlandra,
                                    &Host.MessageBox, Host.Files});
    reader.LoadDXF(WorkingFile);
    return View.ShowReadDrawing();
}

Integer DXF::DXFRefresh() {
    return View.DXFRefresh();
}

bool DXF::FixUNIXFile(std::string& strError, std::string InFileName, std::string OutFileName) {
    return plandra::FixUNIXFile(strError, std::move(InFileName), std::move(OutFileName),
                                Surfaces.Screen);
}

bool DXF::ShowWindow(const RealRect& window) {
    View.Transform.ViewWindow = window;
    return View.DXFRefresh() != 0;
}

void DXF::About() {
    AboutBox frmAbout(Host.Registry, Host.Shell, Host.MessageBox);
    Host.Dialogs.ShowModal(frmAbout);
}

void DXF::Clear() {
    Surfaces.picPlandra.Cls();
}

bool DXF::HandleMove(std::string& strError, Long left, Long top, Long right, Long bottom) {
    try {
        const std::array<platform::ChildWindow*, 4>& handles = Surfaces.picHandle;
        const int half = static_cast<int>(std::nearbyint(handles[0]->Width() / 2.0));
        const std::array<std::pair<Long, Long>, 4> corners = {
            {{left, top}, {right, top}, {left, bottom}, {right, bottom}}};
        for (std::size_t i = 0; i < handles.size(); ++i) {
            handles[i]->Move(corners[i].first - half, corners[i].second - half, handles[i]->Width(),
                             handles[i]->Height());
        }
        for (platform::ChildWindow* handle : handles) {
            handle->SetVisible(true);
        }
        strError.clear();
        return true;
    } catch (const ControlError& error) {
        strError = "An error occured in HandleMove. The message is: " + error.Description;
        return false;
    }
}

bool DXF::HandleHide(std::string& strError) {
    try {
        for (platform::ChildWindow* handle : Surfaces.picHandle) {
            handle->SetVisible(false);
        }
        SetRedlineEntitySelected(Integer{0});
        SetRedlineEntityType(dxfRedLineNone);
        strError.clear();
        return true;
    } catch (const ControlError& error) {
        strError = "An error occured in HandleHide. The message is: " + error.Description;
        return false;
    }
}

} // namespace plandra
