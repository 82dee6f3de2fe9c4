// The DXF reader: one forward pass over a file's lines into the drawing database.
#pragma once

#include "block_placement.h"
#include "block_scratch_files.h"
#include "control/database/control_error.h"
#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "dxf_line_source.h"
#include "entity_groups.h"
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/screen.h"
#include "spline_curve.h"
#include "text_encoding.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace plandra {

/// The surfaces and screen a read reports on.
struct ReaderSurfaces {
    platform::Screen& Screen;
    /// Shows the progress bar while reading; may be null.
    platform::PictureBox* StatusBar = nullptr;
    /// The drawing surface, cleared when an entity reader fails; may be null.
    platform::PictureBox* DrawingSurface = nullptr;
    /// Shows the reader's warnings, such as a polyline without vertices; may be null.
    platform::MessageBoxService* MessageBox = nullptr;
    /// The machine the block scratch files are written on; null: the host's own files.
    platform::FileService* Files = nullptr;
};

/// Reads DXF files into a database. Every failure is raised as a ControlError whose
/// description carries the trail of the procedures it passed through.
class DxfReader {
public:
    DxfReader(DrawingDatabase& database, DrawingOptions& options,
              std::array<RealRect, 4>& prevZoomStack, ReaderSurfaces surfaces);

    /// Reads `FileName` into the database. Returns the last entity reader's result:
    /// True normally, False when a reader stopped the read.
    bool LoadDXF(const std::string& FileName);

    /// True when some line of the file, trimmed of blanks, is "SECTION". Starts the
    /// test with the line the last read left behind.
    bool MakeSureFileIsDXF(const std::string& FileName);

private:
    bool ReadLines();
    void ShowProgress();
    void FinishRead();
    bool ActOnLine(Long codeBefore);
    /// The kinds of today's CAD programs, read when ReadModernEntities is on: an
    /// entity name counts only right after a group 0 code line and a header variable
    /// name only after a group 9, so a layer or text that happens to be called
    /// "SPLINE" starts nothing.
    bool ActOnModernLine(Long codeBefore);

    bool LoadEntity();
    bool DXFMinExtents();
    bool DXFMaxExtents();
    void DropInvertedHeaderExtents();
    bool DXFNewLayer();
    bool DXFLine();
    bool DXFPoint();
    bool DXFCircle();
    bool DXFEllipse();
    bool DXFSolid();
    bool DXF3DFace();
    bool DXFPoly();
    bool DXFText(std::string_view EntityName);
    bool DXFAttrib();
    bool DXFAttDef();
    bool DXFBlock();
    void EndBlock();
    bool DXFInsert(Long PendingIndex);
    bool DXFDimension();
    bool DXFLwPolyline();
    bool DXFLeader();
    bool DXFSpline();
    bool DXFHatch();
    /// The chord tolerance of a curve through or near `points`, by the drawing's size.
    double ChordTolerance(const std::vector<CurvePoint>& points) const;
    /// Stores the straight segments joining `points`, each as `segment` otherwise is.
    void StorePath(const std::vector<CurvePoint>& points, PolySegRec segment);
    /// $ACADVER and $DWGCODEPAGE: the drawing's version and code page decide how
    /// its text bytes are read.
    bool DXFTextEncoding(bool version);
    /// A text value as the control holds it: decoded by the drawing's encoding when
    /// the modern kinds are read, else the bytes as they stand.
    std::string DrawingText(const std::string& bytes) const;
    /// Stores a polyline segment, or writes it to the open block; widens the extents
    /// with both ends when stored and asked to.
    void StoreSegment(const PolySegRec& segment, bool widenExtents);

    /// Copies the pending inserts recorded since the last ENTITIES line.
    bool ExpandPendingInserts();
    bool ExpandPendingInsert(Long index);
    void RememberPendingInsert(std::string_view blockName, const InsertPlacement& placement);
    /// The placement made relative to the base point of the block being defined.
    InsertPlacement RelativeToOpenBlock(InsertPlacement placement) const;
    /// Copies a block's records, placed, into the drawing (`intoBlock` 0) or into
    /// the scratch file of block `intoBlock`.
    void CopyBlock(Long block, const InsertPlacement& placement, std::optional<Long> colorOverride,
                   Long intoBlock);
    void CountCopy(const ScratchRecord& record);
    void WidenExtents(float X1, float Y1, float X2, float Y2);
    /// Stores an inserted copy: lines and polyline segments take the insert's
    /// colour; lines, segments and solids widen the extents.
    void StoreCopy(LineRec& line, std::optional<Long> colorOverride);
    void StoreCopy(PolySegRec& segment, std::optional<Long> colorOverride);
    void StoreCopy(SolidRec& solid, std::optional<Long> colorOverride);
    void StoreCopy(FillRec& fill, std::optional<Long> colorOverride);
    template <typename Record> void StoreCopy(Record& record, std::optional<Long> colorOverride);

    /// Outside a block definition appends the record to the drawing and returns
    /// True; inside one writes it, relative to the block's base point, to the
    /// block's scratch file and returns False.
    template <typename Record> bool StoreOrWriteToBlock(const Record& record, Long increment);

    /// Group 50, or for fit-aligned texts the slope from the insertion point to the
    /// alignment point (groups 11, 21) in degrees.
    float FitRotation(Long horzAlign, float x, float y) const;
    /// The face name and height factor the font map gives the text style of group 7.
    void MapFont(FixedString<20>& fontName, float& fontScalar) const;

    /// Reads the entity's groups and runs the reader's work under its name in the
    /// error trail; a failure also clears the drawing surface.
    template <typename Work> bool EntityReader(std::string_view name, Work&& work);
    /// As EntityReader, with every group also kept in file order in Groups.
    template <typename Work> bool GroupsReader(std::string_view name, Work&& work);
    void ClearAfterFailure();

    float Coordinate(Long code) const;
    Long EntityColor(Long layerID) const;
    void ResetPointer();

    DrawingDatabase& Database;
    DrawingOptions& Options;
    std::array<RealRect, 4>& PrevZoomStack;
    ReaderSurfaces Surfaces;

    std::optional<DxfLineSource> Source;
    /// The block scratch files of the read under way.
    std::optional<BlockScratchFiles> Scratch;
    /// Block numbers by name: the first definition of a name is the one found.
    NameIndex<Long> BlockNumbers;
    Long PendingInsertsExpanded = 0;
    std::uint64_t CopiesMade = 0;
    std::uint64_t CopyAllowance = 0;
    bool LayerTableSeen = false;
    /// The code that ended the last LoadEntity (0 or 9), -1 once the main loop has
    /// read a line of its own.
    Long EntityEndCode = -1;
    /// Filled by LoadEntity while a modern reader reads its groups.
    EntityGroups Groups;
    bool RecordingGroups = false;
    std::string AcadVer;
    std::string DwgCodePage;
    TextEncoding Encoding = TextEncoding::Ansi1252;
    float NextStep = 0;
    float StepSize = 0;
};

template <typename Work> bool DxfReader::EntityReader(std::string_view name, Work&& work) {
    return WithErrorTrail(
        name, [this] { ClearAfterFailure(); },
        [&] {
            LoadEntity();
            work();
            return true;
        });
}

template <typename Work> bool DxfReader::GroupsReader(std::string_view name, Work&& work) {
    return WithErrorTrail(
        name,
        [this] {
            RecordingGroups = false;
            ClearAfterFailure();
        },
        [&] {
            Groups.Clear();
            RecordingGroups = true;
            LoadEntity();
            RecordingGroups = false;
            work();
            return true;
        });
}

template <typename Record>
bool DxfReader::StoreOrWriteToBlock(const Record& record, Long increment) {
    if (!Database.InBlock) {
        Database.Append(record, increment);
        return true;
    }
    const BlockRec& block = Database.Blocks[Database.BlockCount];
    Scratch->Write(Placed(record, InsertPlacement::Shift(-block.BaseX, -block.BaseY)));
    return false;
}

} // namespace plandra
