// Dialog pages and the wizard written in the script: the block the engine reads, the
// listing that compiles to the same bytes, and mistakes reported at their place.
#include "installer/authoring/dialog_page_compiler.h"
#include "installer/authoring/script_compiler.h"
#include "installer/engine/custom_dialog_set.h"
#include "installer/engine/dialog_set_builder.h"

#include <gtest/gtest.h>

namespace {

using vorn::authoring::BuildFile;
using vorn::authoring::CompileError;
using vorn::authoring::CompileScript;

std::map<std::string, std::string> Contents;

std::optional<BuildFile> Read(const std::filesystem::path& path) {
    auto found = Contents.find(path.lexically_normal().generic_string());
    if (found == Contents.end()) {
        return std::nullopt;
    }
    return BuildFile{{found->second.begin(), found->second.end()}, 0x5A21, 0x6000};
}

const char* const PageScript = R"vns(language "English" "English"
language "Deutsch" "German"
dialog-pages when SETUP "custom"
    page "Welcome" size 200 120 font "MS Sans Serif" 8
        texts ["Welcome", "Willkommen"]
        logical-font "Arial" -12 weight 700 italic 1 pitch-and-family 34
        static 100 "Setup installs Plandra." at 10 10 size 180 20
        bitmap 101 resource 200 at 10 40 size 40 40
        default-button 1 "&Next >" at 140 100 size 50 14
        button 2 "Cancel" at 80 100 size 50 14 ex-style 0x4
        action button 1 next 1
        action button 2 cancel
    page "Options" at -5 6 size 220 160 style 0x80c80080 menu resource 3 class "Pane"
        edit 110 at 10 10 size 100 12
        radio 120 "Full" at 10 30 size 60 10 style 0x50030009
        radio 121 "Minimal" at 10 42 size 60 10
        check 130 "Samples" at 100 30 size 60 10
        check 131 "Help" at 100 42 size 60 10 data "0102"
        group-box 140 "Parts" at 5 25 size 200 40
        list 150 at 10 70 size 100 40
        edit 160 at 10 115 size 100 12
        combo-box 170 at 120 70 size 60 40
        scroll-bar 171 at 190 70 size 8 40
        button 3 "< &Back" at 60 140 size 50 14
        button 4 "&Finish" at 120 140 size 50 14
        action edit 110 to NAME min-length 3
        action radio 120 through 121 to KIND
        action checks 130 through 131 to PARTS pairs flags 256
        action list 150 to ITEMS letters texts ["Ocx\nSamples", "Ocx\nBeispiele"]
        action path 160 to DIR second "C:" required drive-only
        action list 170 end 0 to DRIVES browser target 1 action-code 7
        action button 3 back
        action button 4 finish
end-pages
wizard DIRECTION PAGE size 400 300 options 3 picture "wiz.bmp" picture-value "1" page "Welcome" page "Options" if KIND == "A" page "Done" if DIR has-any-of "CD"
wizard DIRECTION PAGE page "Welcome" close-progress abort-if-true
dialog-set "odd.dlg"
)vns";

struct Built {
    vorn::authoring::CompiledSetup Setup;
    std::unique_ptr<vorn::SetupArchive> Archive;
};

Built BuildAndOpen(const std::string& script, const std::string& path) {
    Built built{CompileScript(script, path, Read), nullptr};
    vorn::ArchiveImage image =
        vorn::BuildSetupArchive(built.Setup.Script, built.Setup.Payload, built.Setup.Extras);
    built.Archive =
        vorn::SetupArchive::Read(vorn::MemoryArchiveStream(std::move(image.Bytes))).Archive;
    return built;
}

class DialogPages : public testing::Test {
protected:
    void SetUp() override {
        // A set the statements cannot say: its variable is no variable name.
        vorn::DialogPageLayout page{{}, {}, {"Odd"}, {}};
        page.Entries.push_back({2, 1, 2, 0, 1, 0, 0, {""}, "TWO WORDS", ""});
        const std::vector<std::uint8_t> odd = vorn::BuildDialogSet({page}, 2);
        Contents = {{"/src/wiz.bmp", "BM wizard"}, {"/src/odd.dlg", {odd.begin(), odd.end()}}};
    }
};

TEST_F(DialogPages, TheBlockIsOneTheEngineReads) {
    const Built built = BuildAndOpen(PageScript, "/src/s.vns");
    ASSERT_TRUE(built.Archive);
    const vorn::PayloadEntry& item = built.Archive->Payload().at(0);
    const auto block = built.Archive->ReadPayloadFile(item, 1u << 20);
    ASSERT_TRUE(block);
    const vorn::DialogSetReadResult read = vorn::ReadDialogSet(*block, 2);
    ASSERT_EQ(read.Error, "");
    ASSERT_EQ(read.Pages.size(), 2u);
    EXPECT_EQ(read.Pages[0].Strings, (std::vector<std::string>{"Welcome", "Willkommen"}));
    EXPECT_EQ(read.Pages[0].Fonts.at(0).Height, -12);
    EXPECT_EQ(read.Pages[0].Fonts.at(0).PitchAndFamily, 34);
    const auto form = platform::ReadDialogTemplate(read.Pages[1].Template);
    ASSERT_TRUE(form.Template);
    EXPECT_EQ(form.Template->X, -5);
    EXPECT_EQ(form.Template->Controls.size(), 12u);
    EXPECT_EQ(form.Template->Controls[1].Style, 0x50030009u);
    struct Expect {
        std::uint8_t Kind, First, End, Target, Action;
        std::uint16_t MinLength, Flags;
        const char* Variable;
        const char* Second;
    };
    const Expect expected[] = {
        {1, 110, 111, 0, 0, 3, 0, "NAME", ""},
        {3, 120, 122, 0, 0, 0, 0, "KIND", ""},
        {4, 130, 132, 0, 0, 0, 0x102, "PARTS", ""},
        {6, 150, 151, 0, 0, 0, 4, "ITEMS", ""},
        {5, 160, 161, 0, 0, 0, 3, "DIR", "C:"},
        {6, 170, 0, 1, 7, 0, 2, "DRIVES", ""},
        {2, 3, 4, 0, 0, 0, 0, "", ""},
        {2, 4, 5, 0, 1, 0, 0, "", ""},
    };
    const std::vector<vorn::ControlEntry>& entries = read.Pages[1].Entries;
    ASSERT_EQ(entries.size(), std::size(expected));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const vorn::ControlEntry& e = entries[i];
        const Expect& x = expected[i];
        EXPECT_EQ(std::tie(e.Kind, e.First, e.End, e.Target, e.Action, e.MinLength, e.Flags),
                  std::tie(x.Kind, x.First, x.End, x.Target, x.Action, x.MinLength, x.Flags));
        EXPECT_EQ(e.Variable, x.Variable);
        EXPECT_EQ(e.SecondPart, x.Second);
    }
    EXPECT_EQ(entries[3].Texts, (std::vector<std::string>{"Ocx\nSamples", "Ocx\nBeispiele"}));
    EXPECT_EQ(read.Pages[0].Entries.at(0).Action, vorn::page_action::Next);
    EXPECT_EQ(read.Pages[0].Entries.at(0).Target, 1);
}

TEST_F(DialogPages, TheListingCompilesToTheSameBytes) {
    const Built first = BuildAndOpen(PageScript, "/src/s.vns");
    ASSERT_TRUE(first.Archive);
    const std::string listing = vorn::authoring::ListArchive(*first.Archive);
    const Built second = BuildAndOpen(listing, "/src/listed.vns");
    EXPECT_EQ(second.Setup.Script, first.Setup.Script) << listing;
    EXPECT_EQ(second.Setup.Payload.Data, first.Setup.Payload.Data);
    // The pages and the wizards come back as statements; the odd set as its file.
    EXPECT_NE(listing.find("dialog-pages when SETUP \"custom\"\n    page \"Welcome\""),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("wizard DIRECTION PAGE size 400 300 options 3 picture \"wiz.bmp\""),
              std::string::npos);
    EXPECT_NE(listing.find("PAGE page \"Welcome\" close-progress abort-if-true\n"),
              std::string::npos);
    EXPECT_NE(listing.find("dialog-set \"odd.dlg\""), std::string::npos);
    EXPECT_NE(listing.find("radio 120 \"Full\" at 10 30 size 60 10 style 0x50030009"),
              std::string::npos);
    EXPECT_EQ(listing.find("call "), std::string::npos);
}

TEST_F(DialogPages, MistakesAreReportedAtTheirPlace) {
    struct Case {
        std::string Source;
        int Line;
        int Column;
        const char* Message;
    };
    const std::string open = "dialog-pages\npage \"P\" size 10 10\n";
    std::string many = "dialog-pages\n";
    for (int i = 0; i < 257; ++i) {
        many += "page \"P\" size 1 1\n";
    }
    const Case cases[] = {
        {"dialog-pages\nend-pages", 2, 1, "expected at least one page"},
        {"dialog-pages\nstatic 1 \"x\" at 0 0 size 1 1", 2, 1, "expected page before"},
        {"dialog-pages\npage \"P\" at 0 0", 2, 16, "expected size WIDTH HEIGHT"},
        {"log \"x\"\ndialog-pages\npage \"P\" size 1 1", 2, 1, "never ends: expected end-pages"},
        {open + "end", 3, 1, "found 'end'"},
        {open + "action button 1", 3, 16, "expected back, finish, next PAGE or cancel"},
        {open + "action edit 300", 3, 13, "from 0 to 255"},
        {open + "action slider 1", 3, 8, "expected the kind of control"},
        {open + "action radio 5 through 3", 3, 24, "from 5 to 254"},
        {open + "action button 1 next 5\nend-pages", 4, 1, "leads to page 5"},
        {open + "action edit 1 to NAME pairs", 3, 23, "a word of the edit action"},
        {open + "action button 1 back finish", 3, 22, "one of back, finish"},
        {open + "action edit 1 to ABCDEFGHIJKLMNOP", 3, 18, "longer than 15"},
        {"dialog-pages\npage \"P\" size 1 1 font \"\" 8", 2, 24, "face name that is not empty"},
        {open + "logical-font \"A\" x", 3, 18, "expected the font's height"},
        {open + "edit 1 at 0 0 size 10 -1", 3, 23, "from 0 to 32767"},
        {open + "static 1 \"x\" at 0 0 size 1 1 data \"0\"", 3, 35, "in hexadecimal"},
        {open + "edit 1 at 0 0", 3, 14, "expected size WIDTH HEIGHT"},
        {many, 258, 1, "at most 256 pages"},
        {"wizard D P", 1, 11, "expected page NAME"},
        {"wizard D P page \"a\\tb\"", 1, 17, "without a tab"},
        {"wizard D P picture \"none.bmp\" page \"x\"", 1, 20, "does not exist on the build"},
        {"wizard D P page \"x\" if V between \"1\"", 1, 26, "expected a comparison"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source);
        try {
            CompileScript(c.Source, "/src/s.vns", Read);
            ADD_FAILURE() << "compiled";
        } catch (const CompileError& error) {
            EXPECT_EQ(error.Line, c.Line) << error.what();
            EXPECT_EQ(error.Column, c.Column) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.Message), std::string::npos) << error.what();
        }
    }
}

} // namespace
