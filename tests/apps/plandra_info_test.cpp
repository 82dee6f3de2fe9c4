#include "control/database/control_error.h"
#include "drawing_loader.h"
#include "info_report.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <sstream>

namespace plandra::cli {
namespace {

std::string InfoJson(const std::string& fileName, LineEndPolicy policy) {
    LoadedDrawing drawing;
    std::ostringstream notices;
    LoadDrawing(drawing, fileName, policy, notices);
    EXPECT_EQ(notices.str(), "");
    std::ostringstream json;
    WriteInfoJson(json, "x", drawing);
    return json.str();
}

TEST(PlandraInfo, JsonCountsExtentsAndLayersOfTheSample) {
    std::string json = InfoJson((test::SourceDir() / "samples" / "site-plan.dxf").string(),
                                LineEndPolicy::ConvertBareLineFeeds);
    for (const char* part :
         {"{\"file\": \"x\", \"entities\": {\"lines\": 16, ", "\"arcs\": 13, \"solids\": 2, ",
          "\"ellipses\": 1, \"filledAreas\": 0}, \"sequence\": 37, \"blocks\": 0, ",
          "\"extents\": {\"left\": -5, \"top\": 45, \"right\": 65, \"bottom\": -5}",
          "{\"name\": \"DOORS\", \"color\": \"FF1000\", \"on\": true, \"redline\": false}, ",
          "{\"name\": \"NOTES\", \"color\": \"00FFFF\", \"on\": false, \"redline\": false}], "
          "\"redlineTextHeight\": 0}\n"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    }
}

TEST(PlandraInfo, JsonEscapesNamesAndWritesThemAsUtf8) {
    test::TempFile file(
        test::CrLfLines({"0", "SECTION", "2", "ENTITIES", "0", "POINT", "8", "Caf\xE9 \"A\\B\"\t",
                         "10", "0.1", "20", "1e-3", "0", "EOF"}));
    std::string json = InfoJson(file.Name(), LineEndPolicy::Strict);
    EXPECT_NE(json.find("{\"name\": \"Caf\xC3\xA9 \\\"A\\\\B\\\"\\t\", \"color\": \"000000\""),
              std::string::npos)
        << json;
}

TEST(PlandraInfo, BareLineFeedsAreConvertedUnlessStrict) {
    test::TempFile file("0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n1\n20\n2\n0\nEOF\n");
    LoadedDrawing drawing;
    std::ostringstream notices;
    LoadDrawing(drawing, file.Name(), LineEndPolicy::ConvertBareLineFeeds, notices);
    EXPECT_EQ(drawing.Database.LineCount, 1);
    EXPECT_NE(notices.str().find("bare line-feed"), std::string::npos);

    LoadedDrawing strict;
    EXPECT_THROW(LoadDrawing(strict, file.Name(), LineEndPolicy::Strict, notices), ControlError);
}

} // namespace
} // namespace plandra::cli
