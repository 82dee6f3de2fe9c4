// Redline markup at scale: one selection click hit-testing 100,000 redline lines,
// circles and texts on a 1024 x 768 raster, and adding one more entity beside the
// redraw that shows it.
#include "control/redline/redline_entities.h"
#include "control/redline/redline_selection.h"
#include "control/view/drawing_view.h"
#include "platform/headless/headless_screen.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <benchmark/benchmark.h>
#include <random>

namespace plandra {
namespace {

constexpr Long RedlineCount = 100000;

// Small markup spread over 1000 x 750 units: 40% lines, 40% circles, 20% texts.
struct RedlineDrawing {
    RedlineDrawing() {
        Database.InitDB(true);
        std::mt19937 random(3);
        std::uniform_real_distribution<float> x(0, 1000), y(0, 750), size(0.5f, 10);
        for (Long i = 0; i < RedlineCount; ++i) {
            const float cx = x(random), cy = y(random), s = size(random);
            if (i % 5 < 2) {
                DXFAddLine(Database, cx, cy, cx + s, cy + s / 2, "MARKUP");
            } else if (i % 5 < 4) {
                DXFAddCircle(Database, cx, cy, cx + s / 2, cy, "MARKUP");
            } else {
                DXFAddText(Database, {cx, cy, "Note", s / 2, 0, 0}, "MARKUP");
            }
        }
        View.ZoomExtents();
    }
    DrawingDatabase Database;
    DrawingOptions Options;
    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 1024, 768};
    DrawingView View{Database, Options, ViewSurfaces{Screen, Gdi, Surface}};
};

// A click on a white pixel in the middle: every entity is tested, none is hit.
void SelectionClickOver100000Entities(benchmark::State& state) {
    RedlineDrawing drawing;
    float x = 512;
    while (drawing.Surface.Point(x, 384) != 0xFFFFFF) {
        ++x;
    }
    const RedlineScene scene{drawing.Database, drawing.Options, drawing.View.Transform,
                             drawing.Surface};
    std::string error;
    for (auto _ : state) {
        if (FindRedlineEntity(error, scene, x, 384).Found) {
            state.SkipWithError("a white pixel selected an entity");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * RedlineCount);
}

void AddOneRedlineLine(benchmark::State& state) {
    RedlineDrawing drawing;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DXFAddLine(drawing.Database, 10, 10, 20, 20, "markup"));
    }
}

void RedrawOf100000Entities(benchmark::State& state) {
    RedlineDrawing drawing;
    for (auto _ : state) {
        drawing.View.DXFRefresh();
    }
}

BENCHMARK(SelectionClickOver100000Entities)->Unit(benchmark::kMillisecond);
BENCHMARK(AddOneRedlineLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(RedrawOf100000Entities)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plandra

BENCHMARK_MAIN();
