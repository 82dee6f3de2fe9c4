// The drawing database.
#include "drawing_database.h"

namespace plandra {

std::string& GroupValues::Slot(Long code) {
    auto index = static_cast<std::size_t>(code);
    if (!Filled[index]) {
        Filled[index] = true;
        FilledCodes[FilledCount++] = code;
    }
    return Values[index];
}

void GroupValues::Clear() {
    for (std::size_t i = 0; i < FilledCount; ++i) {
        auto index = static_cast<std::size_t>(FilledCodes[i]);
        Values[index].clear();
        Filled[index] = false;
    }
    FilledCount = 0;
}

bool DrawingDatabase::InitDB(bool Full) {
    if (Full) {
        LineCount = 0;
        PolySegCount = 0;
        TextCount = 0;
        ArcCount = 0;
        SolidCount = 0;
        AttribCount = 0;
        SeqArray.Dimension(100);
        Lines.Dimension(50);
        PolySegs.Dimension(50);
        Texts.Dimension(50);
        Arcs.Dimension(10);
        Solids.Dimension(10);
        Attribs.Dimension(5);
        PendingInserts.Dimension(0);
        // Points and ellipses are emptied too: their counters would otherwise
        // keep growing from one drawing to the next.
        PointCount = 0;
        EllipseCount = 0;
        Points.Dimension(0);
        Ellipses.Dimension(0);
        FillCount = 0;
        Fills.Dimension(0);
        colLayers = std::make_shared<DXFLayers>();
        SeqCount = 0;
    }
    Blocks.Dimension(5);
    InBlock = false;
    LayerPositions.Clear();
    return true;
}

bool DrawingDatabase::ExpandSeqArray() {
    SeqArray.Preserve(SeqArray.UpperBound() + 100);
    return true;
}

void DrawingDatabase::CheckExtents(double X1, double Y1, double X2, double Y2) {
    if (X1 < Extents.Left) {
        Extents.Left = static_cast<float>(X1);
    }
    if (X2 < Extents.Left) {
        Extents.Left = static_cast<float>(X2);
    }
    if (X1 > Extents.Right) {
        Extents.Right = static_cast<float>(X1);
    }
    if (X2 > Extents.Right) {
        Extents.Right = static_cast<float>(X2);
    }
    if (Y1 < Extents.Bottom) {
        Extents.Bottom = static_cast<float>(Y1);
    }
    if (Y2 < Extents.Bottom) {
        Extents.Bottom = static_cast<float>(Y2);
    }
    if (Y1 > Extents.Top) {
        Extents.Top = static_cast<float>(Y1);
    }
    if (Y2 > Extents.Top) {
        Extents.Top = static_cast<float>(Y2);
    }
}

DXFLayers& DrawingDatabase::Layers() {
    if (!colLayers) {
        colLayers = std::make_shared<DXFLayers>();
    }
    return *colLayers;
}

} // namespace plandra
