// Every public drawing of the shared corpus loads, or is refused as "not a DXF file"
// while its bare line-feed ends stand, and loads once they are converted.
#include "control/reader/fix_unix_file.h"
#include "reader_fixture.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace plandra {
namespace {

std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(test::CorpusDir(), error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file() && it->path().extension() == ".dxf") {
            files.push_back(it->path());
        }
    }
    return files;
}

class CorpusTest : public test::ReaderFixture {
protected:
    void SetUp() override {
        Files = CorpusFiles();
        if (Files.empty()) {
            GTEST_SKIP() << "the shared DXF corpus is not at " << test::CorpusDir().string();
        }
    }

    std::vector<std::filesystem::path> Files;
};

TEST_F(CorpusTest, EveryFileLoadsAsItStandsOrIsRejectedAsNotDxf) {
    for (const auto& path : Files) {
        try {
            LoadFile(path.string());
            EXPECT_TRUE(Database.DXFComplete) << path;
        } catch (const ControlError& error) {
            // Files with bare line feeds read as one long line without "SECTION".
            EXPECT_EQ(error.Description, path.string() + " does not appear to be a DXF file.");
        }
        EXPECT_EQ(Screen.GetMousePointer(), platform::MousePointer::Default) << path;
    }
}

TEST_F(CorpusTest, EveryFileWithConvertedLineEndsLoadsWithTheClassicAndTheModernKinds) {
    // Drawings of today's CAD programs that hold nothing of the classic kinds.
    const std::vector<std::string> modernOnly = {
        "skymakerolof-dxf/lwpolylines.dxf", "skymakerolof-dxf/splines.dxf",
        "skymakerolof-dxf/squircle2.dxf", "skymakerolof-dxf/testHatch.dxf",
        "dxf-parser/splines.dxf"};
    for (bool modern : {false, true}) {
        Options.ReadModernEntities = modern;
        int loaded = 0;
        for (const auto& path : Files) {
            test::TempFile converted;
            std::string error;
            ASSERT_TRUE(FixUNIXFile(error, path.string(), converted.Name(), Screen)) << error;
            try {
                LoadFile(converted.Name());
                ++loaded;
            } catch (const ControlError& error) {
                ADD_FAILURE() << path << ": " << error.Description;
            }
            EXPECT_LE(Database.SeqCount, Database.SeqArray.UpperBound()) << path;
            EXPECT_EQ(ScratchFolder.FileCount(), 0u) << path << ": a block scratch file remains";
            const std::string name = path.lexically_relative(test::CorpusDir()).generic_string();
            if (std::find(modernOnly.begin(), modernOnly.end(), name) != modernOnly.end()) {
                EXPECT_EQ(Database.SeqCount > 0, modern) << name;
            }
        }
        EXPECT_EQ(loaded, static_cast<int>(Files.size()));
    }
}

} // namespace
} // namespace plandra
