// The reader's main loop: keyword dispatch, progress bar and the end of a read.
#include "dxf_reader.h"

#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "platform/ansi_text.h"

namespace plandra {

namespace {

enum class Keyword {
    None,
    ExtMin,
    ExtMax,
    Layer,
    Block,
    EndBlock,
    Line,
    Circle,
    Ellipse,
    Point,
    Solid,
    Face3D,
    Polyline,
    Text,
    MText,
    Attrib,
    AttDef,
    Insert,
    Dimension,
    Entities,
};

// The exact, case-sensitive keyword lines; a value line that happens to equal one
// of them starts that reader too.
Keyword ClassifyLine(std::string_view line) {
    struct Entry {
        std::string_view Text;
        Keyword Kind;
    };
    static constexpr Entry Table[] = {
        {"$EXTMIN", Keyword::ExtMin}, {"$EXTMAX", Keyword::ExtMax},
        {"ATTDEF", Keyword::AttDef},  {"LAYER", Keyword::Layer},
        {"BLOCK", Keyword::Block},    {"ENDBLK", Keyword::EndBlock},
        {"LINE", Keyword::Line},      {"CIRCLE", Keyword::Circle},
        {"ARC", Keyword::Circle},     {"ELLIPSE", Keyword::Ellipse},
        {"POINT", Keyword::Point},    {"POLYLINE", Keyword::Polyline},
        {"TEXT", Keyword::Text},      {"MTEXT", Keyword::MText},
        {"SOLID", Keyword::Solid},    {"3DFACE", Keyword::Face3D},
        {"INSERT", Keyword::Insert},  {"DIMENSION", Keyword::Dimension},
        {"ATTRIB", Keyword::Attrib},  {"ENTITIES", Keyword::Entities},
    };
    if (line.size() < 3 || line.size() > 9) {
        return Keyword::None;
    }
    for (const Entry& entry : Table) {
        if (entry.Text.size() == line.size() && entry.Text == line) {
            return entry.Kind;
        }
    }
    return Keyword::None;
}

// A code line read as a Long. Nearly all are a few digits after blanks; anything
// else goes through the general number rule.
Long ParseGroupCode(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    if (i == line.size() || line.size() - i > 9) {
        return ToLong(ParseLenientNumber(line));
    }
    Long code = 0;
    for (; i < line.size(); ++i) {
        char c = line[i];
        if (c < '0' || c > '9') {
            return ToLong(ParseLenientNumber(line));
        }
        code = code * 10 + (c - '0');
    }
    return code;
}

// Inserted copies allowed per read, besides a share per byte of the file: enough
// for any real drawing, while blocks inserting blocks ten times over, level after
// level, cannot fill the memory.
constexpr std::uint64_t BaseCopyAllowance = 250'000;
constexpr std::uint64_t CopiesPerFileByte = 64;

constexpr platform::ColorRef ProgressBlue = platform::Rgb(0, 0, 255);

} // namespace

DxfReader::DxfReader(DrawingDatabase& database, DrawingOptions& options,
                     std::array<RealRect, 4>& prevZoomStack, ReaderSurfaces surfaces)
    : Database(database), Options(options), PrevZoomStack(prevZoomStack), Surfaces(surfaces) {}

void DxfReader::ResetPointer() {
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
}

void DxfReader::ClearAfterFailure() {
    ResetPointer();
    if (Surfaces.DrawingSurface != nullptr) {
        Surfaces.DrawingSurface->Cls();
    }
}

bool DxfReader::LoadDXF(const std::string& FileName) {
    // A failed read leaves no scratch files behind either.
    auto cleanup = [this] {
        ResetPointer();
        Scratch.reset();
    };
    bool isDxf = WithErrorTrail("LoadDXF", cleanup, [&] {
        Database.DXFComplete = false;
        // The state one read keeps between entity readers starts afresh: a read that
        // failed inside a block definition would otherwise send the next read's
        // entities, merged or not, to a block that no longer exists.
        Database.InEntitiesSection = false;
        Database.InBlock = false;
        Database.CurrentBlockName.Assign("");
        Database.CurrentInsertLayer = 0;
        Database.BlockCount = 0;
        Database.PendingInsertCount = 0;
        Options.RedlineTextHeight = 0;
        Source.reset();
        Source.emplace(DxfLineSource::Open(FileName));
        return MakeSureFileIsDXF(FileName);
    });
    if (!isDxf) {
        Source.reset();
        ResetPointer();
        throw ControlError::Raised(FileName + " does not appear to be a DXF file.");
    }

    return WithErrorTrail("LoadDXF", cleanup, [&] {
        Database.Extents = EmptyExtents;
        // Header extents belong to the file they were read from: without this a
        // later file without them would never widen its extents.
        Database.ExtentsFromHeader = false;
        Database.ExtMinRead = false;
        Database.ExtMaxRead = false;
        Database.LayerPositions.Clear();
        Scratch.emplace(Database, Options, Surfaces.Files);
        BlockNumbers.Clear();
        PendingInsertsExpanded = 0;
        CopiesMade = 0;
        CopyAllowance = BaseCopyAllowance + CopiesPerFileByte * Source->Length();
        LayerTableSeen = false;
        AcadVer.clear();
        DwgCodePage.clear();
        Encoding = TextEncoding::Ansi1252;
        NextStep = 0.05f;
        StepSize = 0.05f;
        if (Surfaces.StatusBar != nullptr) {
            Surfaces.StatusBar->SetVisible(true);
        }
        bool result = ReadLines();
        FinishRead();
        return result;
    });
}

bool DxfReader::ReadLines() {
    bool keepReading = true;
    // The group code the line just read follows, when the line before it was one the
    // main loop can tell: -1 for none.
    Long codeBefore = -1;
    while (keepReading && !Source->AtEnd()) {
        Source->ReadLine(Database.CurrentLine);
        ShowProgress();
        Long codeOfThisLine = -1;
        if (Options.ReadModernEntities) {
            std::string_view trimmed = platform::TrimBlanks(Database.CurrentLine);
            if (trimmed == "0" || trimmed == "9") {
                codeOfThisLine = trimmed[0] - '0';
            }
        }
        EntityEndCode = -1;
        keepReading = ActOnLine(codeBefore);
        // After an entity reader the next line follows the code that ended its groups.
        codeBefore = EntityEndCode >= 0 ? EntityEndCode : codeOfThisLine;
    }
    return keepReading;
}

void DxfReader::ShowProgress() {
    // Position() is 0-based; the position of the next read counts from 1.
    float progress = static_cast<float>(static_cast<double>(Source->Position() + 1) /
                                        static_cast<double>(Source->Length()));
    if (progress > 1) {
        progress = 1;
    }
    if (progress > NextStep) {
        if (Surfaces.StatusBar != nullptr) {
            platform::PictureBox& bar = *Surfaces.StatusBar;
            bar.FillBox(0, 0, bar.ScaleWidth() * progress, bar.Height(), ProgressBlue);
            bar.Refresh();
        }
        NextStep += StepSize;
    }
}

bool DxfReader::ActOnLine(Long codeBefore) {
    switch (ClassifyLine(Database.CurrentLine)) {
    case Keyword::ExtMin:
        return DXFMinExtents();
    case Keyword::ExtMax:
        return DXFMaxExtents();
    case Keyword::Layer:
        // The first LAYER line names the layer table itself.
        if (!LayerTableSeen) {
            LayerTableSeen = true;
            return true;
        }
        return DXFNewLayer();
    case Keyword::Block:
        return DXFBlock();
    case Keyword::EndBlock:
        EndBlock();
        return true;
    case Keyword::Line:
        return DXFLine();
    case Keyword::Circle:
        return DXFCircle();
    case Keyword::Ellipse:
        return DXFEllipse();
    case Keyword::Point:
        return DXFPoint();
    case Keyword::Solid:
        return DXFSolid();
    case Keyword::Face3D:
        return DXF3DFace();
    case Keyword::Polyline:
        return DXFPoly();
    case Keyword::Text:
        return DXFText("TEXT");
    case Keyword::MText:
        return DXFText("MTEXT");
    case Keyword::Attrib:
        return DXFAttrib();
    case Keyword::AttDef:
        return DXFAttDef();
    case Keyword::Insert:
        return DXFInsert(0);
    case Keyword::Dimension:
        return DXFDimension();
    case Keyword::Entities:
        Database.InEntitiesSection = true;
        return ExpandPendingInserts();
    case Keyword::None:
        return Options.ReadModernEntities ? ActOnModernLine(codeBefore) : true;
    }
    return true;
}

void DxfReader::FinishRead() {
    Source.reset();
    PrevZoomStack.fill(Database.Extents);
    if (Surfaces.StatusBar != nullptr) {
        Surfaces.StatusBar->SetVisible(false);
        Surfaces.StatusBar->Cls();
    }
    Database.DXFComplete = true;
    Scratch.reset();
}

bool DxfReader::MakeSureFileIsDXF(const std::string& FileName) {
    DxfLineSource check = DxfLineSource::Open(FileName);
    std::string& line = Database.CurrentLine;
    while (platform::TrimBlanks(line) != "SECTION" && !check.AtEnd()) {
        check.ReadLine(line);
    }
    return platform::TrimBlanks(line) == "SECTION";
}

bool DxfReader::LoadEntity() {
    try {
        Database.GroupValue.Clear();
        for (;;) {
            Long code = ParseGroupCode(Source->ReadLineView());
            if (code == 0 || code == 9) {
                EntityEndCode = code;
                return true;
            }
            if (code == 3 && !Database.GroupValue[3].empty()) {
                // Long MTEXT values come in several group 3 chunks: keep them all.
                std::string& chunks = Database.GroupValue.Slot(3);
                std::string_view chunk = Source->ReadLineView();
                chunks.append(chunk);
                if (RecordingGroups) {
                    Groups.Add(code, chunk);
                }
            } else if (code > 0 && code <= GroupValues::HighestCode) {
                Source->ReadLine(Database.GroupValue.Slot(code));
                if (RecordingGroups) {
                    Groups.Add(code, Database.GroupValue[code]);
                }
            } else {
                Source->ReadLineView();
            }
        }
    } catch (ControlError& error) {
        error.Description.append(". Error in LoadEntity.");
        throw;
    }
}

} // namespace plandra
