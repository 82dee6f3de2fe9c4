// Saving a large generated drawing with 1,000 redline entities, beside copying the same
// file as `cp` does and a plain read-and-write copy through 1 MB buffers.
#include "control/database/layer_lookup.h"
#include "control/reader/dxf_reader.h"
#include "control/redline/dxf_writer.h"
#include "control/redline/redline_entities.h"
#include "generate_r12_drawing.h"
#include "platform/headless/headless_screen.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The R12 drawing of PLANDRA_BENCH_MEGABYTES (100 unless set), generated once.
const std::string& Drawing() {
    static const std::string name = [] {
        const char* megabytesText = std::getenv("PLANDRA_BENCH_MEGABYTES");
        long megabytes = megabytesText != nullptr ? std::strtol(megabytesText, nullptr, 10) : 100;
        std::string file = (fs::temp_directory_path() /
                            ("plandra-bench-r12-" + std::to_string(megabytes) + "mb.dxf"))
                               .string();
        if (!fs::exists(file)) {
            plandra::bench::GenerateR12Drawing(file, megabytes * 1000 * 1000);
        }
        return file;
    }();
    return name;
}

std::string Output() {
    return (fs::temp_directory_path() / "plandra-bench-saved.dxf").string();
}

// The drawing loaded as Regen loads it, with 1,000 redline entities on a new layer: 500
// lines, 250 circles and 250 texts.
const plandra::DrawingDatabase& MarkedUp() {
    static plandra::DrawingDatabase database;
    static const bool loaded = [] {
        const fs::path scratch = fs::temp_directory_path() / "plandra-bench-scratch" / "";
        fs::create_directories(scratch);
        plandra::DrawingOptions options;
        options.TmpFileNamePath = scratch.string();
        std::array<plandra::RealRect, 4> zoomStack{};
        platform::HeadlessScreen screen;
        database.InitDB(true);
        plandra::DxfReader reader(database, options, zoomStack, plandra::ReaderSurfaces{screen});
        reader.LoadDXF(Drawing());
        database.Layers().Add(plandra::IntegerTrue, 0x0000FF, "MARKUP", plandra::IntegerTrue, true);
        for (int i = 0; i < 250; ++i) {
            const auto x = static_cast<float>(i);
            plandra::DXFAddLine(database, x, 0, x + 10, 10, "MARKUP");
            plandra::DXFAddLine(database, x, 10, x + 10, 0, "MARKUP");
            plandra::DXFAddCircle(database, x, 5, x + 2.5f, 5, "MARKUP");
            plandra::DXFAddText(database, {x, 20, "CHECKED", 2.5f, 0, 0}, "MARKUP");
        }
        return true;
    }();
    benchmark::DoNotOptimize(loaded);
    return database;
}

void Measured(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(Drawing())));
    fs::remove(Output());
}

void SaveWithMarkup(benchmark::State& state) {
    const plandra::DrawingDatabase& database = MarkedUp();
    for (auto _ : state) {
        plandra::SaveDrawing(database, Drawing(), Output());
    }
    Measured(state);
}

// What `cp` does: the kernel's copy where the file system offers one.
void CopyFile(benchmark::State& state) {
    for (auto _ : state) {
        fs::copy_file(Drawing(), Output(), fs::copy_options::overwrite_existing);
    }
    Measured(state);
}

// A copy through user space, the way any program that reads what it writes must go.
void CopyThroughBuffers(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* input = std::fopen(Drawing().c_str(), "rb");
        std::FILE* output = std::fopen(Output().c_str(), "wb");
        std::size_t read = 0;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), input)) > 0) {
            std::fwrite(buffer.data(), 1, read, output);
        }
        std::fclose(input);
        std::fclose(output);
    }
    Measured(state);
}

} // namespace

BENCHMARK(CopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CopyThroughBuffers)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveWithMarkup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
