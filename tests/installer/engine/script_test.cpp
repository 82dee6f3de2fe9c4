#include "installer/engine/script.h"
#include "installer/engine/script_builder.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

std::vector<std::uint8_t> Fixed(std::size_t count, std::uint8_t flags = 0) {
    std::vector<std::uint8_t> bytes(count, 0);
    if (count > 0) {
        bytes[0] = flags;
    }
    return bytes;
}

TEST(Script, EveryOpcodeOfTheSizeTablesBuildsAndReadsBack) {
    const std::uint8_t languages = 3;
    for (int opcode = 0; opcode <= op::LastAction; ++opcode) {
        auto code = static_cast<std::uint8_t>(opcode);
        std::optional<RecordShape> shape = ShapeOf(code);
        if (!shape) {
            continue;
        }
        ScriptBuilder builder(languages);
        std::vector<std::string> once;
        for (int i = 0; i < shape->OnceStrings; ++i) {
            once.push_back("once" + std::to_string(i));
        }
        std::vector<std::vector<std::string>> groups(languages);
        for (int language = 0; language < languages; ++language) {
            for (int i = 0; i < shape->StringsPerLanguage; ++i) {
                groups[static_cast<std::size_t>(language)].push_back(
                    "lang" + std::to_string(language) + "." + std::to_string(i));
            }
        }
        std::vector<std::uint8_t> trailing(code == op::DisplayGraphic ? 24 : 0, 0xEE);
        builder.Record(code, Fixed(shape->FixedBytes - 1u, 0x5A), once, groups, trailing);
        std::vector<std::uint8_t> bytes = builder.Build();
        Script script(bytes, languages, 2);
        std::optional<ActionRecord> record = script.RecordAt(0);
        ASSERT_TRUE(record) << opcode;
        EXPECT_EQ(record->Size(), bytes.size() - 1) << opcode;
        EXPECT_EQ(record->Opcode(), code);
        EXPECT_EQ(record->Flags(), shape->FixedBytes >= 2 ? 0x5A : 0);
        for (int i = 0; i < shape->OnceStrings; ++i) {
            EXPECT_EQ(record->Once(static_cast<std::size_t>(i)), "once" + std::to_string(i))
                << opcode;
        }
        for (int i = 0; i < shape->StringsPerLanguage; ++i) {
            EXPECT_EQ(record->PerLanguage(static_cast<std::size_t>(i)),
                      "lang2." + std::to_string(i))
                << opcode;
        }
        EXPECT_EQ(record->Trailing().size(), trailing.size());
        // Cut anywhere inside, the record runs past the end of the script.
        for (std::size_t size = 1; size < record->Size(); ++size) {
            Script cut(std::span<std::uint8_t>(bytes).first(size), languages, 0);
            EXPECT_FALSE(cut.RecordAt(0)) << opcode << " cut at " << size;
        }
    }
}

TEST(Script, FileRecordsKeepTheirLanguageGroupsAfterTheFirstString) {
    ScriptBuilder builder(2);
    builder.Record(op::InstallFiles2, Fixed(42), {"dest", "src1", "src2"}, {{"desc0"}, {"desc1"}});
    std::vector<std::uint8_t> bytes = builder.Build();
    std::string strings(bytes.begin() + 43, bytes.end() - 1);
    EXPECT_EQ(strings, std::string("dest\0desc0\0desc1\0src1\0src2\0", 27));
}

TEST(Script, InvalidOpcodesHaveNoRecord) {
    for (std::uint8_t opcode : {1, 14, 19, 31, 62, 64, 255}) {
        std::vector<std::uint8_t> bytes{opcode, 0, 0, 0, op::EndOfScript};
        EXPECT_FALSE(Script(bytes, 1, 0).RecordAt(0)) << int{opcode};
    }
    std::vector<std::uint8_t> end{op::EndOfScript};
    EXPECT_TRUE(Script(end, 1, 0).RecordAt(0));
    EXPECT_FALSE(Script(end, 1, 0).RecordAt(1));
}

TEST(ScriptBuilder, RefusesMalformedRecordsAndBlocks) {
    ScriptBuilder builder(2);
    EXPECT_THROW(builder.Record(op::AddToLog, {}, {}), ScriptBuildError);
    EXPECT_THROW(builder.Record(op::EndBlock, {}), ScriptBuildError);
    EXPECT_THROW(builder.Record(1, {}), ScriptBuildError);
    EXPECT_THROW(builder.Message(0, {"a", "b", "c"}, {"t"}), ScriptBuildError);
    EXPECT_THROW(builder.End(), ScriptBuildError);
    EXPECT_THROW(builder.Else(), ScriptBuildError);
    builder.While("I", 1, "3");
    EXPECT_THROW(builder.Else(), ScriptBuildError);
    EXPECT_THROW(builder.Build(), ScriptBuildError);
    builder.End();
    std::vector<std::uint8_t> bytes = builder.Build();
    // The end of a loop carries a non-zero flag.
    EXPECT_EQ(bytes[bytes.size() - 2], 1);
}

} // namespace
} // namespace vorn
