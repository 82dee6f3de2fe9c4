// Writing and reading the two-line records of block scratch files.
#include "scratch_records.h"

#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "dxf_line_source.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <type_traits>

namespace plandra {

namespace {

// Kind codes as the file carries them: the sequence-list codes of the kinds.
template <typename Record> constexpr Long KindCode() {
    if constexpr (std::is_same_v<Record, LineRec>) {
        return static_cast<Long>(EntityKind::Line);
    } else if constexpr (std::is_same_v<Record, PolySegRec>) {
        return static_cast<Long>(EntityKind::PolySeg);
    } else if constexpr (std::is_same_v<Record, TextRec>) {
        return static_cast<Long>(EntityKind::Text);
    } else if constexpr (std::is_same_v<Record, ArcRec>) {
        return static_cast<Long>(EntityKind::Arc);
    } else if constexpr (std::is_same_v<Record, SolidRec>) {
        return static_cast<Long>(EntityKind::Solid);
    } else if constexpr (std::is_same_v<Record, PointRec>) {
        return static_cast<Long>(EntityKind::Point);
    } else if constexpr (std::is_same_v<Record, EllipseRec>) {
        return static_cast<Long>(EntityKind::Ellipse);
    } else {
        static_assert(std::is_same_v<Record, FillRec>);
        return static_cast<Long>(EntityKind::Fill);
    }
}

// The constant field a line record carries where a polyline segment has its width.
constexpr Long LineMarker = 1;

std::string_view WithoutTrailingBlanks(std::string_view text) {
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

class FieldWriter {
public:
    void Number(float value) {
        Separate();
        char digits[32];
        // The shortest form that reads back as exactly the same Single.
        auto result = std::to_chars(std::begin(digits), std::end(digits), value);
        Line.append(digits, result.ptr);
    }
    void Number(Long value) {
        Separate();
        Line += std::to_string(value);
    }
    void Text(std::string_view text) {
        Separate();
        Line += '"';
        for (char c : text) {
            Line += c;
            if (c == '"') {
                Line += '"';
            }
        }
        Line += '"';
    }
    std::string Finish(Long kind) { return std::to_string(kind) + "\r\n" + Line + "\r\n"; }

private:
    void Separate() {
        if (!First) {
            Line += ',';
        }
        First = false;
    }
    std::string Line;
    bool First = true;
};

class FieldReader {
public:
    explicit FieldReader(std::string_view line) : Rest(line) {}

    float Single() { return ToSingle(Number()); }
    Long Whole() {
        double value = Number();
        if (value != std::floor(value)) {
            throw ControlError::Runtime(RuntimeError::TypeMismatch);
        }
        return ToLong(value);
    }
    /// A Long field that may carry a fraction: rounded, ties to even.
    Long Rounded() { return ToLong(Number()); }

    std::string Text() {
        std::string_view field = NextField();
        if (field.size() < 2 || field.front() != '"' || field.back() != '"') {
            throw ControlError::Runtime(RuntimeError::TypeMismatch);
        }
        std::string text;
        for (std::size_t i = 1; i + 1 < field.size(); ++i) {
            text += field[i];
            if (field[i] == '"') {
                ++i; // the second quote of a doubled pair
            }
        }
        return text;
    }

    void ExpectEnd() const {
        if (!Done) {
            throw ControlError::Runtime(RuntimeError::TypeMismatch);
        }
    }

private:
    double Number() {
        std::string_view field = NextField();
        double value = 0;
        auto result = std::from_chars(field.data(), field.data() + field.size(), value);
        if (result.ec != std::errc{} || result.ptr != field.data() + field.size()) {
            throw ControlError::Runtime(RuntimeError::TypeMismatch);
        }
        return value;
    }

    // The next comma-separated field; a comma inside quotes belongs to the text.
    std::string_view NextField() {
        if (Done) {
            throw ControlError::Runtime(RuntimeError::InputPastEndOfFile);
        }
        bool quoted = false;
        std::size_t i = 0;
        for (; i < Rest.size(); ++i) {
            if (Rest[i] == '"') {
                quoted = !quoted;
            } else if (Rest[i] == ',' && !quoted) {
                break;
            }
        }
        std::string_view field = Rest.substr(0, i);
        if (i == Rest.size()) {
            Done = true;
            Rest = {};
        } else {
            Rest.remove_prefix(i + 1);
        }
        return field;
    }

    std::string_view Rest;
    bool Done = false;
};

std::string Format(const LineRec& line) {
    FieldWriter out;
    out.Number(line.X1);
    out.Number(line.Y1);
    out.Number(line.X2);
    out.Number(line.Y2);
    out.Number(line.Color);
    out.Number(line.LayerID);
    out.Number(LineMarker);
    out.Number(line.PenStyle);
    return out.Finish(KindCode<LineRec>());
}

std::string Format(const PolySegRec& segment) {
    FieldWriter out;
    out.Number(segment.X1);
    out.Number(segment.Y1);
    out.Number(segment.X2);
    out.Number(segment.Y2);
    out.Number(segment.Color);
    out.Number(segment.LayerID);
    out.Number(segment.Width);
    out.Number(segment.Bulge);
    return out.Finish(KindCode<PolySegRec>());
}

std::string Format(const TextRec& text) {
    FieldWriter out;
    out.Number(text.X);
    out.Number(text.Y);
    out.Text(WithoutTrailingBlanks(text.Text.View()));
    out.Number(text.Height);
    out.Number(text.Rotation);
    out.Number(text.HorzAlign);
    out.Number(text.Underline);
    out.Number(text.LayerID);
    out.Number(text.Color);
    out.Text(text.FontName.Trimmed());
    out.Number(text.FontScalar);
    return out.Finish(KindCode<TextRec>());
}

std::string Format(const ArcRec& arc) {
    FieldWriter out;
    out.Number(arc.CenterX);
    out.Number(arc.CenterY);
    out.Number(arc.Radius);
    out.Number(arc.StartAngle);
    out.Number(arc.EndAngle);
    out.Number(arc.LayerID);
    out.Number(arc.Color);
    out.Number(arc.PenStyle);
    return out.Finish(KindCode<ArcRec>());
}

std::string Format(const SolidRec& solid) {
    FieldWriter out;
    for (float corner :
         {solid.X1, solid.Y1, solid.X2, solid.Y2, solid.X3, solid.Y3, solid.X4, solid.Y4}) {
        out.Number(corner);
    }
    out.Number(solid.LayerID);
    out.Number(solid.Color);
    return out.Finish(KindCode<SolidRec>());
}

std::string Format(const PointRec& point) {
    FieldWriter out;
    out.Number(point.X);
    out.Number(point.Y);
    out.Number(point.Color);
    out.Number(point.LayerID);
    return out.Finish(KindCode<PointRec>());
}

std::string Format(const EllipseRec& ellipse) {
    FieldWriter out;
    out.Number(ellipse.CenterX);
    out.Number(ellipse.CenterY);
    out.Number(ellipse.MajorX);
    out.Number(ellipse.MajorY);
    out.Number(ellipse.Ratio);
    out.Number(ellipse.StartParam);
    out.Number(ellipse.EndParam);
    out.Number(ellipse.LayerID);
    out.Number(ellipse.Color);
    out.Number(ellipse.PenStyle);
    return out.Finish(KindCode<EllipseRec>());
}

// The layer, the colour, the number of rings, each ring's size, then the points.
std::string Format(const FillRec& fill) {
    FieldWriter out;
    out.Number(fill.LayerID);
    out.Number(fill.Color);
    out.Number(static_cast<Long>(fill.RingSizes.size()));
    for (Long size : fill.RingSizes) {
        out.Number(size);
    }
    for (const FillPoint& point : fill.Points) {
        out.Number(point.X);
        out.Number(point.Y);
    }
    return out.Finish(KindCode<FillRec>());
}

LineRec ReadLine(FieldReader& in) {
    LineRec line;
    line.X1 = in.Single();
    line.Y1 = in.Single();
    line.X2 = in.Single();
    line.Y2 = in.Single();
    line.Color = in.Whole();
    line.LayerID = in.Whole();
    in.Whole(); // the line marker
    line.PenStyle = in.Whole();
    return line;
}

PolySegRec ReadPolySeg(FieldReader& in) {
    PolySegRec segment;
    segment.X1 = in.Single();
    segment.Y1 = in.Single();
    segment.X2 = in.Single();
    segment.Y2 = in.Single();
    segment.Color = in.Whole();
    segment.LayerID = in.Whole();
    // The width is read back as a whole number, so copies carry integer widths.
    segment.Width = static_cast<float>(in.Rounded());
    segment.Bulge = in.Single();
    return segment;
}

TextRec ReadText(FieldReader& in) {
    TextRec text;
    text.X = in.Single();
    text.Y = in.Single();
    text.Text.Assign(in.Text());
    text.Height = in.Single();
    text.Rotation = in.Single();
    text.HorzAlign = in.Whole();
    text.Underline = in.Whole();
    text.LayerID = in.Whole();
    text.Color = in.Whole();
    text.FontName.Assign(in.Text());
    text.FontScalar = in.Single();
    return text;
}

ArcRec ReadArc(FieldReader& in) {
    ArcRec arc;
    arc.CenterX = in.Single();
    arc.CenterY = in.Single();
    arc.Radius = in.Single();
    arc.StartAngle = in.Single();
    arc.EndAngle = in.Single();
    arc.LayerID = in.Whole();
    arc.Color = in.Whole();
    arc.PenStyle = in.Whole();
    return arc;
}

SolidRec ReadSolid(FieldReader& in) {
    SolidRec solid;
    for (float* corner :
         {&solid.X1, &solid.Y1, &solid.X2, &solid.Y2, &solid.X3, &solid.Y3, &solid.X4, &solid.Y4}) {
        *corner = in.Single();
    }
    solid.LayerID = in.Whole();
    solid.Color = in.Whole();
    return solid;
}

PointRec ReadPoint(FieldReader& in) {
    PointRec point;
    point.X = in.Single();
    point.Y = in.Single();
    point.Color = in.Whole();
    point.LayerID = in.Whole();
    return point;
}

EllipseRec ReadEllipse(FieldReader& in) {
    EllipseRec ellipse;
    ellipse.CenterX = in.Single();
    ellipse.CenterY = in.Single();
    ellipse.MajorX = in.Single();
    ellipse.MajorY = in.Single();
    ellipse.Ratio = in.Single();
    ellipse.StartParam = in.Single();
    ellipse.EndParam = in.Single();
    ellipse.LayerID = in.Whole();
    ellipse.Color = in.Whole();
    ellipse.PenStyle = in.Whole();
    return ellipse;
}

FillRec ReadFill(FieldReader& in) {
    FillRec fill;
    fill.LayerID = in.Whole();
    fill.Color = in.Whole();
    // Sizes are not trusted for reserving: each must be matched by fields read.
    const Long rings = in.Whole();
    std::int64_t points = 0;
    for (Long i = 0; i < rings; ++i) {
        const Long size = in.Whole();
        if (size < 0) {
            throw ControlError::Runtime(RuntimeError::TypeMismatch);
        }
        fill.RingSizes.push_back(size);
        points += size;
    }
    for (std::int64_t i = 0; i < points; ++i) {
        FillPoint point;
        point.X = in.Single();
        point.Y = in.Single();
        fill.Points.push_back(point);
    }
    return fill;
}

ScratchRecord ReadRecord(Long kind, FieldReader& in) {
    switch (static_cast<EntityKind>(kind)) {
    case EntityKind::Line:
        return ReadLine(in);
    case EntityKind::PolySeg:
        return ReadPolySeg(in);
    case EntityKind::Text:
        return ReadText(in);
    case EntityKind::Arc:
        return ReadArc(in);
    case EntityKind::Solid:
        return ReadSolid(in);
    case EntityKind::Point:
        return ReadPoint(in);
    case EntityKind::Ellipse:
        return ReadEllipse(in);
    case EntityKind::Fill:
        return ReadFill(in);
    default:
        throw ControlError::Runtime(RuntimeError::TypeMismatch);
    }
}

} // namespace

std::string FormatScratchRecord(const ScratchRecord& record) {
    return std::visit([](const auto& kind) { return Format(kind); }, record);
}

std::vector<ScratchRecord> ReadScratchText(std::string_view text) {
    // Lines end at a carriage return, a line feed right after it belonging to it, as
    // DxfLineSource reads them.
    const auto nextLine = [&text] {
        if (text.empty()) {
            throw ControlError::Runtime(RuntimeError::InputPastEndOfFile);
        }
        const std::size_t end = std::min(text.find('\r'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!text.empty() && text.front() == '\n') {
            text.remove_prefix(1);
        }
        return line;
    };
    std::vector<ScratchRecord> records;
    while (!text.empty()) {
        FieldReader kindField(nextLine());
        Long kind = kindField.Whole();
        kindField.ExpectEnd();
        FieldReader fields(nextLine());
        records.push_back(ReadRecord(kind, fields));
        fields.ExpectEnd();
    }
    return records;
}

std::vector<ScratchRecord> ReadScratchFile(const std::string& fileName) {
    DxfLineSource file = DxfLineSource::Open(fileName);
    std::vector<ScratchRecord> records;
    std::string kindLine;
    while (!file.AtEnd()) {
        file.ReadLine(kindLine);
        FieldReader kindField(kindLine);
        Long kind = kindField.Whole();
        kindField.ExpectEnd();
        FieldReader fields(file.ReadLineView());
        records.push_back(ReadRecord(kind, fields));
        fields.ExpectEnd();
    }
    return records;
}

} // namespace plandra
