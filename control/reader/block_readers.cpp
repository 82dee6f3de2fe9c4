// The readers of BLOCK, ENDBLK, INSERT and DIMENSION: block definitions go to their
// scratch files, and every INSERT or DIMENSION copies a block's entities into the
// drawing (or into the block being defined).
#include "control/database/aci_colors.h"
#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "control/database/layer_lookup.h"
#include "dxf_reader.h"

#include <type_traits>

namespace plandra {

namespace {

// Arrays grow by this much when inserted copies fill them.
constexpr Long CopyIncrement = 5;
constexpr Long BlockIncrement = 5;
// A dimension's texts are cut to this length.
constexpr std::size_t DimensionTextLength = 60;

float NonZeroScale(float scale) {
    return scale == 0 ? 1 : scale;
}

Long& LayerOf(ScratchRecord& record) {
    return std::visit([](auto& kind) -> Long& { return kind.LayerID; }, record);
}

} // namespace

InsertPlacement DxfReader::RelativeToOpenBlock(InsertPlacement placement) const {
    if (Database.InBlock) {
        const BlockRec& enclosing = Database.Blocks[Database.BlockCount];
        placement.X = ToSingle(static_cast<double>(placement.X) - enclosing.BaseX);
        placement.Y = ToSingle(static_cast<double>(placement.Y) - enclosing.BaseY);
    }
    return placement;
}

void DxfReader::CountCopy(const ScratchRecord& record) {
    // A filled area counts by its points, so that inserting a large one over and over
    // meets the allowance as soon as the same points as lines would.
    const auto* fill = std::get_if<FillRec>(&record);
    CopiesMade += fill == nullptr ? 1 : 1 + fill->Points.size() / 4;
    if (CopiesMade > CopyAllowance) {
        throw ControlError::Raised("Too many entities from inserted blocks.");
    }
}

bool DxfReader::DXFBlock() {
    return EntityReader("DXFBlock", [this] {
        Database.CurrentBlockName.Assign(Database.GroupValue[2]);
        BlockRec block;
        block.BaseX = Coordinate(10);
        block.BaseY = Coordinate(20);
        block.Name.Assign(Database.CurrentBlockName.Trimmed());
        ++Database.BlockCount;
        Database.Blocks.Store(Database.BlockCount, block, BlockIncrement);
        Database.Blocks[Database.BlockCount].FileName.Assign(Scratch->CreateForNewBlock());
        // The first definition of a name is the one inserts find.
        BlockNumbers.Remember(block.Name.Trimmed(), Database.BlockCount);
        Database.InBlock = true;
    });
}

void DxfReader::EndBlock() {
    Database.InBlock = false;
    Scratch->CloseOpenBlock();
}

bool DxfReader::DXFInsert(Long PendingIndex) {
    if (PendingIndex > 0) {
        return WithErrorTrail(
            "DXFInsert", [this] { ClearAfterFailure(); },
            [&] { return ExpandPendingInsert(PendingIndex); });
    }
    return EntityReader("DXFInsert", [this] {
        const GroupValues& group = Database.GroupValue;
        const std::string& blockName = group[2];
        Database.CurrentInsertLayer = SetLayerID(Database, group[8]);
        InsertPlacement placement{Coordinate(10), Coordinate(20), Coordinate(50),
                                  NonZeroScale(Coordinate(41)), NonZeroScale(Coordinate(42))};
        std::optional<Long> colorOverride;
        if (!group[62].empty()) {
            Integer colorNumber = ToInteger(ParseLenientNumber(group[62]));
            if (colorNumber != 0) {
                colorOverride = ColorFromACI(colorNumber);
            }
        }
        placement = RelativeToOpenBlock(placement);
        const Long block = BlockNumbers.Find(blockName);
        if (block == 0) {
            RememberPendingInsert(blockName, placement);
        } else if (block != Scratch->OpenBlock()) {
            // A block cannot take a copy of itself while it is still being written.
            CopyBlock(block, placement, colorOverride, Database.InBlock ? Scratch->OpenBlock() : 0);
        }
    });
}

void DxfReader::RememberPendingInsert(std::string_view blockName,
                                      const InsertPlacement& placement) {
    PendingInsertRec pending;
    pending.ParentBlock = Database.BlockCount;
    pending.BlockName.Assign(blockName);
    pending.LayerID = Database.CurrentInsertLayer;
    pending.X = placement.X;
    pending.Y = placement.Y;
    pending.Rotation = placement.Rotation;
    pending.XScale = placement.XScale;
    pending.YScale = placement.YScale;
    ++Database.PendingInsertCount;
    Database.PendingInserts.Preserve(Database.PendingInsertCount);
    Database.PendingInserts[Database.PendingInsertCount] = pending;
}

bool DxfReader::ExpandPendingInsert(Long index) {
    const PendingInsertRec& pending = Database.PendingInserts[index];
    Database.CurrentInsertLayer = static_cast<Integer>(pending.LayerID);
    const InsertPlacement placement{pending.X, pending.Y, pending.Rotation, pending.XScale,
                                    pending.YScale};
    const Long block = BlockNumbers.Find(pending.BlockName.Trimmed());
    const Long parent = pending.ParentBlock;
    // An insert of the block into itself, or of a block still being written, copies
    // nothing: either would read the file it writes.
    if (block != 0 && parent != 0 && block != parent && block != Scratch->OpenBlock()) {
        CopyBlock(block, placement, std::nullopt, parent);
    }
    return true;
}

bool DxfReader::ExpandPendingInserts() {
    bool result = true;
    // Each pending insert is copied once, at the first ENTITIES line after it.
    while (PendingInsertsExpanded < Database.PendingInsertCount) {
        result = DXFInsert(++PendingInsertsExpanded);
    }
    return result;
}

void DxfReader::WidenExtents(float x1, float y1, float x2, float y2) {
    if (!Database.ExtentsFromHeader) {
        Database.CheckExtents(x1, y1, x2, y2);
    }
}

void DxfReader::StoreCopy(LineRec& line, std::optional<Long> colorOverride) {
    line.Color = colorOverride.value_or(line.Color);
    WidenExtents(line.X1, line.Y1, line.X2, line.Y2);
    Database.Append(line, CopyIncrement);
}

void DxfReader::StoreCopy(PolySegRec& segment, std::optional<Long> colorOverride) {
    segment.Color = colorOverride.value_or(segment.Color);
    WidenExtents(segment.X1, segment.Y1, segment.X2, segment.Y2);
    Database.Append(segment, CopyIncrement);
}

void DxfReader::StoreCopy(SolidRec& solid, std::optional<Long>) {
    Database.Append(solid, CopyIncrement);
    WidenExtents(solid.X3, solid.Y3, solid.X4, solid.Y4);
}

void DxfReader::StoreCopy(FillRec& fill, std::optional<Long>) {
    for (const FillPoint& point : fill.Points) {
        WidenExtents(point.X, point.Y, point.X, point.Y);
    }
    Database.Append(fill, CopyIncrement);
}

template <typename Record> void DxfReader::StoreCopy(Record& record, std::optional<Long>) {
    // Texts, arcs, points and ellipses keep the colour of the block's record and
    // leave the extents alone.
    Database.Append(record, CopyIncrement);
}

void DxfReader::CopyBlock(Long block, const InsertPlacement& placement,
                          std::optional<Long> colorOverride, Long intoBlock) {
    std::vector<ScratchRecord> copies;
    for (const ScratchRecord& record : Scratch->Records(block)) {
        CountCopy(record);
        ScratchRecord copy = Placed(record, placement);
        Long& layer = LayerOf(copy);
        if (layer == 1) {
            // Entities on the first layer take the layer of the insert.
            layer = Database.CurrentInsertLayer;
        }
        if (intoBlock != 0) {
            copies.push_back(std::move(copy));
        } else {
            std::visit([&](auto& kind) { StoreCopy(kind, colorOverride); }, copy);
        }
    }
    if (intoBlock != 0) {
        Scratch->AppendToBlock(intoBlock, copies);
    }
}

bool DxfReader::DXFDimension() {
    return EntityReader("", [this] {
        const GroupValues& group = Database.GroupValue;
        const Long layer = SetLayerID(Database, group[8]);
        const Long color = EntityColor(layer);
        const Long block = BlockNumbers.Find(group[2]);
        if (block == 0 || block == Scratch->OpenBlock()) {
            return;
        }
        const BlockRec& definition = Database.Blocks[block];
        const InsertPlacement offset = InsertPlacement::Shift(
            ToSingle(static_cast<double>(Coordinate(12)) - definition.BaseX),
            ToSingle(static_cast<double>(Coordinate(22)) - definition.BaseY));
        for (const ScratchRecord& record : Scratch->Records(block)) {
            if (std::holds_alternative<PointRec>(record)) {
                continue;
            }
            CountCopy(record);
            ScratchRecord copy = Placed(record, offset);
            std::visit(
                [&](auto& kind) {
                    kind.LayerID = layer;
                    kind.Color = color;
                    if constexpr (std::is_same_v<std::decay_t<decltype(kind)>, TextRec>) {
                        kind.Text.Assign(kind.Text.View().substr(0, DimensionTextLength));
                    }
                    StoreCopy(kind, std::nullopt);
                },
                copy);
        }
    });
}

} // namespace plandra
