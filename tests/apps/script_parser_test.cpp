// The plandra script language, line by line: what each form of line becomes, and the
// reason given for lines that are not commands.
#include "apps/plandra/script_parser.h"

#include <gtest/gtest.h>

namespace plandra::cli {
namespace {

using platform::Variant;
using platform::VariantBool;
using K = ScriptCommandKind;

TEST(ScriptParser, LinesBecomeCommands) {
    const struct {
        std::string_view Line;
        K Kind;
        std::string_view Path;
        std::vector<Variant> Args;
    } cases[] = {
        {"", K::Nothing, "", {}},
        {"  # Regen 0", K::Nothing, "", {}},
        {"Regen", K::Call, "Regen", {}},
        {"Regen()\r", K::Call, "Regen()", {}},
        {"\tRegen 0 ", K::Call, "Regen", {std::int16_t{0}}},
        {"Regen(1)", K::Call, "Regen(1)", {std::int16_t{1}}},
        {"GetCurrentZoom 0,-1.5, 40000 ,1e3",
         K::Call,
         "GetCurrentZoom",
         {std::int16_t{0}, -1.5, std::int32_t{40000}, 1000.0}},
        {"? colLayers.Count", K::Get, "colLayers.Count", {}},
        {"?Layers.Item(2)", K::Get, "Layers.Item(2)", {std::int16_t{2}}},
        {"colLayers.Item(3).LayerOn = False",
         K::Let,
         "colLayers.Item(3).LayerOn",
         {VariantBool{false}}},
        {"FileName = \"a \"\"b\"\".dxf\"", K::Let, "FileName", {std::string("a \"b\".dxf")}},
        {"Enabled=true", K::Let, "Enabled", {VariantBool{true}}},
        {"CvtX 3000000000", K::Call, "CvtX", {3000000000.0}},
        {"Refresh \"\"", K::Call, "Refresh", {std::string()}},
    };
    for (const auto& c : cases) {
        ScriptCommand command = ParseScriptLine(c.Line);
        EXPECT_EQ(command.Kind, c.Kind) << c.Line;
        EXPECT_EQ(command.PathText, c.Path) << c.Line;
        EXPECT_EQ(command.Args, c.Args) << c.Line;
    }
    ScriptCommand dotted = ParseScriptLine("colLayers.Item(3, \"x\").LayerOn = 0");
    ASSERT_EQ(dotted.Path.size(), 3u);
    EXPECT_EQ(dotted.Path[1].Name, "Item");
    EXPECT_EQ(dotted.Path[1].Args, (std::vector<Variant>{std::int16_t{3}, std::string("x")}));
    EXPECT_EQ(ParseScriptLine("!render  out put.png ").FileName, "out put.png");
    EXPECT_EQ(ParseScriptLine("!render \"a\"\"b.png\"").FileName, "a\"b.png");
}

TEST(ScriptParser, MalformedLinesSayWhatIsWrong) {
    const struct {
        std::string_view Line;
        std::string_view Reason;
    } cases[] = {
        {"FileName = \"x.dxf", "a string without its closing quote"},
        {"?", "expected a member name at the end of the line"},
        {"Regen 0,", "expected a value at the end of the line"},
        {"Regen 0 1", "expected ',' or the end of the line, found '1'"},
        {"Regen (0)", "expected a value, found '('"},
        {"Item(1 2)", "expected ',' or ')', found '2'"},
        {"Regen(0) 1",
         "expected the end of the line after the arguments in parentheses, found '1'"},
        {"Enabled = yes",
         "'yes' is not a value: write a number, True, False or a string in quotes"},
        {"x = 1e999", "the number 1e999 is out of range"},
        {"x = -", "'-' is not a number"},
        {"x = 1.2.3", "'1.2.3' is not a number"},
        {"x = ", "expected a value at the end of the line"},
        {"Count() = 1", "a property to set takes no arguments"},
        {"9Lives", "expected a member name, found '9'"},
        {"Regen\xff", "expected a blank, '=', '.' or '(', found byte 0xFF"},
        {"!draw x.png", "unknown directive !draw (only !render exists)"},
        {"!render", "!render needs the name of the picture to write"},
        {"!render.png", "expected a blank after !render, found '.'"},
    };
    for (const auto& c : cases) {
        try {
            ParseScriptLine(c.Line);
            ADD_FAILURE() << c.Line << " was taken";
        } catch (const ScriptSyntaxError& error) {
            EXPECT_EQ(std::string_view(error.what()), c.Reason) << c.Line;
        }
    }
    EXPECT_THROW(ParseScriptLine(std::string(MaxScriptLineLength + 1, ' ')), ScriptSyntaxError);
}

} // namespace
} // namespace plandra::cli
