// Regen: the control reads its file through the reader, then shows it with the view.
#include "control/interface/dxf_control.h"
#include "control_fixture.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace plandra::test {
namespace {

using platform::MousePointer;

TEST(DXFRegen, ReadsTheFileThroughTheStatusBarShowsItsExtentsAndPassesReadErrorsOn) {
    using Call = platform::RecordingPictureBox::Call;
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    dxf.InitProperties();
    EXPECT_EQ(dxf.Regen(dxfMergeNew), 0); // no file name yet
    EXPECT_TRUE(host.Screen.History.empty());

    TempFile file(DrawingWithEntities(
        {"0", "LINE", "8", "0", "10", "0", "20", "0", "11", "10", "21", "5", "0", "EOF"}));
    dxf.SetFileName(file.Name());
    EXPECT_EQ(dxf.Regen(dxfMergeNew), -1);
    EXPECT_EQ(dxf.WorkingFileName(), file.Name());
    EXPECT_TRUE(dxf.DrawingShown());
    EXPECT_EQ(dxf.Drawing().SeqCount, 1);
    EXPECT_EQ(host.StatusBar.Calls.front(), Call::Show);
    EXPECT_FALSE(host.StatusBar.Visible());
    float left = 0, top = 0, right = 0, bottom = 0;
    dxf.GetCurrentZoom(left, top, right, bottom);
    EXPECT_EQ((RealRect{left, top, right, bottom}), (RealRect{0, 10, 10, 0}));
    EXPECT_NE(std::ranges::find(host.Gdi.Calls, "LineTo(dc1, 100, 50)"), host.Gdi.Calls.end());
    EXPECT_EQ(host.Screen.GetMousePointer(), MousePointer::Default);

    EXPECT_EQ(dxf.Regen(dxfMergeAdd), -1);
    EXPECT_EQ(dxf.Drawing().SeqCount, 2);
    EXPECT_EQ(dxf.Regen(dxfMergeNew), -1);
    EXPECT_EQ(dxf.Drawing().SeqCount, 1);

    // A read error is passed on naming the file, with the pointer put back.
    TempFile notDrawing("no drawing here\r\n");
    dxf.SetFileName(notDrawing.Name());
    EXPECT_EQ(ErrorOf([&] { dxf.Regen(dxfMergeNew); }).Description,
              notDrawing.Name() + " does not appear to be a DXF file.");
    EXPECT_EQ(host.Screen.GetMousePointer(), MousePointer::Default);
}

} // namespace
} // namespace plandra::test
