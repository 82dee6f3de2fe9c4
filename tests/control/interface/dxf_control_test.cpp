// The DXF control's properties, stored settings, layout, handles and events.
#include "control/interface/dxf_control.h"
#include "control_fixture.h"
#include "platform/headless/text_file_property_bag.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <tuple>

namespace plandra::test {
namespace {

using Call = platform::RecordingPictureBox::Call;

class DXFControlTest : public ::testing::Test {
public:
    DXFControlTest() { Host.Surface.SetBackColor(0x00C0FFEE); }

    /// A control placed on a form for the first time.
    DXF& NewControl() {
        Control = std::make_unique<DXF>(Host.Surfaces(), Host.Host());
        Control->InitProperties();
        return *Control;
    }
    /// A control the container loads from `bag`.
    DXF& StoredControl(platform::PropertyBag& bag) {
        Control = std::make_unique<DXF>(Host.Surfaces(), Host.Host());
        Control->ReadProperties(bag);
        return *Control;
    }

    /// Reads a drawing of one line into `dxf` and shows it: Regen's answer.
    Long Show(DXF& dxf) {
        dxf.SetFileName(Drawing.Name());
        return dxf.Regen(dxfMergeNew);
    }

    HeadlessHost Host;
    std::unique_ptr<DXF> Control;
    TempFile Drawing{DrawingWithEntities(
        {"0", "LINE", "8", "0", "10", "0", "20", "0", "11", "10", "21", "5", "0", "EOF"})};
};

TEST_F(DXFControlTest, NewInstanceKeepsTheDesignTimeColourAndChangesNothing) {
    DXF& dxf = NewControl();
    EXPECT_EQ(dxf.GetBackColor(), 0x00C0FFEEu);
    EXPECT_EQ(Host.Surface.BackColor(), 0x00C0FFEEu);
    EXPECT_EQ(dxf.GetRedlineEntitySelected(), Variant(Integer{0}));
    EXPECT_FALSE(dxf.DXFComplete || dxf.DrawingShown() || dxf.GetEnabled());
    EXPECT_EQ(Host.SurfaceWindow.Align(), platform::align::Top);
    EXPECT_TRUE(Host.Container.Changed.empty());
    float left = 9, top = 9, right = 9, bottom = 9;
    EXPECT_TRUE(dxf.GetCurrentZoom(left, top, right, bottom));
    EXPECT_EQ((RealRect{left, top, right, bottom}), RealRect{});
}

TEST_F(DXFControlTest, StoredValuesGoStraightIntoTheirFieldsAndMissingOnesTakeTheBagDefaults) {
    platform::TextFilePropertyBag empty;
    DXF& plain = StoredControl(empty);
    EXPECT_EQ(plain.GetBackColor(), SystemWindowBackground);
    EXPECT_EQ(Host.Surface.BackColor(), 0xFFFFFFu);
    // Taken as stored: the setter's trailing backslash is not added.
    EXPECT_EQ(plain.GetTmpFileNamePath(), "C:\\TEMP");
    EXPECT_EQ(plain.GetOnTheSpotZoomPctLeft(), 200);

    platform::TextFilePropertyBag bag;
    bag.Values = {{"TmpFileNamePath", std::string("D:\\SCRATCH")},
                  {"FileName", std::string("plan.dxf")},
                  {"ZoomFunction", Long{dxfPan}},
                  {"BackColor", Long{0x000000FF}},
                  {"RedlineEntityType", Long{dxfRedLineNewCircle}}};
    const ZoomFunctionEnum before = LastZoomFunction();
    DXF& dxf = StoredControl(bag);
    EXPECT_EQ(dxf.GetTmpFileNamePath(), "D:\\SCRATCH");
    EXPECT_EQ(dxf.GetFileName(), "plan.dxf");
    EXPECT_EQ(dxf.WorkingFileName(), "");
    EXPECT_EQ(dxf.GetZoomFunction(), dxfPan);
    EXPECT_EQ(LastZoomFunction(), before);
    EXPECT_EQ(Host.Surface.BackColor(), 0x0000FFu);
    EXPECT_EQ(dxf.GetRedlineEntityType(), dxfRedLineNewCircle);
    EXPECT_TRUE(Host.Container.Changed.empty());
}

TEST_F(DXFControlTest, TmpFileNamePathEndsInAFolderSeparator) {
    const struct {
        std::string Set;
        std::string Stored;
    } cases[] = {
#ifdef _WIN32
        {"C:\\TEMP", "C:\\TEMP\\"},
        {"C:\\TEMP\\", "C:\\TEMP\\"},
        {"", "\\"},
        {"/tmp/", "/tmp/\\"},
#else
        // Either separator ends a folder here, so settings stored on Windows keep working.
        {"C:\\TEMP", "C:\\TEMP/"},
        {"C:\\TEMP\\", "C:\\TEMP\\"},
        {"/tmp", "/tmp/"},
        {"/tmp/", "/tmp/"},
#endif
    };
    DXF& dxf = NewControl();
    for (const auto& c : cases) {
        dxf.SetTmpFileNamePath(c.Set);
        EXPECT_EQ(dxf.GetTmpFileNamePath(), c.Stored) << c.Set;
    }
}

TEST_F(DXFControlTest, EverySetterNotifiesTheContainerUnderItsKey) {
    DXF& dxf = NewControl();
    dxf.SetEnabled(true);
    dxf.SetPrintAllBlack(true);
    dxf.SetFileName("a.dxf");
    dxf.SetTmpFileNamePath("C:\\T");
    dxf.SetOnTheSpotZoomPctLeft(300);
    dxf.SetOnTheSpotZoomPctRight(25);
    dxf.SetMonoFontScalar(2);
    dxf.SetMonoFontName("Mono");
    dxf.SetPropFontName("Sans");
    dxf.SetPropFontScalar(3);
    dxf.SetZoomFunction(dxfWindow);
    dxf.SetDisplayAttributes(dxfAttribsOn);
    dxf.SetRedlineTextHeight(4);
    dxf.SetBackColor(0x123456);
    dxf.SetRedlineEntitySelected(Long{2});
    dxf.SetRedlineEntityType(dxfRedLineNewText);
    dxf.SetRedlineCurrentLayer("MARKUP");
    dxf.SetCalcExtents(true);
    dxf.SetReadModernEntities(true);
    EXPECT_EQ(Host.Container.Changed,
              (std::vector<std::string>{
                  "Enabled", "PrintAllBlack", "FileName", "TmpFileNamePath", "OnTheSpotZoomPctLeft",
                  "OnTheSpotZoomPctRight", "MonoFontScalar", "MonoFontName", "PropFontName",
                  "PropFontScalar", "ZoomFunction", "DisplayAttributes", "RedlineTextHeight",
                  "BackColor", "RedlineEntitySelected", "RedlineEntityType", "RedlineCurrentLayer",
                  "CalcExtents", "ReadModernEntities"}));
    EXPECT_EQ(dxf.WorkingFileName(), "a.dxf");
    EXPECT_EQ(LastZoomFunction(), dxfWindow);
    EXPECT_TRUE(dxf.GetEnabled() && dxf.GetPrintAllBlack() && dxf.GetCalcExtents() &&
                dxf.GetReadModernEntities());
    EXPECT_EQ(std::make_tuple(dxf.GetFileName(), dxf.GetMonoFontName(), dxf.GetPropFontName(),
                              dxf.GetRedlineCurrentLayer()),
              std::make_tuple("a.dxf", "Mono", "Sans", "MARKUP"));
    EXPECT_EQ(std::make_tuple(dxf.GetOnTheSpotZoomPctLeft(), dxf.GetOnTheSpotZoomPctRight(),
                              dxf.GetMonoFontScalar(), dxf.GetPropFontScalar(),
                              dxf.GetRedlineTextHeight()),
              std::make_tuple(300.f, 25.f, 2.f, 3.f, 4.f));
    EXPECT_EQ(dxf.GetZoomFunction(), dxfWindow);
    EXPECT_EQ(dxf.GetDisplayAttributes(), dxfAttribsOn);
    EXPECT_EQ(Host.Surface.BackColor(), 0x123456u);
    EXPECT_EQ(dxf.Settings().BackColor, 0x123456);
    // A system colour reaches the surface as its scheme colour.
    dxf.SetBackColor(0x8000000F); // button face
    EXPECT_EQ(dxf.GetBackColor(), 0x8000000Fu);
    EXPECT_EQ(Host.Surface.BackColor(), 0xC0C0C0u);
}

TEST_F(DXFControlTest, RedlineSelectionCannotBeSetAtDesignTimeButIsStored) {
    DXF& dxf = NewControl();
    Host.Container.IsRunning = false;
    try {
        dxf.SetRedlineEntityType(dxfRedLineNewLine);
        FAIL() << "no error raised";
    } catch (const ControlError& error) {
        EXPECT_EQ(error.Number, 382);
        EXPECT_EQ(error.Description, "Set not supported at runtime");
    }
    EXPECT_EQ(dxf.GetRedlineEntityType(), dxfRedLineNewLine);
    EXPECT_THROW(dxf.SetRedlineEntitySelected(Long{3}), ControlError);
    EXPECT_EQ(dxf.GetRedlineEntitySelected(), Variant(Long{3}));
    std::string strError;
    EXPECT_FALSE(dxf.HandleHide(strError));
    EXPECT_EQ(strError,
              "An error occured in HandleHide. The message is: Set not supported at runtime");

    Host.Container.IsRunning = true;
    dxf.SetRedlineEntityType(dxfRedLineNewSolid);
    EXPECT_EQ(dxf.GetRedlineEntityType(), dxfRedLineNewSolid);
}

TEST_F(DXFControlTest, DisplayAttributesRedrawsOnlyOnceADrawingIsShown) {
    DXF& dxf = NewControl();
    Host.Gdi.Calls.clear();
    dxf.SetDisplayAttributes(dxfAttribsOn);
    EXPECT_TRUE(Host.Surface.Calls.empty());
    EXPECT_TRUE(Host.Gdi.Calls.empty());

    ASSERT_EQ(Show(dxf), -1);
    Host.Surface.Calls.clear();
    Host.Gdi.Calls.clear();
    dxf.SetDisplayAttributes(dxfAttribsOff);
    EXPECT_EQ(Host.Surface.Calls.front(), Call::Cls);
    EXPECT_EQ(Host.Surface.Calls.back(), Call::Refresh);
    EXPECT_FALSE(Host.Gdi.Calls.empty());
    EXPECT_TRUE(dxf.DrawingShown());
    EXPECT_EQ(dxf.GetDisplayAttributes(), dxfAttribsOff);
    EXPECT_FALSE(dxf.Settings().DisplayAttributes);
}

TEST_F(DXFControlTest, ClearEmptiesTheSurfaceButKeepsTheDrawing) {
    DXF& dxf = NewControl();
    ASSERT_EQ(Show(dxf), -1);
    Host.Surface.Calls.clear();
    dxf.Clear();
    EXPECT_EQ(Host.Surface.Calls, std::vector<Call>{Call::Cls});
    EXPECT_EQ(dxf.Drawing().SeqCount, 1);
    EXPECT_TRUE(dxf.DrawingShown());
}

TEST_F(DXFControlTest, HandlesSurroundTheRectangleAndHideWithTheSelection) {
    DXF& dxf = NewControl();
    dxf.SetRedlineEntityType(dxfRedLineNewLine);
    dxf.SetRedlineEntitySelected(Long{4});
    std::string strError = "old";
    ASSERT_TRUE(dxf.HandleMove(strError, 10, 20, 50, 60));
    EXPECT_EQ(strError, "");
    // Half of the 7-pixel handle rounds to 4 (3.5 to even).
    const int expected[4][2] = {{6, 16}, {46, 16}, {6, 56}, {46, 56}};
    for (int i = 0; i < 4; ++i) {
        const auto& h = Host.Handles[i];
        EXPECT_EQ(std::tuple(h.Left(), h.Top(), h.Width(), h.Visible()),
                  std::tuple(expected[i][0], expected[i][1], 7, true))
            << i;
    }

    strError = "old";
    ASSERT_TRUE(dxf.HandleHide(strError));
    EXPECT_EQ(strError, "");
    for (const auto& handle : Host.Handles) {
        EXPECT_FALSE(handle.Visible());
    }
    EXPECT_EQ(dxf.GetRedlineEntitySelected(), Variant(Integer{0}));
    EXPECT_EQ(dxf.GetRedlineEntityType(), dxfRedLineNone);
}

TEST_F(DXFControlTest, ResizeStretchesTheSurfaceAndPutsTheStatusStripAtTheBottom) {
    DXF& dxf = NewControl();
    dxf.Resize(320, 240);
    EXPECT_EQ(std::make_tuple(Host.SurfaceWindow.Width(), Host.SurfaceWindow.Height(),
                              Host.SurfaceWindow.Top(), Host.StatusBarWindow.Width(),
                              Host.StatusBarWindow.Top(), Host.StatusBarWindow.Height()),
              std::make_tuple(320, 240, 0, 320, 220, 20));
}

TEST_F(DXFControlTest, WriteStoresOnlyValuesThatDifferFromTheirDefaults) {
    DXF& dxf = NewControl();
    platform::TextFilePropertyBag untouched;
    dxf.SetBackColor(SystemWindowBackground);
    dxf.WriteProperties(untouched);
    // The empty path differs from the "C:\TEMP" a stored control would get; the
    // system window colour is the back colour's last default.
    EXPECT_EQ(untouched.Values.size(), 1u);
    EXPECT_EQ(untouched.Values.at("TmpFileNamePath"), Variant(std::string()));

    dxf.SetTmpFileNamePath("C:\\TEMP\\");
    dxf.SetPropFontName("Times New Roman");
    dxf.SetBackColor(0xFFFFFF);
    dxf.SetReadModernEntities(true);
    platform::TextFilePropertyBag changed;
    dxf.WriteProperties(changed);
    EXPECT_EQ(changed.Values,
              (decltype(changed.Values){{"TmpFileNamePath", std::string("C:\\TEMP\\")},
                                        {"PropFontName", std::string("Times New Roman")},
                                        {"BackColor", Long{0xFFFFFF}},
                                        {"ReadModernEntities", VariantBool{true}}}));
}

// A host in a few lines: place the control, load a drawing, handle mouse events,
// and remember the settings in a file for the next run.
TEST_F(DXFControlTest, HostPlacesLoadsHandlesMouseAndRestoresItsSettings) {
    DXF& dxf = NewControl();
    dxf.Resize(100, 100);
    dxf.SetFileName(Drawing.Name());
    dxf.SetZoomFunction(dxfWindow);
    dxf.SetRedlineCurrentLayer("MARKUP");
    dxf.SetOnTheSpotZoomPctLeft(150.5f);
    EXPECT_EQ(dxf.Regen(dxfMergeNew), -1);
    EXPECT_TRUE(dxf.DXFComplete);

    dxf.picPlandra_MouseDown(1, 2, 10, 20);
    dxf.picPlandra_MouseMove(1, 0, 11, 21);
    dxf.picPlandra_MouseUp(1, 0, 12, 22);
    EXPECT_EQ(Host.Events.Received,
              (std::vector<std::string>{"MouseDown 1 2 10 20", "MouseMove 1 0 11 21",
                                        "MouseUp 1 0 12 22"}));

    TempFile settings("", ".txt");
    platform::TextFilePropertyBag saved;
    dxf.WriteProperties(saved);
    ASSERT_TRUE(saved.Save(settings.Name()));

    std::optional<platform::TextFilePropertyBag> loaded =
        platform::TextFilePropertyBag::Load(settings.Name());
    ASSERT_TRUE(loaded);
    HeadlessHost nextRun;
    DXF restored(nextRun.Surfaces(), nextRun.Host());
    restored.ReadProperties(*loaded);
    EXPECT_EQ(restored.GetFileName(), Drawing.Name());
    EXPECT_EQ(restored.GetZoomFunction(), dxfWindow);
    EXPECT_EQ(restored.GetRedlineCurrentLayer(), "MARKUP");
    EXPECT_EQ(restored.GetOnTheSpotZoomPctLeft(), 150.5f);
    EXPECT_EQ(restored.GetBackColor(), dxf.GetBackColor());
    EXPECT_EQ(restored.GetTmpFileNamePath(), "");
    EXPECT_EQ(restored.Regen(dxfMergeNew), -1);
}

} // namespace
} // namespace plandra::test
