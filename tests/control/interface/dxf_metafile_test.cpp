// Plot, SaveWMF and SaveWMFOld: the drawing printed with its margin, the view recorded
// into a metafile of picPlandra's size, the screen's view kept, and the failures of a
// control that cannot make metafiles.
#include "control_fixture.h"
#include "platform/headless/fault_injection_clipboard.h"
#include "platform/metafile/metafile_gdi.h"
#include "support/temp_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <utility>

namespace plandra::test {
namespace {

std::string OneLine() {
    return CrLfLines({"  0", "SECTION", "  2", "ENTITIES", "  0", "LINE", "  8",
                      "0",   " 10",     "0",   " 20",      "0",   " 11",  "10",
                      " 21", "5",       "  0", "ENDSEC",   "  0", "EOF"});
}

// A printer page of 1000 x 500 pixels on the recording GDI, noting what is done to it.
class PagePrinter final : public platform::Printer {
public:
    explicit PagePrinter(platform::GdiService& gdi) : Dc(gdi.CreateCompatibleDC(nullptr)) {}
    void SetScaleMode(int mode) override { Calls += "ScaleMode " + std::to_string(mode) + "; "; }
    void Print(std::string_view) override { Calls += "Print; "; }
    platform::HDC hDC() override { return Dc; }
    double ScaleWidth() const override { return 1000; }
    double ScaleHeight() const override { return 500; }
    void EndDoc() override { Calls += "EndDoc; "; }

    platform::HDC Dc;
    std::string Calls;
};

// A clipboard that keeps the metafile handed to it.
class HeldClipboard final : public platform::ClipboardService {
public:
    bool OpenClipboard() override { return !std::exchange(Open, true); }
    bool EmptyClipboard() override { return Open; }
    bool SetClipboardData(unsigned format, platform::HENHMETAFILE metafile) override {
        Held = format == platform::clipboard::EnhMetafile ? metafile : nullptr;
        return Held != nullptr;
    }
    bool CloseClipboard() override { return std::exchange(Open, false); }

    bool Open = false;
    platform::HENHMETAFILE Held = nullptr;
};

class DXFMetafile : public ::testing::Test {
protected:
    void Load(DXF& control) {
        WriteFileText(Input, OneLine());
        control.SetFileName(Input.string());
        ASSERT_EQ(control.Regen(dxfMergeNew), -1);
    }

    HeadlessHost host;
    platform::metafile::MetafileGdi metafiles{host.Gdi};
    PagePrinter printer{host.Gdi};
    HeldClipboard held;
    platform::FaultInjectingClipboard clipboard{held};
    DXF dxf{DXFSurfaces{host.Screen,
                        metafiles,
                        host.Surface,
                        host.SurfaceWindow,
                        host.StatusBar,
                        host.StatusBarWindow,
                        {&host.Handles[0], &host.Handles[1], &host.Handles[2], &host.Handles[3]},
                        &metafiles,
                        &printer,
                        &clipboard},
            host.Host()};
    TempFolder folder;
    std::filesystem::path Input = folder.Folder() / "in.dxf";
};

TEST_F(DXFMetafile, SaveWMFRecordsTheViewFramedAsTheSurfaceAndKeepsTheScreensView) {
    Load(dxf);
    float before[4];
    dxf.GetCurrentZoom(before[0], before[1], before[2], before[3]);
    const Long pixelXBefore = dxf.CvtX(10);
    const bool leftoverBefore = std::filesystem::exists("1.emf");

    const auto output = folder.Folder() / "view.emf";
    EXPECT_EQ(dxf.SaveWMF(output.string()), 0);
    EXPECT_EQ(dxf.SaveWMF(), 0); // onto the clipboard: no file of a fixed name is made
    EXPECT_GT(metafiles.EnhMetaFileBits(held.Held).size(), 108u);

    std::ifstream file(output, std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(bytes.size(), 108u);
    std::int32_t frame[4];
    std::memcpy(frame, bytes.data() + 24, sizeof frame);
    // picPlandra's size in hundredths of a millimetre (the recording surface gives its
    // size in every scale).
    EXPECT_EQ(frame[2], 100 * 100);
    EXPECT_EQ(frame[3], 100 * 100);
    EXPECT_NE(std::string(bytes.begin(), bytes.end()).find(std::string("\x36\0\0\0", 4)),
              std::string::npos); // an EMR_LINETO record
    EXPECT_EQ(std::filesystem::exists("1.emf"), leftoverBefore);

    float after[4];
    dxf.GetCurrentZoom(after[0], after[1], after[2], after[3]);
    EXPECT_TRUE(std::equal(before, before + 4, after));
    EXPECT_EQ(dxf.CvtX(10), pixelXBefore);
    EXPECT_EQ(host.Screen.GetMousePointer(), platform::MousePointer::Default);
}

TEST_F(DXFMetafile, AClipboardThatFailsIsLeftClosedAndHoldsNothing) {
    Load(dxf);
    for (platform::ClipboardCall call :
         {platform::ClipboardCall::OpenClipboard, platform::ClipboardCall::EmptyClipboard,
          platform::ClipboardCall::SetClipboardData}) {
        clipboard.Plan = {};
        clipboard.Plan.FailAt(call, 1, 0);
        EXPECT_EQ(dxf.SaveWMF(), 0);
        EXPECT_EQ(held.Held, nullptr);
        EXPECT_FALSE(held.Open);
        EXPECT_EQ(clipboard.Plan.Uses(platform::ClipboardCall::SetClipboardData),
                  call == platform::ClipboardCall::SetClipboardData ? 1 : 0);
    }
}

TEST_F(DXFMetafile, PlotPrintsTheExtentsWithAMarginOnEverySideAndRedrawsTheScreen) {
    Load(dxf); // a line from (0, 0) to (10, 5)
    float view[4];
    dxf.GetCurrentZoom(view[0], view[1], view[2], view[3]);
    const std::size_t before = host.Gdi.Calls.size();
    EXPECT_TRUE(dxf.Plot(dxfExtents));
    EXPECT_EQ(printer.Calls, "ScaleMode 3; Print; EndDoc; ");
    // The window widened by 0.5 and 0.25 a side is 11 x 5.5 units, fitted to the page's
    // 1000 x 500 pixels: the line runs from (45, 477) to (955, 23); the screen is
    // drawn again after it.
    std::string printed;
    for (std::size_t i = before; i < host.Gdi.Calls.size(); ++i) {
        printed += host.Gdi.Calls[i] + "\n";
    }
    EXPECT_NE(printed.find("MoveToEx(dc2, 45, 477"), std::string::npos) << printed;
    EXPECT_NE(printed.find("LineTo(dc2, 955, 23)"), std::string::npos) << printed;
    EXPECT_NE(printed.find("LineTo(dc1,"), std::string::npos);
    float after[4];
    dxf.GetCurrentZoom(after[0], after[1], after[2], after[3]);
    EXPECT_TRUE(std::equal(view, view + 4, after));
}

TEST_F(DXFMetafile, PlaceableFileStartsWithItsKeyAndItsWordsXorToZero) {
    Load(dxf);
    const auto output = folder.Folder() / "view.wmf";
    ASSERT_TRUE(dxf.WritePlaceableMetafile(output.string()));
    std::ifstream file(output, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(bytes.size(), 22u + 18u);
    EXPECT_EQ((std::vector<unsigned char>(bytes.begin(), bytes.begin() + 4)),
              (std::vector<unsigned char>{0xD7, 0xCD, 0xC6, 0x9A}));
    auto word = [&](std::size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    int checksum = 0;
    for (std::size_t at = 0; at < 22; at += 2) {
        checksum ^= word(at);
    }
    EXPECT_EQ(checksum, 0);
    EXPECT_EQ(word(10), 100); // picPlandra's width and height in pixels
    EXPECT_EQ(word(12), 100);
    EXPECT_EQ(word(14), 96);    // its pixels per inch
    EXPECT_EQ(word(22 + 2), 9); // the standard metafile's header follows, 9 words long
    EXPECT_EQ(word(22 + 6) * 2u, bytes.size() - 22); // and counts the words after it
}

TEST_F(DXFMetafile, WithoutMetafilesOnlySaveWMFOldComplains) {
    DXF plain(host.Surfaces(), host.Host());
    Load(plain);
    const auto output = folder.Folder() / "none.emf";
    EXPECT_EQ(plain.SaveWMF(output.string()), 0);
    EXPECT_TRUE(host.MessageBox.Boxes.empty());
    EXPECT_EQ(plain.SaveWMFOld(output.string()), 0);
    ASSERT_EQ(host.MessageBox.Boxes.size(), 1u);
    EXPECT_EQ(host.MessageBox.Boxes[0].Text, "WMF not created");
    EXPECT_FALSE(std::filesystem::exists(output));
}

} // namespace
} // namespace plandra::test
