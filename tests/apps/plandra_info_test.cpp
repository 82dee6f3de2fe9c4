#include "drawing_loader.h"
#include "info_report.h"
#include "support/temp_file.h"

#include "control/database/control_error.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plandra::cli {
namespace {

std::string SamplePath() { return (test::SourceDir() / "samples" / "site-plan.dxf").string(); }

TEST(PlandraInfo, JsonDescribesTheSampleDrawingExactly) {
    LoadedDrawing drawing;
    std::ostringstream notices;
    LoadDrawing(drawing, SamplePath(), LineEndPolicy::ConvertBareLineFeeds, notices);
    EXPECT_EQ(notices.str(), "");
    std::ostringstream json;
    WriteInfoJson(json, "site-plan.dxf", drawing);
    EXPECT_EQ(json.str(),
              "{\"file\": \"site-plan.dxf\", \"entities\": {\"lines\": 16, \"polylineSegments\": 0, "
              "\"texts\": 0, \"arcs\": 13, \"solids\": 2, \"points\": 5, \"attributes\": 0, "
              "\"ellipses\": 1}, \"sequence\": 37, \"blocks\": 0, \"extents\": {\"left\": -5, "
              "\"top\": 45, \"right\": 65, \"bottom\": -5}, \"layers\": [{\"name\": \"0\", "
              "\"color\": \"FFFFFF\", \"on\": true, \"redline\": false}, {\"name\": \"WALLS\", "
              "\"color\": \"FFFFFF\", \"on\": true, \"redline\": false}, {\"name\": \"DOORS\", "
              "\"color\": \"FF1000\", \"on\": true, \"redline\": false}, {\"name\": \"TREES\", "
              "\"color\": \"00FF00\", \"on\": true, \"redline\": false}, {\"name\": \"WATER\", "
              "\"color\": \"0010FF\", \"on\": true, \"redline\": false}, {\"name\": \"PAVING\", "
              "\"color\": \"849684\", \"on\": true, \"redline\": false}, {\"name\": \"SURVEY\", "
              "\"color\": \"FF10FF\", \"on\": true, \"redline\": false}, {\"name\": "
              "\"FURNITURE\", \"color\": \"FF7100\", \"on\": true, \"redline\": false}, "
              "{\"name\": \"CONSTRUCTION\", \"color\": \"FFFF00\", \"on\": false, \"redline\": "
              "false}, {\"name\": \"NOTES\", \"color\": \"00FFFF\", \"on\": false, \"redline\": "
              "false}], \"redlineTextHeight\": 0}\n");
}

TEST(PlandraInfo, JsonEscapesNamesAndWritesThemAsUtf8) {
    test::TempFile file(test::CrLfLines({"0", "SECTION", "2", "ENTITIES", "0", "POINT", "8",
                                         "Caf\xE9 \"A\\B\"\t", "10", "0.1", "20", "1e-3", "0",
                                         "EOF"}));
    LoadedDrawing drawing;
    std::ostringstream notices;
    LoadDrawing(drawing, file.Name(), LineEndPolicy::Strict, notices);
    std::ostringstream json;
    WriteInfoJson(json, "x", drawing);
    EXPECT_NE(json.str().find("{\"name\": \"Caf\xC3\xA9 \\\"A\\\\B\\\"\\t\", \"color\": \"000000\""),
              std::string::npos)
        << json.str();
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
