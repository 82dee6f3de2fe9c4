// Writes a large R12-style DXF drawing for benchmarks: mostly LINE, CIRCLE, ARC, POINT
// and SOLID entities on 20 layers, with CR LF line ends. The same size always gives
// the same file.
#include "generate_r12_drawing.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace plandra::bench {

namespace {

constexpr int LayerCount = 20;

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
    void Group(int code, double value) { std::fprintf(File, "%3d\r\n%.6f\r\n", code, value); }
    void Group(int code, int value) { std::fprintf(File, "%3d\r\n%d\r\n", code, value); }

    long Position() const { return std::ftell(File); }

private:
    std::FILE* File;
};

std::string LayerName(int index) { return "LAYER_" + std::to_string(index); }

void WriteTables(DxfWriter& out) {
    out.Group(0, std::string("SECTION"));
    out.Group(2, std::string("TABLES"));
    out.Group(0, std::string("TABLE"));
    out.Group(2, std::string("LAYER"));
    out.Group(70, LayerCount);
    static const char* Linetypes[] = {"CONTINUOUS", "DASHED", "DOT", "DASHDOT", "PHANTOM"};
    for (int i = 0; i < LayerCount; ++i) {
        out.Group(0, std::string("LAYER"));
        out.Group(2, LayerName(i));
        out.Group(70, 0);
        out.Group(62, 1 + i * 12 % 255);
        out.Group(6, std::string(Linetypes[i % 5]));
    }
    out.Group(0, std::string("ENDTAB"));
    out.Group(0, std::string("ENDSEC"));
}

void WriteEntity(DxfWriter& out, Repeatable& random) {
    double x = random.Next(0, 10000);
    double y = random.Next(0, 10000);
    int kind = random.Below(100);
    auto common = [&](const char* name) {
        out.Group(0, std::string(name));
        out.Group(8, LayerName(random.Below(LayerCount)));
        if (random.Below(4) == 0) {
            out.Group(62, 1 + random.Below(255));
        }
    };
    if (kind < 50) {
        common("LINE");
        out.Group(10, x);
        out.Group(20, y);
        out.Group(30, 0.0);
        out.Group(11, x + random.Next(-50, 50));
        out.Group(21, y + random.Next(-50, 50));
        out.Group(31, 0.0);
    } else if (kind < 65) {
        common("CIRCLE");
        out.Group(10, x);
        out.Group(20, y);
        out.Group(30, 0.0);
        out.Group(40, random.Next(0.5, 40));
    } else if (kind < 80) {
        common("ARC");
        out.Group(10, x);
        out.Group(20, y);
        out.Group(30, 0.0);
        out.Group(40, random.Next(0.5, 40));
        out.Group(50, random.Next(0, 360));
        out.Group(51, random.Next(0, 360));
    } else if (kind < 90) {
        common("POINT");
        out.Group(10, x);
        out.Group(20, y);
        out.Group(30, 0.0);
    } else {
        common("SOLID");
        double size = random.Next(1, 20);
        out.Group(10, x);
        out.Group(20, y);
        out.Group(30, 0.0);
        out.Group(11, x + size);
        out.Group(21, y);
        out.Group(31, 0.0);
        out.Group(12, x);
        out.Group(22, y + size);
        out.Group(32, 0.0);
        out.Group(13, x + size);
        out.Group(23, y + size);
        out.Group(33, 0.0);
    }
}

} // namespace

bool GenerateR12Drawing(const std::string& fileName, long targetBytes) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    DxfWriter out(file);
    out.Group(999, std::string("Generated benchmark drawing"));
    out.Group(0, std::string("SECTION"));
    out.Group(2, std::string("HEADER"));
    out.Group(9, std::string("$ACADVER"));
    out.Group(1, std::string("AC1009"));
    out.Group(0, std::string("ENDSEC"));
    WriteTables(out);
    out.Group(0, std::string("SECTION"));
    out.Group(2, std::string("ENTITIES"));
    Repeatable random;
    while (out.Position() < targetBytes) {
        WriteEntity(out, random);
    }
    out.Group(0, std::string("ENDSEC"));
    out.Group(0, std::string("EOF"));
    return std::fclose(file) == 0;
}

} // namespace plandra::bench
