// The records of a block's scratch file: what an entity inside a block definition
// leaves behind, relative to the block's base point, until an INSERT copies it.
#pragma once

#include "control/database/entity_records.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace plandra {

/// One entity of a block, held in the record of the kind it becomes when inserted:
/// kind 1 lines, 2 polyline segments, 3 texts, 4 arcs, 5 solids, 6 points, 9 ellipses,
/// 10 filled areas.
using ScratchRecord =
    std::variant<LineRec, PolySegRec, TextRec, ArcRec, SolidRec, PointRec, EllipseRec, FillRec>;

/// The record as two text lines, each ended by CR LF: its kind code, then its fields
/// separated by commas (numbers with a decimal point, texts in double quotes with
/// a quote inside written twice).
std::string FormatScratchRecord(const ScratchRecord& record);

/// Reads back the records of a scratch file in the order written. A file that
/// cannot be opened raises "File not found"; a record that does not match its
/// kind's fields raises "Input past end of file" (fields missing) or "Type
/// mismatch" (a field or kind code that is not what the kind needs).
std::vector<ScratchRecord> ReadScratchFile(const std::string& fileName);
/// The same on a scratch file's whole text, read through the file service.
std::vector<ScratchRecord> ReadScratchText(std::string_view text);

} // namespace plandra
