// A reader with a fresh database, a recording screen and recording surfaces.
#pragma once

#include "control/database/control_error.h"
#include "control/reader/dxf_reader.h"
#include "support/temp_file.h"

#include <platform/headless/headless_message_box.h>
#include <platform/headless/headless_screen.h>
#include <platform/headless/recording_picture_box.h>

#include <gtest/gtest.h>

namespace plandra::test {

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
        try {
            Load(contents);
        } catch (const ControlError& error) {
            EXPECT_EQ(error.Number, ControlErrorNumber);
            return error.Description;
        }
        ADD_FAILURE() << "the read raised no error";
        return {};
    }

    DxfReader Reader() {
        return DxfReader(Database, Options, ZoomStack, ReaderSurfaces{Screen, &StatusBar, &Surface,
                                                                  &MessageBoxes});
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
