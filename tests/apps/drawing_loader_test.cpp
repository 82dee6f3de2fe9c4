#include "drawing_loader.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace plandra::cli {
namespace {

TEST(DrawingLoader, ErrorsAboutAConvertedCopyNameTheUsersFile) {
    using namespace std::string_literals;
    // A binary DXF file: its bytes hold bare line feeds, so a copy is read.
    test::TempFile file("AutoCAD Binary DXF\r\n\x1a\0\0\x02\nSECTION\0\x02\nHEADER\0"s);
    LoadedDrawing drawing;
    std::ostringstream notices;
    const ControlError error = test::ErrorOf(
        [&] { LoadDrawing(drawing, file.Name(), LineEndPolicy::ConvertBareLineFeeds, notices); });
    EXPECT_TRUE(error.Description.starts_with(file.Name() + " does not appear to be a DXF file."))
        << error.Description;
}

} // namespace
} // namespace plandra::cli
