// Lines of a drawing file as the reader takes them: where they end, and past the end.
#include "control/reader/dxf_line_source.h"
#include "reader_fixture.h"

#include <vector>

namespace plandra {
namespace {

std::vector<std::string> ReadAll(const std::string& contents) {
    test::TempFile file(contents);
    DxfLineSource source = DxfLineSource::Open(file.Name());
    std::vector<std::string> lines;
    while (!source.AtEnd()) {
        lines.emplace_back(source.ReadLineView());
    }
    EXPECT_EQ(source.Position(), contents.size());
    return lines;
}

TEST(DxfLineSource, LinesEndAtCarriageReturnsWithAnOptionalLineFeed) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(ReadAll("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAll("a\rb\r"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadAll("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(ReadAll("a\nb\r\n"), (Lines{"a\nb"})) << "a bare line feed is part of the line";
    EXPECT_EQ(ReadAll("a\r\n\nb\r\n"), (Lines{"a", "\nb"}));
    EXPECT_EQ(ReadAll(""), (Lines{}));
}

TEST(DxfLineSource, ReadingPastTheLastLineIsAnError) {
    test::TempFile file("only\r\n");
    DxfLineSource source = DxfLineSource::Open(file.Name());
    std::string line;
    source.ReadLine(line);
    EXPECT_EQ(line, "only");
    EXPECT_TRUE(source.AtEnd());
    const ControlError error = test::ErrorOf([&] { source.ReadLine(line); });
    EXPECT_EQ(error.Number, 62);
    EXPECT_EQ(error.Description, "Input past end of file");
}

TEST(DxfLineSource, LinesLongerThanTheBufferAndLineEndsAcrossItsEdgeAreWhole) {
    constexpr std::size_t BufferSize = 1 << 20;
    std::string longLine(BufferSize * 2 + 17, 'x');
    // The first line's CR is the last byte of the first buffer, its LF the next one's first.
    std::string edge(BufferSize - 1, 'e');
    auto lines = ReadAll(edge + "\r\nafter\r\n" + longLine + "\r\nshort\r\nlast");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], edge);
    EXPECT_EQ(lines[1], "after");
    EXPECT_EQ(lines[2], longLine);
    EXPECT_EQ(lines[3], "short");
    EXPECT_EQ(lines[4], "last");
}

TEST(DxfLineSource, AMissingFileIsNotFound) {
    const ControlError error =
        test::ErrorOf([] { DxfLineSource::Open("/nonexistent/folder/file.dxf"); });
    EXPECT_EQ(error.Number, 53);
    EXPECT_EQ(error.Description, "File not found");
}

} // namespace
} // namespace plandra
