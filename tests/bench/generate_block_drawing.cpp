// Writes block definitions and their inserts, or the inserted entities flat.
#include "generate_block_drawing.h"

#include "dxf_writing.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace plandra::bench {

namespace {

constexpr int BlockCount = 100;
constexpr double Pi = 3.14159265358979;

enum class ShapeKind { Line, Circle, Arc, Point, Solid };

// One entity of a block: its points relative to the block's base point.
struct Shape {
    ShapeKind Kind = ShapeKind::Line;
    int Layer = 0;
    std::vector<double> X, Y;
    double Radius = 0, StartAngle = 0, EndAngle = 0;
};

struct Placement {
    double X = 0, Y = 0, Rotation = 0;

    void Apply(double& x, double& y) const {
        double radians = Rotation * Pi / 180;
        double rotatedX = x * std::cos(radians) - y * std::sin(radians);
        double rotatedY = x * std::sin(radians) + y * std::cos(radians);
        x = rotatedX + X;
        y = rotatedY + Y;
    }
};

Shape RandomShape(Repeatable& random) {
    Shape shape;
    shape.Layer = 1 + random.Below(LayerCount - 1);
    int kind = random.Below(100);
    auto point = [&] {
        shape.X.push_back(random.Next(-25, 25));
        shape.Y.push_back(random.Next(-25, 25));
    };
    if (kind < 50) {
        shape.Kind = ShapeKind::Line;
        point();
        point();
    } else if (kind < 65) {
        shape.Kind = ShapeKind::Circle;
        point();
        shape.Radius = random.Next(0.5, 10);
    } else if (kind < 80) {
        shape.Kind = ShapeKind::Arc;
        point();
        shape.Radius = random.Next(0.5, 10);
        shape.StartAngle = random.Next(0, 360);
        shape.EndAngle = random.Next(0, 360);
    } else if (kind < 90) {
        shape.Kind = ShapeKind::Point;
        point();
    } else {
        shape.Kind = ShapeKind::Solid;
        for (int corner = 0; corner < 4; ++corner) {
            point();
        }
    }
    return shape;
}

void WriteShape(DxfWriter& out, Shape shape, const Placement& placement) {
    static const char* Names[] = {"LINE", "CIRCLE", "ARC", "POINT", "SOLID"};
    out.Groups(0, Names[static_cast<int>(shape.Kind)], 8, LayerName(shape.Layer));
    for (std::size_t i = 0; i < shape.X.size(); ++i) {
        placement.Apply(shape.X[i], shape.Y[i]);
        out.Group(10 + static_cast<int>(i), shape.X[i]);
        out.Group(20 + static_cast<int>(i), shape.Y[i]);
    }
    if (shape.Kind == ShapeKind::Circle || shape.Kind == ShapeKind::Arc) {
        out.Group(40, shape.Radius);
    }
    if (shape.Kind == ShapeKind::Arc) {
        out.Groups(50, std::fmod(shape.StartAngle + placement.Rotation, 360), 51,
                   std::fmod(shape.EndAngle + placement.Rotation, 360));
    }
}

std::string BlockName(int index) {
    return "PART_" + std::to_string(index);
}

} // namespace

bool GenerateBlockDrawing(const std::string& fileName, int insertCount, int entitiesPerBlock,
                          BlockLayout layout) {
    std::FILE* file = std::fopen(fileName.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    Repeatable random;
    std::vector<std::vector<Shape>> blocks(BlockCount);
    for (std::vector<Shape>& block : blocks) {
        for (int i = 0; i < entitiesPerBlock; ++i) {
            block.push_back(RandomShape(random));
        }
    }
    DxfWriter out(file);
    WriteHeaderAndTables(out);
    if (layout == BlockLayout::Inserts) {
        out.Groups(0, "SECTION", 2, "BLOCKS");
        for (int b = 0; b < BlockCount; ++b) {
            out.Groups(0, "BLOCK", 8, "0", 2, BlockName(b), 70, 0, 10, 0.0, 20, 0.0);
            for (const Shape& shape : blocks[static_cast<std::size_t>(b)]) {
                WriteShape(out, shape, Placement{});
            }
            out.Groups(0, "ENDBLK", 8, "0");
        }
        out.Group(0, "ENDSEC");
    }
    out.Groups(0, "SECTION", 2, "ENTITIES");
    for (int i = 0; i < insertCount; ++i) {
        int block = random.Below(BlockCount);
        Placement placement{random.Next(0, 10000), random.Next(0, 10000),
                            random.Below(4) == 0 ? random.Next(0, 360) : 0.0};
        if (layout == BlockLayout::Inserts) {
            out.Groups(0, "INSERT", 8, LayerName(random.Below(LayerCount)), 2, BlockName(block), 10,
                       placement.X, 20, placement.Y, 50, placement.Rotation);
        } else {
            random.Below(LayerCount); // the insert's layer, drawn to keep both layouts alike
            for (const Shape& shape : blocks[static_cast<std::size_t>(block)]) {
                WriteShape(out, shape, placement);
            }
        }
    }
    out.Groups(0, "ENDSEC", 0, "EOF");
    return std::fclose(file) == 0;
}

} // namespace plandra::bench
