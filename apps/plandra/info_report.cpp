// What `plandra info` prints about a loaded drawing.
#include "info_report.h"

#include "apps/common/json_text.h"
#include "platform/ansi_text.h"

#include <array>
#include <cstdio>
#include <ostream>

namespace plandra::cli {

namespace {

// Nine significant digits bring every Single back exactly.
std::string FormatSingle(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string FormatRrggbb(Long colorRef) {
    auto value = static_cast<unsigned>(colorRef);
    char text[8];
    std::snprintf(text, sizeof text, "%02X%02X%02X", value & 0xFF, (value >> 8) & 0xFF,
                  (value >> 16) & 0xFF);
    return text;
}

struct KindCount {
    const char* JsonName;
    const char* TextName;
    Long Count;
};

std::array<KindCount, 9> KindCounts(const DrawingDatabase& database) {
    return {{
        {"lines", "lines", database.LineCount},
        {"polylineSegments", "polyline segments", database.PolySegCount},
        {"texts", "texts", database.TextCount},
        {"arcs", "circles and arcs", database.ArcCount},
        {"solids", "solids", database.SolidCount},
        {"points", "points", database.PointCount},
        {"attributes", "attributes", database.AttribCount},
        {"ellipses", "ellipses", database.EllipseCount},
        {"filledAreas", "filled areas", database.FillCount},
    }};
}

} // namespace

void WriteInfoText(std::ostream& out, const std::string& fileName, const LoadedDrawing& drawing) {
    const DrawingDatabase& database = drawing.Database;
    out << "file: " << platform::AnsiToUtf8(fileName) << "\n";
    for (const KindCount& kind : KindCounts(database)) {
        out << "  " << kind.TextName << ": " << kind.Count << "\n";
    }
    out << "sequence entries: " << database.SeqCount << "\n";
    out << "blocks: " << database.BlockCount << "\n";
    const RealRect& extents = database.Extents;
    out << "extents: left " << FormatSingle(extents.Left) << ", top " << FormatSingle(extents.Top)
        << ", right " << FormatSingle(extents.Right) << ", bottom " << FormatSingle(extents.Bottom)
        << "\n";
    out << "redline text height: " << FormatSingle(drawing.Options.RedlineTextHeight) << "\n";
    Long layerCount = database.colLayers ? database.colLayers->Count() : 0;
    out << "layers: " << layerCount << "\n";
    for (Long i = 1; i <= layerCount; ++i) {
        const DXFLayer& layer = *database.colLayers->Item(i);
        out << "  " << i << " \"" << platform::AnsiToUtf8(layer.LayerName) << "\" colour "
            << FormatRrggbb(layer.LayerColor) << (layer.LayerOn ? " on" : " off")
            << (layer.GetRedlineLayer() ? " redline" : "") << "\n";
    }
}

void WriteInfoJson(std::ostream& out, const std::string& fileName, const LoadedDrawing& drawing) {
    const DrawingDatabase& database = drawing.Database;
    out << "{\"file\": " << apps::JsonString(fileName) << ", \"entities\": {";
    const char* separator = "";
    for (const KindCount& kind : KindCounts(database)) {
        out << separator << "\"" << kind.JsonName << "\": " << kind.Count;
        separator = ", ";
    }
    const RealRect& extents = database.Extents;
    out << "}, \"sequence\": " << database.SeqCount << ", \"blocks\": " << database.BlockCount
        << ", \"extents\": {\"left\": " << FormatSingle(extents.Left)
        << ", \"top\": " << FormatSingle(extents.Top)
        << ", \"right\": " << FormatSingle(extents.Right)
        << ", \"bottom\": " << FormatSingle(extents.Bottom) << "}, \"layers\": [";
    Long layerCount = database.colLayers ? database.colLayers->Count() : 0;
    for (Long i = 1; i <= layerCount; ++i) {
        const DXFLayer& layer = *database.colLayers->Item(i);
        out << (i > 1 ? ", " : "") << "{\"name\": " << apps::JsonString(layer.LayerName)
            << ", \"color\": \"" << FormatRrggbb(layer.LayerColor)
            << "\", \"on\": " << (layer.LayerOn ? "true" : "false")
            << ", \"redline\": " << (layer.GetRedlineLayer() ? "true" : "false") << "}";
    }
    out << "], \"redlineTextHeight\": " << FormatSingle(drawing.Options.RedlineTextHeight) << "}\n";
}

} // namespace plandra::cli
