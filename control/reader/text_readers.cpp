// The readers of TEXT, MTEXT, ATTRIB and ATTDEF entities.
#include "control/database/dxf_number.h"
#include "control/database/font_map.h"
#include "control/database/layer_lookup.h"
#include "dxf_reader.h"
#include "platform/ansi_text.h"
#include "text_codes.h"

#include <cmath>

namespace plandra {

namespace {

constexpr Long TextIncrement = 50;
constexpr Long AttribIncrement = 10;
// The text readers turn slopes into degrees with this five-decimal pi.
constexpr float TextPi = 3.14159f;

} // namespace

float DxfReader::FitRotation(Long horzAlign, float x, float y) const {
    float rotation = Coordinate(50);
    float alignX = Coordinate(11);
    float alignY = Coordinate(21);
    if (horzAlign == 5 && alignX != 0 && alignY != 0 && alignX - x != 0) {
        rotation = std::atan((alignY - y) / (alignX - x)) * 180 / TextPi;
    }
    return rotation;
}

void DxfReader::MapFont(FixedString<20>& fontName, float& fontScalar) const {
    std::string face = Database.GroupValue[7];
    fontScalar = MapTextStyleToFont(face, Options.Fonts);
    fontName.Assign(platform::TrimBlanks(face));
}

bool DxfReader::DXFText(std::string_view EntityName) {
    return EntityReader("DXFText ", [this, EntityName] {
        const bool isMText = platform::UpperAnsi(platform::TrimBlanks(EntityName)) == "MTEXT";
        const GroupValues& group = Database.GroupValue;
        TextRec text;
        text.LayerID = SetLayerID(Database, group[8]);
        text.Color = EntityColor(text.LayerID);
        text.HorzAlign = ToLong(ParseLenientNumber(group[72]));
        if (isMText) {
            text.X = Coordinate(10);
            text.Y = Coordinate(20);
        } else {
            switch (text.HorzAlign) {
            case 0:
            case 3:
            case 5:
                text.X = Coordinate(10);
                text.Y = Coordinate(20);
                break;
            case 1:
            case 4:
                text.X = Coordinate(11);
                text.Y = Coordinate(21);
                break;
            case 2:
                text.X = Coordinate(11);
                text.Y = Coordinate(20);
                break;
            default:
                break;
            }
        }
        text.Height = Coordinate(40);
        if (Options.RedlineTextHeight < text.Height) {
            Options.RedlineTextHeight = text.Height;
        }

        std::string value = group[1];
        if (!group[3].empty()) {
            // MTEXT splits long values into chunks in group 3 before the last in group 1.
            value = isMText ? group[3] + group[1] : group[2];
        }
        value = DrawingText(value);
        bool underline = false;
        value = DropLeadingFormatCode(ReplaceControlCodes(std::move(value), underline));
        if (isMText) {
            value = StripMTextFormatting(value);
        }
        text.Text.Assign(ReplaceDoubleQuotes(value));
        text.Underline = underline ? -1 : 0;

        MapFont(text.FontName, text.FontScalar);
        text.Rotation = FitRotation(text.HorzAlign, text.X, text.Y);
        if (StoreOrWriteToBlock(text, TextIncrement) && !Database.ExtentsFromHeader) {
            Database.CheckExtents(text.X, text.Y, text.X, text.Y);
        }
    });
}

bool DxfReader::DXFAttrib() {
    return EntityReader("DXFAttrib", [this] {
        const GroupValues& group = Database.GroupValue;
        // Invisible, constant, verify and preset attributes are not shown.
        if (ToLong(ParseLenientNumber(group[70])) != 0) {
            return;
        }
        AttribRec attrib;
        attrib.LayerID = Database.CurrentInsertLayer;
        if (attrib.LayerID < 1) {
            // No INSERT has named a layer yet: the attribute's own layer stands in.
            attrib.LayerID = SetLayerID(Database, group[8]);
        }
        attrib.Color = EntityColor(attrib.LayerID);
        attrib.HorzAlign = ToLong(ParseLenientNumber(group[72]));
        switch (attrib.HorzAlign) {
        case 0:
        case 3:
        case 5:
            attrib.X = Coordinate(10);
            attrib.Y = Coordinate(20);
            break;
        case 1:
        case 2:
            attrib.X = Coordinate(11);
            attrib.Y = Coordinate(21);
            break;
        case 4:
            attrib.X = Coordinate(11);
            attrib.Y = Coordinate(20);
            break;
        default:
            break;
        }
        attrib.Height = Coordinate(40);
        MapFont(attrib.FontName, attrib.FontScalar);
        attrib.Text.Assign(DrawingText(group[1]));
        attrib.Rotation = FitRotation(attrib.HorzAlign, attrib.X, attrib.Y);
        Database.AppendEntity(EntityKind::Attrib, Database.Attribs, Database.AttribCount, attrib,
                              AttribIncrement);
        if (!Database.ExtentsFromHeader) {
            Database.CheckExtents(attrib.X, attrib.Y, attrib.X, attrib.Y);
        }
    });
}

bool DxfReader::DXFAttDef() {
    return EntityReader("DXFAttDef", [] {});
}

} // namespace plandra
