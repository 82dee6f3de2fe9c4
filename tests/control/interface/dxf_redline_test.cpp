// The control's redline members over recording surfaces: the optional text values,
// pixel coordinates, and deleting and restoring with their messages. Selection on a
// raster is in tests/control/redline; the mouse modes run as a plandra scenario.
#include "control/interface/dxf_control.h"
#include "control_fixture.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>

namespace plandra::test {
namespace {

class DXFRedline : public ::testing::Test {
protected:
    DXFRedline() {
        Dxf.InitProperties();
        Dxf.DXFAddLine(0, 0, 100, 100, "MARKUP");
        // 100 x 100 pixels showing drawing units 0 to 100: one pixel a unit.
        Dxf.ShowWindow(RealRect{0, 100, 100, 0});
    }
    HeadlessHost Host;
    DXF Dxf{Host.Surfaces(), Host.Host()};
};

TEST_F(DXFRedline, TextsTakeTheDefaultHeightAndPixelsThroughTheView) {
    Dxf.SetRedlineTextHeight(2.5f);
    Long pixel = Dxf.DXFAddText(30, 40, "P", "MARKUP", dxfPixel);
    Long real = Dxf.DXFAddText(30, 40, "R", "MARKUP", dxfRealWorld, 7.0, Integer{2}, 45.0f);
    const TextRec& p = Dxf.Drawing().Texts[pixel];
    const TextRec& r = Dxf.Drawing().Texts[real];
    EXPECT_EQ((std::array{p.X, p.Y, p.Height, p.Rotation}), (std::array{30.f, 60.f, 2.5f, 0.f}));
    EXPECT_EQ(p.HorzAlign, dxfLeft);
    EXPECT_EQ((std::array{r.X, r.Y, r.Height, r.Rotation}), (std::array{30.f, 40.f, 7.f, 45.f}));
    EXPECT_EQ(r.HorzAlign, dxfRight);
    try {
        Dxf.DXFAddText(0, 0, "x", "MARKUP", static_cast<CoordSystem>(2));
        ADD_FAILURE() << "no error";
    } catch (const ControlError& error) {
        EXPECT_EQ(error.Description, "Invalid procedure call or argument\r\n ->  DXFAddText.");
        EXPECT_EQ(Dxf.Drawing().TextCount, 2);
    }
}

TEST_F(DXFRedline, DeletingMarksTheSelectionRedrawsAndOneRestoreBringsAllBack) {
    std::string strError = "old";
    Host.Surface.Calls.clear();
    // No selection: nothing is marked, yet the view is redrawn.
    EXPECT_TRUE(Dxf.RedlineDeleteEntity(strError));
    EXPECT_EQ(strError, "");
    EXPECT_EQ(std::count(Host.Surface.Calls.begin(), Host.Surface.Calls.end(),
                         platform::RecordingPictureBox::Call::Cls),
              1);
    EXPECT_EQ(Dxf.Drawing().Lines[1].Deleted, IntegerFalse);
    Dxf.DXFAddCircle(0, 0, 3, 4, "MARKUP");
    for (auto [type, index] : {std::pair{dxfRedLineNewLine, 1}, {dxfRedLineNewCircle, 1}}) {
        Dxf.SetRedlineEntityType(type);
        Dxf.SetRedlineEntitySelected(Long{index});
        EXPECT_TRUE(Dxf.RedlineDeleteEntity(strError));
        EXPECT_EQ(Dxf.GetRedlineEntityType(), dxfRedLineNone);
    }
    EXPECT_EQ(Dxf.Drawing().Lines[1].Deleted + Dxf.Drawing().Arcs[1].Deleted, -2);
    EXPECT_TRUE(Dxf.RedlineUnDeleteEntity(strError));
    EXPECT_EQ(Dxf.Drawing().Lines[1].Deleted + Dxf.Drawing().Arcs[1].Deleted, 0);
    Dxf.SetRedlineEntityType(dxfRedLineNewText);
    Dxf.SetRedlineEntitySelected(Long{1});
    EXPECT_FALSE(Dxf.RedlineDeleteEntity(strError));
    EXPECT_EQ(strError,
              "An error occured in RedlineDeleteEntity. The message is: Subscript out of range");
}

} // namespace
} // namespace plandra::test
