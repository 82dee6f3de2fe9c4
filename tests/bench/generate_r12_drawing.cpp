// Writes a large R12-style DXF drawing for benchmarks: mostly LINE, CIRCLE, ARC, POINT
// and SOLID entities on 20 layers, with CR LF line ends. The same size always gives
// the same file.
#include "generate_r12_drawing.h"

#include "dxf_writing.h"

#include <cstdio>
#include <string>

namespace plandra::bench {

namespace {

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
    WriteHeaderAndTables(out);
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
