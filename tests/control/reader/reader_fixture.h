// A reader with a fresh database, a recording screen and recording surfaces, and DXF
// text written compactly for its tests.
#pragma once

#include "control/database/control_error.h"
#include "control/reader/dxf_reader.h"
#include "platform/headless/headless_message_box.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/recording_picture_box.h"
#include "support/control_error_of.h"
#include "support/temp_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace plandra::test {

/// DXF text of lines written with a bar between them ("0|LINE|8|0"), each ended with CR LF.
inline std::string Dxf(std::string_view lines) {
    std::string text;
    for (std::size_t start = 0;;) {
        std::size_t bar = lines.find('|', start);
        text.append(lines.substr(start, bar - start)).append("\r\n");
        if (bar == std::string_view::npos) {
            return text;
        }
        start = bar + 1;
    }
}

/// A section named `name` holding `lines` (written as for Dxf) and its ENDSEC.
inline std::string Section(std::string_view name, std::string_view lines) {
    return Dxf("0|SECTION|2|" + std::string(name) + "|" + std::string(lines) + "|0|ENDSEC");
}

/// A complete drawing whose ENTITIES section holds `entities` (written as for Dxf).
inline std::string EntitiesDrawing(std::string_view entities) {
    return Section("ENTITIES", entities) + Dxf("0|EOF");
}

/// Checks values read back against those expected, each within 1e-4.
inline void ExpectNear(const std::vector<float>& actual, const std::vector<float>& expected) {
    EXPECT_THAT(actual, ::testing::Pointwise(::testing::FloatNear(1e-4f), expected));
}

class ReaderFixture : public ::testing::Test {
protected:
    // Block scratch files go to a folder of the test's own, so that tests running
    // side by side cannot share them.
    ReaderFixture() { Options.TmpFileNamePath = ScratchFolder.WithSeparator(); }

    /// Reads `contents` as a file into the database, emptied first.
    bool Load(const std::string& contents) {
        TempFile file(contents);
        return LoadFile(file.Name());
    }

    bool LoadFile(const std::string& fileName) {
        Database.InitDB(true);
        Database.BlockCount = 0;
        Database.PendingInsertCount = 0;
        return Reader().LoadDXF(fileName);
    }

    /// Reads `contents` and returns the description of the error it raises.
    std::string LoadError(const std::string& contents) {
        TempFile file(contents);
        return LoadFileError(file.Name());
    }

    std::string LoadFileError(const std::string& fileName) {
        ControlError error = ErrorOf([&] { LoadFile(fileName); });
        EXPECT_EQ(error.Number, ControlErrorNumber);
        return error.Description;
    }

    DxfReader Reader() {
        return DxfReader(Database, Options, ZoomStack,
                         ReaderSurfaces{Screen, &StatusBar, &Surface, &MessageBoxes});
    }

    TempFolder ScratchFolder;
    DrawingDatabase Database;
    DrawingOptions Options;
    std::array<RealRect, 4> ZoomStack{};
    platform::HeadlessScreen Screen;
    platform::HeadlessMessageBox MessageBoxes;
    platform::RecordingPictureBox StatusBar{400, 20};
    platform::RecordingPictureBox Surface{640, 480};
};

} // namespace plandra::test
