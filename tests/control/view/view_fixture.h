// A drawing view over a recording GDI and recording surfaces, with helpers that put
// entities straight into the database.
#pragma once

#include "control/database/drawing_database.h"
#include "control/view/drawing_view.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/recording_gdi.h"
#include "platform/headless/recording_picture_box.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace plandra::test {

class ViewFixture : public ::testing::Test {
public:
    ViewFixture() {
        Database.InitDB(true);
        Surface.Dc = Gdi.CreateCompatibleDC(nullptr);
        Gdi.Restart();
    }

    /// An empty database with one layer of that colour, and the GDI's record restarted.
    Long Restart(Long layerColor) {
        Database.InitDB(true);
        Gdi.Restart();
        return AddLayer(layerColor);
    }

    Long AddLayer(Long color, bool on = true) {
        Database.Layers().Add(on ? IntegerTrue : IntegerFalse, color,
                              "L" + std::to_string(Database.Layers().Count() + 1), IntegerFalse,
                              false);
        return Database.Layers().Count();
    }

    template <typename Record> void Add(const Record& record) { Database.Append(record, 50); }
    void Add(const AttribRec& attrib) {
        Database.AppendEntity(EntityKind::Attrib, Database.Attribs, Database.AttribCount, attrib,
                              10);
    }

    /// The calls of the pass that draw, without the region and visibility bookkeeping.
    std::vector<std::string> DrawingCalls() const {
        std::vector<std::string> drawing;
        std::string viewRegion;
        for (const std::string& call : Gdi.Calls) {
            if (call.starts_with("CreateRectRgn")) {
                viewRegion = call.substr(call.rfind(' ') + 1);
                continue;
            }
            if (call.starts_with("RectInRegion") || call == "DeleteObject(" + viewRegion + ")") {
                continue;
            }
            drawing.push_back(call);
        }
        return drawing;
    }

    platform::RecordingGdi Gdi;
    platform::RecordingPictureBox Surface{100, 100};
    platform::HeadlessScreen Screen;
    DrawingDatabase Database;
    DrawingOptions Options;
    DrawingView View{Database, Options, ViewSurfaces{Screen, Gdi, Surface}};
};

} // namespace plandra::test
