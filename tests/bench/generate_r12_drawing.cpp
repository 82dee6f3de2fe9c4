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
        out.Groups(0, name, 8, LayerName(random.Below(LayerCount)));
        if (random.Below(4) == 0) {
            out.Group(62, 1 + random.Below(255));
        }
    };
    if (kind < 50) {
        common("LINE");
        double dx = random.Next(-50, 50);
        double dy = random.Next(-50, 50);
        out.Groups(10, x, 20, y, 30, 0.0, 11, x + dx, 21, y + dy, 31, 0.0);
    } else if (kind < 65) {
        common("CIRCLE");
        out.Groups(10, x, 20, y, 30, 0.0, 40, random.Next(0.5, 40));
    } else if (kind < 80) {
        common("ARC");
        double radius = random.Next(0.5, 40);
        double start = random.Next(0, 360);
        out.Groups(10, x, 20, y, 30, 0.0, 40, radius, 50, start, 51, random.Next(0, 360));
    } else if (kind < 90) {
        common("POINT");
        out.Groups(10, x, 20, y, 30, 0.0);
    } else {
        common("SOLID");
        double size = random.Next(1, 20);
        out.Groups(10, x, 20, y, 30, 0.0, 11, x + size, 21, y, 31, 0.0);
        out.Groups(12, x, 22, y + size, 32, 0.0, 13, x + size, 23, y + size, 33, 0.0);
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
    out.Groups(0, "SECTION", 2, "ENTITIES");
    Repeatable random;
    while (out.Position() < targetBytes) {
        WriteEntity(out, random);
    }
    out.Groups(0, "ENDSEC", 0, "EOF");
    return std::fclose(file) == 0;
}

} // namespace plandra::bench
