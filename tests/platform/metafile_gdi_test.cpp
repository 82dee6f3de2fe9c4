// Our EMF writer: the records of what is drawn on a metafile device context, the
// header readers size the picture by, and the file it leaves.
#include "platform/headless/recording_gdi.h"
#include "platform/metafile/metafile_gdi.h"
#include "support/temp_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace platform::metafile {
namespace {

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

struct Record {
    std::uint32_t Type;
    std::size_t At;
};

// Walks the records; each must be a whole number of words inside the file.
std::vector<Record> Records(std::span<const std::uint8_t> bytes) {
    std::vector<Record> records;
    for (std::size_t at = 0; at + 8 <= bytes.size();) {
        std::uint32_t size = U32(bytes, at + 4);
        EXPECT_TRUE(size >= 8 && size % 4 == 0 && at + size <= bytes.size()) << at;
        records.push_back({U32(bytes, at), at});
        at += size < 8 ? bytes.size() : size;
    }
    return records;
}

TEST(MetafileGdi, RecordsObjectsWhenFirstUsedAndTheHeaderCountsTheFile) {
    RecordingGdi raster;
    MetafileGdi gdi(raster);
    HDC screen = raster.CreateCompatibleDC(nullptr);
    const Rect frame{0, 0, 27093, 20320};
    HDC dc = gdi.CreateEnhMetaFileA(screen, "", &frame, std::string_view("App\0Pic\0\0", 9));
    ASSERT_NE(dc, nullptr);

    HPEN pen = gdi.CreatePen(ps::Dash, 1, 0x0000FF);
    HGDIOBJ oldPen = gdi.SelectObject(dc, pen);
    gdi.MoveToEx(dc, 1, 2, nullptr);
    gdi.LineTo(dc, 30, 40);
    gdi.SelectObject(dc, oldPen);
    gdi.DeleteObject(pen);
    const Point corners[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    HBRUSH brush = gdi.CreateSolidBrush(0x00FF00);
    HRGN region = gdi.CreatePolygonRgn(corners, Alternate);
    EXPECT_TRUE(gdi.FillRgn(dc, region, brush));
    gdi.DeleteObject(region);
    gdi.DeleteObject(brush);
    HFONT font = gdi.CreateFontA({.Height = -20, .Escapement = 900, .FaceName = "Arial"});
    HGDIOBJ oldFont = gdi.SelectObject(dc, font);
    gdi.TextOutA(dc, 5, 6, "A\xC4");
    gdi.SelectObject(dc, oldFont);
    gdi.DeleteObject(font);
    gdi.SetPixel(dc, 3, 4, 0x123456);

    HENHMETAFILE metafile = gdi.CloseEnhMetaFile(dc);
    std::span<const std::uint8_t> bytes = gdi.EnhMetaFileBits(metafile);
    std::vector<Record> records = Records(bytes);
    std::vector<std::uint32_t> types;
    for (const Record& record : records) {
        types.push_back(record.Type);
    }
    // Header; GDI's default brush and pen stated; the pen made when first selected, the
    // line, the stock pen back and the pen deleted; the region as a polygon filled with
    // the brush and no pen; the font and the text; the pixel; the end.
    EXPECT_EQ(types, (std::vector<std::uint32_t>{1,  37, 37, 38, 37, 27, 54, 37, 40, 39, 37, 37,
                                                 86, 37, 37, 40, 82, 37, 84, 37, 40, 15, 14}));
    EXPECT_EQ(U32(bytes, 40), 0x464D4520u);               // " EMF"
    EXPECT_EQ(U32(bytes, 48), bytes.size());              // nBytes
    EXPECT_EQ(U32(bytes, 52), records.size());            // nRecords
    EXPECT_EQ(U32(bytes, 24 + 8), 27093u);                // frame right
    EXPECT_EQ(U32(bytes, 60), 9u);                        // description characters
    EXPECT_EQ(bytes[U32(bytes, 64) + 8], 'P');            // "App", NUL, "Pic" in UTF-16
    EXPECT_EQ(U32(bytes, records[3].At + 12), ps::Dash);  // the pen's style
    EXPECT_EQ(U32(bytes, records[3].At + 24), 0x0000FFu); // and colour
    EXPECT_EQ(U32(bytes, records[16].At + 20), 900u);     // the font's escapement
    const std::size_t text = records[18].At;
    EXPECT_EQ(U32(bytes, text + 36), 5u);                     // reference point x
    EXPECT_EQ(U32(bytes, text + 44), 2u);                     // characters
    EXPECT_EQ(bytes[text + U32(bytes, text + 48) + 2], 0xC4); // U+00C4 as UTF-16
    EXPECT_EQ(U32(bytes, records[21].At + 16), 0x123456u);    // the pixel's colour
    EXPECT_TRUE(gdi.DeleteEnhMetaFile(metafile));
}

TEST(MetafileGdi, StreamsTheFileAndReportsOneThatCannotBeMade) {
    RecordingGdi raster;
    MetafileGdi gdi(raster);
    plandra::test::TempFolder folder;
    const std::string written = (folder.Folder() / "picture.emf").string();
    const std::string unwritable = (folder.Folder() / "missing" / "picture.emf").string();

    // More records than are held before they go to the file: the header written last
    // still counts them all.
    HDC dc = gdi.CreateEnhMetaFileA(nullptr, written, nullptr, "");
    for (int i = 0; i < 60000; ++i) {
        gdi.Ellipse(dc, i % 100, 0, i % 100 + 10, 10);
    }
    HENHMETAFILE metafile = gdi.CloseEnhMetaFile(dc);
    ASSERT_NE(metafile, nullptr);
    std::ifstream file(written, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(bytes.size(), 60000u * 24);
    EXPECT_EQ(U32(bytes, 48), bytes.size());          // nBytes
    EXPECT_EQ(U32(bytes, 52), Records(bytes).size()); // nRecords
    EXPECT_EQ(U32(bytes, 8 + 8), 108u);               // bounds right: every ellipse seen
    EXPECT_TRUE(std::ranges::equal(bytes, gdi.EnhMetaFileBits(metafile)));

    EXPECT_EQ(gdi.CreateEnhMetaFileA(nullptr, unwritable, nullptr, ""), nullptr);
    // An abandoned recording leaves no headless file behind.
    const std::string abandoned = (folder.Folder() / "abandoned.emf").string();
    EXPECT_TRUE(gdi.DeleteDC(gdi.CreateEnhMetaFileA(nullptr, abandoned, nullptr, "")));
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    // Drawing on a closed metafile goes nowhere: the handle is no longer one of ours.
    EXPECT_EQ(gdi.CloseEnhMetaFile(dc), nullptr);
}

} // namespace
} // namespace platform::metafile
