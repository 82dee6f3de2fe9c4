// The DXF records the writer splices into the copied file.
#include "redline_records.h"

#include "control/database/dxf_layers.h"
#include "dxf_values.h"
#include "redline_input.h"

#include <string>

namespace plandra {

namespace {

const DXFLayers* LayersOf(const DrawingDatabase& database) {
    return database.colLayers.get();
}

// A name on one line, so that the file keeps its pairs of lines. An entity whose layer
// the host has removed goes on layer "0", which every drawing has.
std::string LayerNameOf(const DrawingDatabase& database, Long LayerID) {
    const DXFLayers* layers = LayersOf(database);
    if (layers == nullptr || LayerID < 1 || LayerID > layers->Count()) {
        return std::string(DefaultRedlineLayer);
    }
    return OneLine(layers->Item(LayerID)->LayerName);
}

void WriteHandle(ReplacingFile& output, HandleCounter& handles) {
    if (handles.Last) {
        output.WriteLine("5");
        output.WriteLine(DxfHandle(handles.Next()));
    }
}

void WritePair(ReplacingFile& output, std::string_view code, std::string_view value) {
    output.WriteLine(code);
    output.WriteLine(value);
}

void WritePoint(ReplacingFile& output, std::string_view x, std::string_view y, std::string_view z,
                float X, float Y) {
    WritePair(output, x, DxfSingle(X));
    WritePair(output, y, DxfSingle(Y));
    WritePair(output, z, "0");
}

void WriteLine(ReplacingFile& output, const DrawingDatabase& database, const LineRec& line,
               HandleCounter& handles) {
    WritePair(output, "0", "LINE");
    if (handles.Last) {
        WriteHandle(output, handles);
        WritePair(output, "100", "AcDbEntity");
        WritePair(output, "100", "AcDbLine");
    }
    WritePair(output, "8", LayerNameOf(database, line.LayerID));
    WritePoint(output, "10", "20", "30", line.X2, line.Y2);
    WritePoint(output, "11", "21", "31", line.X1, line.Y1);
}

void WriteCircle(ReplacingFile& output, const DrawingDatabase& database, const ArcRec& circle,
                 HandleCounter& handles) {
    WritePair(output, "0", "CIRCLE");
    WriteHandle(output, handles);
    WritePair(output, "8", LayerNameOf(database, circle.LayerID));
    WritePoint(output, "10", "20", "30", circle.CenterX, circle.CenterY);
    WritePair(output, "40", DxfSingle(circle.Radius));
}

void WriteText(ReplacingFile& output, const DrawingDatabase& database, const TextRec& text,
               HandleCounter& handles) {
    WritePair(output, "0", "TEXT");
    WriteHandle(output, handles);
    WritePair(output, "8", LayerNameOf(database, text.LayerID));
    WritePoint(output, "10", "20", "30", text.X, text.Y);
    WritePair(output, "40", DxfSingle(text.Height));
    // The whole 100-character field, padding included.
    WritePair(output, "1", text.Text.View());
    WritePair(output, "50", DxfSingle(text.Rotation));
}

template <typename Record>
std::uint64_t CountRedline(const RecordArray<Record>& records, Long count) {
    std::uint64_t redline = 0;
    for (Long i = 1; i <= count; ++i) {
        redline += records[i].Redline != IntegerFalse ? 1 : 0;
    }
    return redline;
}

} // namespace

std::uint64_t CountNewItems(const DrawingDatabase& database) {
    std::uint64_t count = 0;
    if (const DXFLayers* layers = LayersOf(database)) {
        for (Long i = 1; i <= layers->Count(); ++i) {
            count += layers->Item(i)->NewLayer != IntegerFalse ? 1 : 0;
        }
    }
    return count + CountRedline(database.Lines, database.LineCount) +
           CountRedline(database.Texts, database.TextCount) +
           CountRedline(database.Arcs, database.ArcCount);
}

void WriteNewLayers(ReplacingFile& output, const DrawingDatabase& database,
                    HandleCounter& handles) {
    const DXFLayers* layers = LayersOf(database);
    for (Long i = 1; layers != nullptr && i <= layers->Count(); ++i) {
        const DXFLayer& layer = *layers->Item(i);
        if (layer.NewLayer == IntegerFalse) {
            continue;
        }
        WritePair(output, "0", "LAYER");
        if (handles.Last) {
            WriteHandle(output, handles);
            WritePair(output, "100", "AcDbSymbolTableRecord");
            WritePair(output, "100", "AcDbLayerTableRecord");
        }
        WritePair(output, "2", OneLine(layer.LayerName));
        WritePair(output, "999", "REDLINE LAYER CREATED BY PLANDRA OCX FROM CORVANE");
        WritePair(output, "70", "64");
        const Integer color = ColorToACI(layer.LayerColor);
        WritePair(output, "62", std::to_string(layer.LayerOn == IntegerFalse ? -color : color));
        WritePair(output, "6", "CONTINUOUS");
    }
}

void WriteRedlineEntities(ReplacingFile& output, const DrawingDatabase& database,
                          HandleCounter& handles) {
    for (Long i = 1; i <= database.SeqCount; ++i) {
        const SeqEntry& entry = database.SeqArray[i];
        const Long index = entry.EntityIndex;
        switch (static_cast<EntityKind>(entry.EntityType)) {
        case EntityKind::Line:
            if (const LineRec& line = database.Lines[index];
                line.Redline != IntegerFalse && line.Deleted == IntegerFalse) {
                WriteLine(output, database, line, handles);
            }
            break;
        case EntityKind::Arc:
            if (const ArcRec& circle = database.Arcs[index];
                circle.Redline != IntegerFalse && circle.Deleted == IntegerFalse) {
                WriteCircle(output, database, circle, handles);
            }
            break;
        case EntityKind::Text:
            if (const TextRec& text = database.Texts[index];
                text.Redline != IntegerFalse && text.Deleted == IntegerFalse) {
                WriteText(output, database, text, handles);
            }
            break;
        default:
            break;
        }
    }
}

} // namespace plandra
