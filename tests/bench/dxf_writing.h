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

    long Position() const { return std::ftell(File); }

private:
    std::FILE* File;
};

inline std::string LayerName(int index) { return "LAYER_" + std::to_string(index); }

/// The R12 header and a table of LayerCount layers with colours and linetypes.
inline void WriteHeaderAndTables(DxfWriter& out) {
    out.Group(999, "Generated benchmark drawing");
    out.Group(0, "SECTION");
    out.Group(2, "HEADER");
    out.Group(9, "$ACADVER");
    out.Group(1, "AC1009");
    out.Group(0, "ENDSEC");
    out.Group(0, "SECTION");
    out.Group(2, "TABLES");
    out.Group(0, "TABLE");
    out.Group(2, "LAYER");
    out.Group(70, LayerCount);
    static const char* Linetypes[] = {"CONTINUOUS", "DASHED", "DOT", "DASHDOT", "PHANTOM"};
    for (int i = 0; i < LayerCount; ++i) {
        out.Group(0, "LAYER");
        out.Group(2, LayerName(i));
        out.Group(70, 0);
        out.Group(62, 1 + i * 12 % 255);
        out.Group(6, Linetypes[i % 5]);
    }
    out.Group(0, "ENDTAB");
    out.Group(0, "ENDSEC");
}

} // namespace plandra::bench
