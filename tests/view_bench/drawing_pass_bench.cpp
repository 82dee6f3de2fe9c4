// Full redraws of one million entities into a 1024 x 768 raster: lines spanning the
// extents, and a mix of every kind the pass draws at the sizes of a real plan. The
// same mix drawn through a GDI that paints nothing gives the pass's own share. Then the
// view moves over the mix: a window zoom to a tenth of the extents, ZoomPrevious back to
// them, and Find walking 100,000 texts.
#include "control/view/drawing_view.h"
#include "control/view/view_navigation.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/null_gdi.h"
#include "platform/metafile/metafile_gdi.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <benchmark/benchmark.h>
#include <random>

namespace plandra {
namespace {

constexpr Long EntityCount = 1000000;
constexpr RealRect Extents{0, 750, 1000, 0};

// Lines whose ends lie anywhere in the extents: on average a third of the surface long.
void FillWithLines(DrawingDatabase& database) {
    database.InitDB(true);
    database.Layers().Add(IntegerTrue, 0x000000, "0", IntegerFalse, false);
    const Long layer = 1;
    std::mt19937 random(1);
    std::uniform_real_distribution<float> x(Extents.Left, Extents.Right);
    std::uniform_real_distribution<float> y(Extents.Bottom, Extents.Top);
    for (Long i = 0; i < EntityCount; ++i) {
        database.Append(
            LineRec{x(random), y(random), x(random), y(random), layer, 0, static_cast<Long>(i % 5)},
            50);
    }
    database.Extents = Extents;
}

// A plan's mix: most entities are a few pixels to a few dozen pixels across.
void FillWithMixedEntities(DrawingDatabase& database) {
    database.InitDB(true);
    for (Long color : {0x000000, 0x0000FF, 0x00FF00, 0xFF0000}) {
        database.Layers().Add(IntegerTrue, color, "L" + std::to_string(color), IntegerFalse, false);
    }
    std::mt19937 random(2);
    std::uniform_real_distribution<float> x(Extents.Left, Extents.Right);
    std::uniform_real_distribution<float> y(Extents.Bottom, Extents.Top);
    std::uniform_real_distribution<float> size(0.5f, 20);
    std::uniform_int_distribution<int> kind(0, 99);
    std::uniform_int_distribution<Long> layer(1, 4);
    for (Long i = 0; i < EntityCount; ++i) {
        float cx = x(random), cy = y(random), s = size(random);
        Long l = layer(random);
        int k = kind(random);
        if (k < 40) {
            database.Append(LineRec{cx, cy, cx + s, cy + s / 2, l, 0, k % 5}, 50);
        } else if (k < 50) {
            database.Append(PolySegRec{cx, cy, cx - s, cy + s, k < 45 ? 0.0f : 0.5f, l, 0, 0}, 50);
        } else if (k < 60) {
            database.Append(ArcRec{cx, cy, s / 2, 0, 0, l, 0, 0}, 10);
        } else if (k < 70) {
            database.Append(ArcRec{cx, cy, s / 2, 30, 240, l, 0, 0}, 10);
        } else if (k < 75) {
            database.Append(EllipseRec{cx, cy, s / 2, 0, 0.5f, 0, 0, l, 0, 0}, 10);
        } else if (k < 85) {
            database.Append(SolidRec{cx, cy, cx + s, cy, cx + s, cy + s / 3, cx, cy + s / 3, l, 0},
                            10);
        } else {
            database.Append(PointRec{cx, cy, l, 0}, 10);
        }
    }
    database.Extents = Extents;
}

// PassOnly draws through a GDI that paints nothing: what is left is the pass itself.
template <void (*Fill)(DrawingDatabase&), bool PassOnly = false>
void FullRedraw(benchmark::State& state) {
    DrawingDatabase database;
    Fill(database);
    DrawingOptions options;
    platform::HeadlessScreen screen;
    platform::CairoGdi cairo;
    platform::NullGdi null;
    platform::GdiService& gdi = PassOnly ? static_cast<platform::GdiService&>(null) : cairo;
    platform::OffscreenPictureBox surface(cairo, 1024, 768);
    DrawingView view(database, options, ViewSurfaces{screen, gdi, surface});
    for (auto _ : state) {
        if (!view.ZoomExtents()) {
            state.SkipWithError("nothing drawn");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * EntityCount);
}

// The mix at its extents on a 1024 x 768 raster, with the zoom operations over it.
struct NavigatedMix {
    NavigatedMix() {
        FillWithMixedEntities(Database);
        ZoomStack.fill(Database.Extents);
        View.ZoomExtents();
    }
    DrawingDatabase Database;
    DrawingOptions Options;
    std::array<RealRect, 4> ZoomStack{};
    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox Surface{Gdi, 1024, 768};
    DrawingView View{Database, Options, ViewSurfaces{Screen, Gdi, Surface}};
    ViewNavigator Navigator{View, Database, ZoomStack, Surface, Screen};
};

// The window zoom of a release after a drag over the middle tenth of each side.
void WindowZoomToATenth(benchmark::State& state) {
    NavigatedMix mix;
    for (auto _ : state) {
        if (!mix.Navigator.ZoomToPixels(461, 563, 346, 422)) {
            state.SkipWithError("nothing drawn");
            break;
        }
        state.PauseTiming();
        mix.View.ZoomExtents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * EntityCount);
}

// ZoomPrevious from a zoomed view back to the extents.
void ZoomPreviousToTheExtents(benchmark::State& state) {
    NavigatedMix mix;
    const RealRect tenth{450, 412.5f, 550, 337.5f};
    for (auto _ : state) {
        state.PauseTiming();
        mix.Navigator.AddToPrevZoomStack(tenth);
        state.ResumeTiming();
        if (mix.Navigator.ZoomPrevious() == IntegerFalse) {
            state.SkipWithError("nothing drawn");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * EntityCount);
}

// Find from the first of 100,000 texts to the only match, the last.
void FindTheLastOf100000Texts(benchmark::State& state) {
    constexpr Long TextCount = 100000;
    DrawingDatabase database;
    database.InitDB(true);
    database.Layers().Add(IntegerTrue, 0, "0", IntegerFalse, false);
    for (Long i = 1; i <= TextCount; ++i) {
        TextRec text;
        text.X = static_cast<float>(i % 1000);
        text.Y = static_cast<float>(i / 1000);
        text.Text.Assign(i == TextCount ? " Last text " : "Room " + std::to_string(i));
        text.LayerID = 1;
        database.Append(text, 50);
    }
    database.Extents = Extents;
    DrawingOptions options;
    std::array<RealRect, 4> zoomStack{};
    platform::HeadlessScreen screen;
    platform::NullGdi gdi;
    platform::CairoGdi cairo;
    platform::OffscreenPictureBox surface(cairo, 1024, 768);
    DrawingView view(database, options, ViewSurfaces{screen, gdi, surface});
    ViewNavigator navigator(view, database, zoomStack, surface, screen);
    for (auto _ : state) {
        std::string text = "last text";
        navigator.Search.LastFindIndex = 0;
        if (navigator.Find(text, 0, false) != TextCount) {
            state.SkipWithError("not found");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * TextCount);
}

// Pans of the mix by a tenth of the surface, back and forth from its extents, on the
// viewer's drawing surface (800 x 560) through the GDI the viewer draws with: cairo
// behind the metafile writer's pass-through.
void PanAtTheViewersSize(benchmark::State& state) {
    DrawingDatabase database;
    FillWithMixedEntities(database);
    DrawingOptions options;
    std::array<RealRect, 4> zoomStack{};
    zoomStack.fill(database.Extents);
    platform::HeadlessScreen screen;
    platform::CairoGdi cairo;
    platform::metafile::MetafileGdi gdi(cairo);
    platform::OffscreenPictureBox surface(cairo, 800, 560);
    DrawingView view(database, options, ViewSurfaces{screen, gdi, surface});
    ViewNavigator navigator(view, database, zoomStack, surface, screen);
    view.ZoomExtents();
    Integer step = 80;
    for (auto _ : state) {
        if (!navigator.Pan(step, step * 7 / 10)) {
            state.SkipWithError("nothing drawn");
            break;
        }
        step = static_cast<Integer>(-step);
    }
    state.SetItemsProcessed(state.iterations() * EntityCount);
}

BENCHMARK(FullRedraw<FillWithLines>)
    ->Name("MillionLinesAtTheExtents")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FullRedraw<FillWithMixedEntities>)
    ->Name("MillionMixedEntities")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FullRedraw<FillWithMixedEntities, true>)
    ->Name("MillionMixedEntitiesPassOnly")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PanAtTheViewersSize)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowZoomToATenth)->Unit(benchmark::kMillisecond);
BENCHMARK(ZoomPreviousToTheExtents)->Unit(benchmark::kMillisecond);
BENCHMARK(FindTheLastOf100000Texts)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace plandra

BENCHMARK_MAIN();
