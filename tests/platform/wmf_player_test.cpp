// Standard metafiles played onto cairo surfaces: scaled into a slot, and refused with a
// reason when they are broken.
#include "platform/gdi_objects.h"
#include "platform/metafile/wmf_player.h"
#include "platform/metafile/wmf_recorder.h"
#include "platform/posix/cairo_gdi.h"

#include <array>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace platform::metafile {
namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Red = 0x0000FF;
constexpr ColorRef Blue = 0xFF0000;
constexpr ColorRef Green = 0x00FF00;

// A metafile of hand-made records: header (with `objects` table places), the records,
// then the end record.
struct WmfBytes {
    explicit WmfBytes(unsigned objects = 4, unsigned headerWords = 9)
        : Bytes{1, 0, static_cast<std::uint8_t>(headerWords), 0, 0, 3, 0, 0,
                0, 0, static_cast<std::uint8_t>(objects),     0, 0, 0, 0, 0,
                0, 0} {}
    /// A record; `size` in words, when not the true one.
    WmfBytes& Record(std::uint16_t function, std::initializer_list<int> words, int size = -1) {
        size = size >= 0 ? size : static_cast<int>(3 + words.size());
        for (int word : {size & 0xFFFF, size >> 16, static_cast<int>(function)}) {
            Word(word);
        }
        for (int word : words) {
            Word(word);
        }
        return *this;
    }
    std::vector<std::uint8_t> End() {
        Record(0, {});
        return Bytes;
    }
    void Word(int value) {
        Bytes.push_back(static_cast<std::uint8_t>(value));
        Bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    std::vector<std::uint8_t> Bytes;
};

class WmfPlayerTest : public ::testing::Test {
protected:
    WmfPlayerTest()
        : Bitmap(OwnObject(Gdi, Gdi.CreateDIBSection(nullptr, 240, 120))),
          Dc(OwnDc(Gdi, Gdi.CreateCompatibleDC(nullptr))) {
        Old = Gdi.SelectObject(Dc.Get(), Bitmap.Get());
        auto white = OwnObject(Gdi, Gdi.CreateSolidBrush(White));
        Gdi.FillRect(Dc.Get(), Rect{0, 0, 240, 120}, white.Get());
    }
    ~WmfPlayerTest() override { Gdi.SelectObject(Dc.Get(), Old); }

    /// Plays the metafile as a billboard: its `window` scaled onto `slot`.
    bool PlayInSlot(const std::vector<std::uint8_t>& bytes, Size window, const Rect& slot) {
        HMETAFILE picture = Gdi.SetMetaFileBitsEx(bytes);
        const int mode = Gdi.SetMapMode(Dc.Get(), mm::Anisotropic);
        Gdi.SetWindowExtEx(Dc.Get(), window.cx, window.cy);
        Gdi.SetViewportExtEx(Dc.Get(), slot.right - slot.left, slot.bottom - slot.top);
        Gdi.SetViewportOrgEx(Dc.Get(), slot.left, slot.top);
        const bool played = Gdi.PlayMetaFile(Dc.Get(), picture);
        Gdi.SetViewportOrgEx(Dc.Get(), 0, 0);
        Gdi.SetMapMode(Dc.Get(), mode);
        return Gdi.DeleteMetaFile(picture) && played;
    }
    ColorRef At(int x, int y) { return Gdi.GetPixel(Dc.Get(), x, y); }

    CairoGdi Gdi;
    UniqueGdiObject<HBITMAP> Bitmap;
    UniqueDeviceContext Dc;
    HGDIOBJ Old = nullptr;
};

TEST_F(WmfPlayerTest, OurOwnMetafileIsScaledIntoItsSlot) {
    WmfRecorder recorder;
    recorder.Select(recorder.Create(BrushDefinition{Blue}));
    recorder.Select(recorder.Create(PenDefinition{ps::Solid, 0, Blue}));
    const std::array<Point, 4> square = {Point{10, 10}, {39, 10}, {39, 39}, {10, 39}};
    recorder.Polygon(square);
    recorder.Select(recorder.Create(BrushDefinition{Green}));
    recorder.Ellipse(Rect{50, 5, 90, 45});
    recorder.MoveTo({0, 48});
    recorder.LineTo({100, 48});
    // 100 x 50 logical units doubled onto the slot at (20, 10).
    ASSERT_TRUE(PlayInSlot(recorder.Finish(), {100, 50}, Rect{20, 10, 220, 110}));
    EXPECT_EQ(At(70, 60), Blue) << "square";
    EXPECT_EQ(At(39, 29), White) << "left of the square";
    EXPECT_EQ(At(160, 60), Green) << "ellipse centre";
    EXPECT_EQ(At(123, 23), White) << "outside the ellipse's curve";
    EXPECT_EQ(At(100, 106), Blue) << "line";
    EXPECT_EQ(At(10, 106), White) << "before the slot";
    // The metafile's objects are gone and the device context has its own back.
    EXPECT_EQ(Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::WhiteBrush)),
              Gdi.GetStockObject(stock::WhiteBrush));
}

TEST_F(WmfPlayerTest, WindowOfTheMetafileItselfDecidesTheScale) {
    // As Windows writes them: a window origin and extent, then a red rectangle.
    auto bytes = WmfBytes()
                     .Record(0x020B, {100, 200})      // SetWindowOrg y, x
                     .Record(0x020C, {20, 40})        // SetWindowExt y, x
                     .Record(0x02FC, {0, 0xFF, 0, 0}) // CreateBrushIndirect red
                     .Record(0x012D, {0})
                     .Record(0x041B, {120, 240, 100, 200}) // Rectangle over the window
                     .End();
    ASSERT_TRUE(PlayInSlot(bytes, {8, 8}, Rect{0, 0, 120, 60}));
    EXPECT_EQ(At(60, 30), Red);
    EXPECT_EQ(At(130, 30), White);
}

TEST_F(WmfPlayerTest, BitmapFarLargerThanTheSurfaceDrawsOnlyWhatShows) {
    // A 1 x 1 red bitmap stretched over 32767 logical units, 400 pixels each.
    auto bytes = WmfBytes()
                     .Record(0x0F43, {0x20, 0xCC, 0, 1, 1, 0,     0, 32767, 32767, 0, 0, // where
                                      40,   0,    1, 0, 1, 0,     1, 24,    0,     0, 0,
                                      0,    0,    0, 0, 0,          // header
                                      0,    0,    0, 0, 0, 0x00FF}) // pixel
                     .End();
    ASSERT_TRUE(PlayInSlot(bytes, {10, 10}, Rect{0, 0, 4000, 4000}));
    EXPECT_EQ(At(5, 5), Red);
    EXPECT_EQ(At(239, 119), Red);
}

TEST_F(WmfPlayerTest, BrokenMetafilesAreRefusedWithAReason) {
    auto cutRecord = WmfBytes().End();
    cutRecord.resize(cutRecord.size() - 2);
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Bytes;
        const char* Error;
    };
    const Case cases[] = {
        {"short header", {1, 0, 9, 0, 0, 3}, "shorter than its header"},
        {"empty metafile plays", WmfBytes(4, 9).End(), nullptr},
        {"bad header size", WmfBytes(4, 12).End(), "not 9 words long"},
        {"record size 0", WmfBytes().Record(0x0213, {1, 1}, 0).End(), "shorter than a record"},
        {"record past the end", WmfBytes().Record(0x0213, {1, 1}, 50).End(), "past the end"},
        {"cut in a record header", cutRecord, "cut short"},
        {"select beyond the table", WmfBytes(2).Record(0x012D, {5}).End(), "beyond the"},
        {"more objects than places", WmfBytes(0).Record(0x02FC, {0, 0xFF, 0, 0}).End(),
         "more objects"},
        {"polygon without its points", WmfBytes().Record(0x0324, {40, 1, 1}).End(), "too short"},
        {"bitmap cut short",
         WmfBytes()
             .Record(0x0F43, {0x20, 0xCC, 0, 1, 1, 0, 0, 1, 1, 0, 0, 40, 0, 8, 0, 8, 0, 1, 24})
             .End(),
         "bitmap in the metafile is cut short"},
    };
    for (const Case& c : cases) {
        const std::string error = PlayWmf(Gdi, Dc.Get(), c.Bytes, Mapping{});
        if (c.Error == nullptr) {
            EXPECT_EQ(error, "") << c.Name;
        } else {
            EXPECT_NE(error.find(c.Error), std::string::npos) << c.Name << ": " << error;
        }
    }
    auto notMetafile = WmfBytes().End();
    notMetafile[0] = 7;
    EXPECT_EQ(CheckWmf(notMetafile), "the data is not a metafile");
    EXPECT_EQ(Gdi.SetMetaFileBitsEx(notMetafile), nullptr);
}

} // namespace
} // namespace platform::metafile
