// The variable table: slots, limits, and the expansion of %NAME% in texts.
#include "installer/engine/variables.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <tuple>

namespace vorn {
namespace {

std::unique_ptr<VariableTable> TableWithPredefined() {
    auto table = std::make_unique<VariableTable>();
    table->FillPredefined({"/S", "English", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM",
                           "C:\\WINDOWS\\SYSTEM32", "C:\\TEMP", "A:", "C:\\WINDOWS\\FONTS"});
    return table;
}

TEST(VariableTable, PredefinedVariablesTakeTheirSlotsInOrder) {
    auto table = TableWithPredefined();
    const char* names[] = {"%CMDLINE%", "%LANG%", "%%",     "%WIN%",   "%SYS%",
                           "%SYS32%",   "%TEMP%", "%INST%", "%FONTS%", "%DISK_NUMBER%"};
    ASSERT_EQ(table->SlotsInUse(), 10);
    for (std::size_t slot = 0; slot < 10; ++slot) {
        EXPECT_EQ(table->SlotName(slot), names[slot]);
    }
    EXPECT_EQ(table->SlotValue(2), "%");
    EXPECT_EQ(table->GetVariable("disk_number"), "1");
}

TEST(VariableTable, LongValuesSpanSlotsAndLaterVariablesMove) {
    VariableTable table;
    table.SetVariable("FIRST", "1");
    table.SetVariable("LONG", std::string(300, 'x'));
    table.SetVariable("LAST", "z");
    ASSERT_EQ(table.SlotsInUse(), 4);
    EXPECT_EQ(std::tuple(table.SlotName(2), table.SlotName(3), table.GetVariable("LONG")),
              std::tuple("", "%LAST%", std::string(300, 'x')));

    table.SetVariable("long", std::string(10, 'y'));
    EXPECT_EQ(std::tuple(table.SlotsInUse(), table.SlotName(2), table.GetVariable("LAST"),
                         table.SlotName(3)),
              std::tuple(3, "%LAST%", "z", ""));

    table.SetVariable("FIRST", std::string(600, 'w'));
    EXPECT_EQ(std::tuple(table.SlotsInUse(), table.SlotName(3), table.SlotName(4),
                         table.GetVariable("LONG")),
              std::tuple(5, "%LONG%", "%LAST%", std::string(10, 'y')));
    EXPECT_EQ(table.Expand("%FIRST%%LONG%", 30720), std::string(600, 'w') + std::string(10, 'y'));
}

TEST(VariableTable, SlotBoundaryLengths) {
    // 255 characters and the zero fit one slot; 256 need a second.
    for (auto [length, slots] : {std::pair{0, 1}, {255, 1}, {256, 2}, {511, 2}, {512, 3}}) {
        VariableTable table;
        table.SetVariable("V", std::string(static_cast<std::size_t>(length), 'v'));
        EXPECT_EQ(table.SlotsInUse(), slots) << length;
        EXPECT_EQ(table.GetVariable("V").size(), static_cast<std::size_t>(length));
    }
}

TEST(VariableTable, NoVariableIsStoredBeyond249Slots) {
    VariableTable table;
    for (int i = 0; i < 248; ++i) {
        ASSERT_TRUE(table.SetVariable("V" + std::to_string(i), "x"));
    }
    EXPECT_FALSE(table.SetVariable("TWOSLOTS", std::string(300, 'y')));
    EXPECT_TRUE(table.SetVariable("LAST", "y"));
    EXPECT_EQ(table.SlotsInUse(), 249);
    EXPECT_FALSE(table.SetVariable("ONEMORE", "z"));
    EXPECT_EQ(table.GetVariable("ONEMORE"), "");
    // An existing variable may still change, but not grow past the limit.
    EXPECT_TRUE(table.SetVariable("V0", "changed"));
    EXPECT_FALSE(table.SetVariable("V0", std::string(300, 'g')));
    EXPECT_EQ(table.GetVariable("V0"), "changed");
    EXPECT_EQ(table.SlotsInUse(), 249);
}

TEST(VariableTable, NamesUpTo15CharactersFillTheWholeFieldAndMissingOnesAreEmpty) {
    VariableTable table;
    EXPECT_TRUE(table.SetVariable("ABCDEFGHIJKLMNO", "fifteen"));
    EXPECT_TRUE(table.SetVariable("NEXT", "n"));
    EXPECT_EQ(std::tuple(table.SlotName(0), table.GetVariable("abcdefghijklmno"),
                         table.Expand("<%ABCDEFGHIJKLMNO%>", 256)),
              std::tuple("%ABCDEFGHIJKLMNO%", "fifteen", "<fifteen>"));
    EXPECT_FALSE(table.SetVariable("ABCDEFGHIJKLMNOP", "sixteen"));
    EXPECT_EQ(table.SlotsInUse(), 2);
    // A missing variable is empty, or created empty when asked.
    EXPECT_EQ(table.GetVariable("RESTART"), "");
    EXPECT_EQ(table.SlotsInUse(), 2);
    EXPECT_EQ(table.GetVariable("RESTART", MissingVariable::CreateEmpty), "");
    EXPECT_EQ(table.SlotName(2), "%RESTART%");
}

TEST(VariableTable, SlotsSetByALibraryStayInsideTheArrays) {
    VariableTable table;
    table.SetSlotsInUse(60000);
    EXPECT_EQ(table.SlotsInUse(), VariableTable::Slots);
    EXPECT_FALSE(table.SetVariable("NEW", "x"));
    // A last slot without its terminating zero stops at the arrays' end.
    table.SetSlotsInUse(250);
    char* last = table.NamesData() + 249 * VariableTable::NameSize;
    std::fill(last, last + VariableTable::NameSize, 'N');
    char* value = table.ValuesData() + 249 * VariableTable::ValueSize;
    std::fill(value, value + VariableTable::ValueSize, 'v');
    EXPECT_EQ(table.SlotName(249).size(), VariableTable::NameSize);
    EXPECT_EQ(table.SlotValue(249).size(), VariableTable::ValueSize);
}

TEST(ExpandVariables, Rules) {
    auto table = TableWithPredefined();
    table->SetVariable("A", "short");
    table->SetVariable("SELF", "%WIN%");
    table->SetVariable("APP", "C:\\APP");
    struct Case {
        const char* Source;
        const char* Expected;
    } cases[] = {
        {"%WIN%\\SYSTEM.INI", "C:\\WINDOWS\\SYSTEM.INI"},
        {"%win%", "C:\\WINDOWS"},
        {"%UNDEFINED%x", "x"},
        {"50%", "50"},
        {"a%b", "a"},
        {"%%", "%"},
        {"100%% sure", "100% sure"},
        {"%A%", "short"},
        // A does not match AB: the stored name ends in its percent sign.
        {"%AB%", ""},
        // Inserted values are not expanded again.
        {"%SELF%", "%WIN%"},
        {"%%WIN%%", "%WIN%"},
        // "%%" gives one sign; the last sign then has no partner and goes.
        {"%%WIN%", "%WIN"},
        {"%APP%\\%LANG% %NONE%!", "C:\\APP\\English !"},
        {"%%%WIN%", "%C:\\WINDOWS"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(table->Expand(c.Source, 256), c.Expected) << c.Source;
    }
}

TEST(ExpandVariables, CutsAtTheBufferAndStaysTerminated) {
    auto table = TableWithPredefined();
    FixedText<8> buffer;
    table->ExpandVariables(buffer, "<%WIN%>");
    EXPECT_EQ(buffer.View(), "<C:\\WIN");
    EXPECT_EQ(buffer.Data()[7], '\0');
    // Text pushed out by an insertion is lost even when a later deletion frees room.
    EXPECT_EQ(table->Expand("%WIN%xy%GONE%", 12), "C:\\WINDOWSx");
    EXPECT_EQ(table->Expand("abcdef", 4), "abc");
    EXPECT_EQ(table->Expand("abc", 1), "");
}

} // namespace
} // namespace vorn
