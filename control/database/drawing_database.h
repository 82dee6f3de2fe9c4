// The in-memory drawing: one growable record array per entity kind, the sequence
// list in reading order, block definitions, layers, extents and the reader's fields.
#pragma once

#include "dxf_layers.h"
#include "entity_records.h"
#include "real_rect.h"
#include "record_array.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace plandra {

/// The value lines of the entity being read, by group code 0 to 1000.
class GroupValues {
public:
    static constexpr Long HighestCode = 1000;

    /// The value of a group code; empty when the entity did not carry it.
    const std::string& operator[](Long code) const {
        return Values[static_cast<std::size_t>(code)];
    }

    /// The slot for a code from 0 to 1000, remembered so that Clear touches only it.
    std::string& Slot(Long code);

    /// Empties every slot: only those filled since the last Clear need it.
    void Clear();

private:
    std::array<std::string, HighestCode + 1> Values;
    std::array<bool, HighestCode + 1> Filled{};
    std::array<Long, HighestCode + 1> FilledCodes{};
    std::size_t FilledCount = 0;
};

/// Values found by exact name, for lookups that would otherwise scan a table: the
/// first value remembered under a name stays.
template <typename Value> class NameIndex {
public:
    /// The value remembered under exactly this name, or 0.
    Value Find(std::string_view name) const {
        auto found = Values.find(name);
        return found == Values.end() ? Value{0} : found->second;
    }
    void Remember(std::string_view name, Value value) { Values.emplace(std::string(name), value); }
    void Clear() { Values.clear(); }

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };
    std::unordered_map<std::string, Value, NameHash, std::equal_to<>> Values;
};

/// Layer positions found by name during one load, by the exact name asked for, so
/// that each name is looked up in the collection once.
using LayerLookupCache = NameIndex<Integer>;

class DrawingDatabase {
public:
    /// Empties the database for a new drawing when `Full`; always empties the block
    /// table and leaves block definition mode. Returns True.
    bool InitDB(bool Full);

    /// Grows SeqArray by its increment of 100. Returns True.
    bool ExpandSeqArray();

    /// Widens Extents to contain both points.
    void CheckExtents(double X1, double Y1, double X2, double Y2);

    /// The layer collection, created empty when there is none yet.
    DXFLayers& Layers();

    /// Appends a record of its kind by the growth rule with `increment`, then its
    /// sequence entry.
    void Append(const LineRec& record, Long increment) {
        AppendEntity(EntityKind::Line, Lines, LineCount, record, increment);
    }
    void Append(const PolySegRec& record, Long increment) {
        AppendEntity(EntityKind::PolySeg, PolySegs, PolySegCount, record, increment);
    }
    void Append(const TextRec& record, Long increment) {
        AppendEntity(EntityKind::Text, Texts, TextCount, record, increment);
    }
    void Append(const ArcRec& record, Long increment) {
        AppendEntity(EntityKind::Arc, Arcs, ArcCount, record, increment);
    }
    void Append(const EllipseRec& record, Long increment) {
        AppendEntity(EntityKind::Ellipse, Ellipses, EllipseCount, record, increment);
    }
    void Append(const PointRec& record, Long increment) {
        AppendEntity(EntityKind::Point, Points, PointCount, record, increment);
    }
    void Append(const SolidRec& record, Long increment) {
        AppendEntity(EntityKind::Solid, Solids, SolidCount, record, increment);
    }
    void Append(const FillRec& record, Long increment) {
        AppendEntity(EntityKind::Fill, Fills, FillCount, record, increment);
    }

    /// Appends a record by the growth rule (bumping `counter`), then its sequence entry.
    template <typename Record>
    void AppendEntity(EntityKind kind, RecordArray<Record>& array, Long& counter,
                      const Record& record, Long increment) {
        ++counter;
        array.Store(counter, record, increment);
        ++SeqCount;
        if (SeqCount > SeqArray.UpperBound()) {
            ExpandSeqArray();
        }
        SeqArray[SeqCount] = SeqEntry{static_cast<Long>(kind), counter};
    }

    RecordArray<SeqEntry> SeqArray;
    Long SeqCount = 0;
    RecordArray<LineRec> Lines;
    Long LineCount = 0;
    RecordArray<PolySegRec> PolySegs;
    Long PolySegCount = 0;
    RecordArray<TextRec> Texts;
    Long TextCount = 0;
    RecordArray<ArcRec> Arcs;
    Long ArcCount = 0;
    RecordArray<EllipseRec> Ellipses;
    Long EllipseCount = 0;
    RecordArray<PointRec> Points;
    Long PointCount = 0;
    RecordArray<SolidRec> Solids;
    Long SolidCount = 0;
    RecordArray<FillRec> Fills;
    Long FillCount = 0;
    RecordArray<AttribRec> Attribs;
    Long AttribCount = 0;
    RecordArray<BlockRec> Blocks;
    Long BlockCount = 0;
    RecordArray<PendingInsertRec> PendingInserts;
    Long PendingInsertCount = 0;

    /// The layer collection; null until the first InitDB(True) or Layers() call.
    std::shared_ptr<DXFLayers> colLayers;

    RealRect Extents = EmptyExtents;
    /// True once both header variables gave the extents; entities then leave them alone.
    bool ExtentsFromHeader = false;
    bool ExtMinRead = false;
    bool ExtMaxRead = false;

    LayerLookupCache LayerPositions;

    // Reader state kept between entity readers.
    GroupValues GroupValue;
    std::string CurrentLine;
    bool InBlock = false;
    FixedString<50> CurrentBlockName;
    Integer CurrentInsertLayer = 0;
    bool InEntitiesSection = false;
    /// The number of the last block scratch file: it runs on across all reads of the
    /// control, so no two blocks of one control share a file name.
    Long BlockFileCounter = 0;
    /// False while a file is being read; True once a read has finished.
    bool DXFComplete = false;
};

} // namespace plandra
