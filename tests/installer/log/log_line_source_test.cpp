#include "installer/log/log_line_source.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace vorn {
namespace {

// Hands out the bytes a few at a time, so that lines straddle reads.
class TrickleByteSource final : public LogByteSource {
public:
    TrickleByteSource(std::string_view bytes, std::size_t step) : Bytes(bytes), Step(step) {}

    std::size_t Read(std::span<char> buffer) override {
        std::size_t count = std::min({buffer.size(), Bytes.size(), Step});
        std::copy_n(Bytes.data(), count, buffer.data());
        Bytes.remove_prefix(count);
        return count;
    }

private:
    std::string_view Bytes;
    std::size_t Step;
};

using Lines = std::vector<std::pair<std::string, std::uint64_t>>;

Lines AllLines(LogLineSource& source) {
    Lines lines;
    while (source.Next()) {
        lines.emplace_back(source.Line(), source.Offset());
    }
    return lines;
}

TEST(LogLineSource, SplitsAtCarriageReturnsWhereverTheReadsEnd) {
    const std::size_t most = LogLineSource::MaxLineLength;
    const std::string longLine = std::string(most + 45, 'x');
    struct Case {
        std::string Text;
        Lines Expected;
    };
    const Case cases[] = {
        {"A\r\nB\r\n", {{"A", 0}, {"B", 3}}},
        {"\n\n\r\r\nA", {{"A", 5}}},
        {"A\nB\rC", {{"AB", 0}, {"C", 4}}},
        {"\nA\n\nB\n\r", {{"AB", 1}}},
        {longLine + "\r\nNext\r\n", {{std::string(most, 'x'), 0}, {"Next", most + 47}}},
        {"x\n" + longLine + "\r", {{std::string(most, 'x'), 0}}},
        {"", {}},
        {"\r\n\n\r", {}},
    };
    for (const Case& c : cases) {
        for (std::size_t step : {1u, 2u, 3u, 7u, 1000u}) {
            TrickleByteSource bytes(c.Text, step);
            LogLineSource source(bytes);
            EXPECT_EQ(AllLines(source), c.Expected) << "step " << step << ": " << c.Text;
        }
        LogLineSource inMemory{std::string_view(c.Text)};
        EXPECT_EQ(AllLines(inMemory), c.Expected) << "in memory: " << c.Text;
    }
}

} // namespace
} // namespace vorn
