// Lines of a drawing file as the reader takes them: where they end, and past the end.
#include "control/reader/dxf_line_source.h"
#include "reader_fixture.h"

#include <tuple>
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

TEST(DxfLineSource, ReadingPastTheLastLineAndAMissingFileAreErrors) {
    test::TempFile file("only\r\n");
    DxfLineSource source = DxfLineSource::Open(file.Name());
    std::string line;
    source.ReadLine(line);
    EXPECT_EQ(line, "only");
    EXPECT_TRUE(source.AtEnd());
    const ControlError error = test::ErrorOf([&] { source.ReadLine(line); });
    EXPECT_EQ(std::tuple(error.Number, error.Description),
              std::tuple(62, "Input past end of file"));
    const ControlError missing =
        test::ErrorOf([] { DxfLineSource::Open("/nonexistent/folder/file.dxf"); });
    EXPECT_EQ(std::tuple(missing.Number, missing.Description), std::tuple(53, "File not found"));
}

TEST(DxfLineSource, LinesLongerThanTheBufferAndLineEndsAcrossItsEdgeAreWhole) {
    constexpr std::size_t BufferSize = 1 << 20;
    std::string longLine(BufferSize * 2 + 17, 'x');
    // The first line's CR is the last byte of the first buffer, its LF the next one's first.
    std::string edge(BufferSize - 1, 'e');
    EXPECT_EQ(ReadAll(edge + "\r\nafter\r\n" + longLine + "\r\nshort\r\nlast"),
              (std::vector<std::string>{edge, "after", longLine, "short", "last"}));
}

} // namespace
} // namespace plandra
