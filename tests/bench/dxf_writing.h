// What the benchmark drawing generators share: a repeatable random source, a
// group writer with CR LF line ends, and the header and layer table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace plandra::bench {

inline constexpr int LayerCount = 20;

// A small linear congruential generator: repeatable across machines and libraries.
class Repeatable {
public:
    double Next(double low, double high) {
        State = State * 6364136223846793005ULL + 1442695040888963407ULL;
        double unit = static_cast<double>(State >> 11) / static_cast<double>(1ULL << 53);
        return low + unit * (high - low);
    }
    int Below(int limit) { return static_cast<int>(Next(0, limit)); }

private:
    std::uint64_t State = 20261206;
};

class DxfWriter {
public:
    explicit DxfWriter(std::FILE* file) : File(file) {}

    void Group(int code, const std::string& value) {
        std::fprintf(File, "%3d\r\n%s\r\n", code, value.c_str());
    }
    void Group(int code, const char* value) { Group(code, std::string(value)); }
    void Group(int code, double value) { std::fprintf(File, "%3d\r\n%.6f\r\n", code, value); }
    void Group(int code, int value) { std::fprintf(File, "%3d\r\n%d\r\n", code, value); }

    /// Writes code and value pairs in turn: Groups(0, "LINE", 8, "0").
    template <typename Value, typename... Rest>
    void Groups(int code, const Value& value, const Rest&... rest) {
        Group(code, value);
        if constexpr (sizeof...(rest) > 0) {
            Groups(rest...);
        }
    }

    long Position() const { return std::ftell(File); }

private:
    std::FILE* File;
};

inline std::string LayerName(int index) {
    return "LAYER_" + std::to_string(index);
}

/// The R12 header and a table of LayerCount layers with colours and linetypes.
inline void WriteHeaderAndTables(DxfWriter& out) {
    out.Groups(999, "Generated benchmark drawing", 0, "SECTION", 2, "HEADER", 9, "$ACADVER", 1,
               "AC1009", 0, "ENDSEC", 0, "SECTION", 2, "TABLES", 0, "TABLE", 2, "LAYER", 70,
               LayerCount);
    static const char* Linetypes[] = {"CONTINUOUS", "DASHED", "DOT", "DASHDOT", "PHANTOM"};
    for (int i = 0; i < LayerCount; ++i) {
        out.Groups(0, "LAYER", 2, LayerName(i), 70, 0, 62, 1 + i * 12 % 255, 6, Linetypes[i % 5]);
    }
    out.Groups(0, "ENDTAB", 0, "ENDSEC");
}

} // namespace plandra::bench
