// The property bag kept as a text file: what it writes, what it reads back, and what
// it refuses.
#include "platform/headless/text_file_property_bag.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

class TextFilePropertyBagTest : public ::testing::Test {
public:
    void Write(const std::string& text) { plandra::test::WriteFileText(File.Name(), text); }
    std::string Read() const { return File.Read(); }

    plandra::test::TempFile File{"", ".txt"};
};

TEST_F(TextFilePropertyBagTest, EveryKindSurvivesTheFileAndTheTextStaysReadable) {
    TextFilePropertyBag bag;
    bag.Values = {{"Path", std::string("C:\\TEMP\\")},
                  {"Lines", std::string("a\r\nb 100%")},
                  {"Padded", std::string(" a b \t")},
                  {"Blank", std::string()},
                  {"Zero", std::string("a\0b", 3)},
                  {"Small", std::int16_t{-1}},
                  {"Colour", std::int32_t{-2147483643}},
                  {"Pct", 150.25f},
                  {"Exact", 0.1},
                  {"On", VariantBool{true}},
                  {"Nothing", Variant()}};
    ASSERT_TRUE(bag.Save(File.Name()));
    EXPECT_NE(Read().find("Path = String:C:\\TEMP\\\n"), std::string::npos);
    EXPECT_NE(Read().find("Lines = String:a%0D%0Ab 100%25\n"), std::string::npos);
    EXPECT_NE(Read().find("On = Boolean:True\n"), std::string::npos);
    // Blanks at the end would be lost by the profile functions that share this form.
    EXPECT_NE(Read().find("Padded = String: a b%20%09\n"), std::string::npos);
    EXPECT_NE(Read().find("Zero = String:a%00b\n"), std::string::npos);

    std::optional<TextFilePropertyBag> loaded = TextFilePropertyBag::Load(File.Name());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->Values, bag.Values);
}

TEST_F(TextFilePropertyBagTest, AMissingFileIsAnEmptyBagAndABrokenOneIsNone) {
    EXPECT_TRUE(TextFilePropertyBag::Load(File.Name() + ".missing")->Values.empty());
    const std::string broken[] = {
        "Name\n",      "Name = Single:abc\n",   "Name = Colour:1\n", "Name = String:50%\n",
        " = Long:1\n", "Name = Integer:40000\n"};
    for (const std::string& text : broken) {
        Write(text);
        EXPECT_FALSE(TextFilePropertyBag::Load(File.Name())) << text;
    }
    Write("A = Long:7\r\n\r\nB = String:\r\n");
    std::optional<TextFilePropertyBag> crLf = TextFilePropertyBag::Load(File.Name());
    ASSERT_TRUE(crLf);
    EXPECT_EQ(crLf->ReadProperty("A", Variant()), Variant(std::int32_t{7}));
    EXPECT_EQ(crLf->ReadProperty("B", Variant()), Variant(std::string()));
}

TEST_F(TextFilePropertyBagTest, AValueBackAtItsDefaultLeavesTheBag) {
    TextFilePropertyBag bag;
    bag.WriteProperty("Zoom", std::int32_t{2}, std::int32_t{1});
    EXPECT_EQ(bag.ReadProperty("Zoom", std::int32_t{1}), Variant(std::int32_t{2}));
    bag.WriteProperty("Zoom", std::int32_t{1}, std::int32_t{1});
    EXPECT_TRUE(bag.Values.empty());
    // An object has no text form and drops an earlier value as a default would.
    bag.WriteProperty("Zoom", std::int32_t{2}, std::int32_t{1});
    bag.WriteProperty("Zoom", ObjectRef(), std::int32_t{1});
    EXPECT_TRUE(bag.Values.empty());
    EXPECT_EQ(bag.ReadProperty("Zoom", std::string("none")), Variant(std::string("none")));
}

} // namespace
} // namespace platform
