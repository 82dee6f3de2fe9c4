// Throughput of loading a large generated R12 drawing, beside a plain line count
// (what `wc -l` does), the floor a reader can chase.
#include "control/reader/dxf_reader.h"
#include "generate_block_drawing.h"
#include "generate_r12_drawing.h"
#include "platform/headless/headless_screen.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The drawing is written once per size and kept in the temporary folder.
const std::string& Drawing() {
    static const std::string name = [] {
        const char* megabytesText = std::getenv("PLANDRA_BENCH_MEGABYTES");
        long megabytes = megabytesText != nullptr ? std::strtol(megabytesText, nullptr, 10) : 100;
        std::string file = (std::filesystem::temp_directory_path() /
                            ("plandra-bench-r12-" + std::to_string(megabytes) + "mb.dxf"))
                               .string();
        if (!std::filesystem::exists(file)) {
            plandra::bench::GenerateR12Drawing(file, megabytes * 1000 * 1000);
        }
        return file;
    }();
    return name;
}

std::int64_t FileBytes() {
    return static_cast<std::int64_t>(std::filesystem::file_size(Drawing()));
}

// Peak resident memory of this process so far, in megabytes.
double PeakResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
        }
    }
    return 0;
}

// Block scratch files of the benchmarks go to a folder of their own.
std::string ScratchFolder() {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / "plandra-bench-scratch" / "";
    std::filesystem::create_directories(scratch);
    return scratch.string();
}

// One load into a fresh database, as Regen does it; returns the entities read.
plandra::Long LoadOnce(const std::string& file) {
    plandra::DrawingDatabase database;
    plandra::DrawingOptions options;
    static const std::string scratch = ScratchFolder();
    options.TmpFileNamePath = scratch;
    std::array<plandra::RealRect, 4> zoomStack{};
    platform::HeadlessScreen screen;
    database.InitDB(true);
    plandra::DxfReader reader(database, options, zoomStack, plandra::ReaderSurfaces{screen});
    benchmark::DoNotOptimize(reader.LoadDXF(file));
    return database.SeqCount;
}

void LoadGeneratedDrawing(benchmark::State& state) {
    const std::string& file = Drawing();
    for (auto _ : state) {
        state.counters["entities"] = static_cast<double>(LoadOnce(file));
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
    state.counters["peak_rss_mb"] = PeakResidentMegabytes();
    state.counters["file_mb"] = static_cast<double>(FileBytes()) / 1e6;
}

// 100,000 inserts of blocks of 20 entities, and the same two million entities
// written out flat: inserting may cost at most three times reading flat.
constexpr int BenchInserts = 100'000;
constexpr int BenchEntitiesPerBlock = 20;

const std::string& BlockDrawing(plandra::bench::BlockLayout layout) {
    auto write = [](plandra::bench::BlockLayout chosen, const char* label) {
        std::string file = (std::filesystem::temp_directory_path() /
                            ("plandra-bench-blocks-" + std::string(label) + ".dxf"))
                               .string();
        if (!std::filesystem::exists(file)) {
            plandra::bench::GenerateBlockDrawing(file, BenchInserts, BenchEntitiesPerBlock, chosen);
        }
        return file;
    };
    static const std::string inserts = write(plandra::bench::BlockLayout::Inserts, "inserts");
    static const std::string flat = write(plandra::bench::BlockLayout::Flat, "flat");
    return layout == plandra::bench::BlockLayout::Inserts ? inserts : flat;
}

void LoadBlockDrawing(benchmark::State& state, plandra::bench::BlockLayout layout) {
    const std::string& file = BlockDrawing(layout);
    for (auto _ : state) {
        state.counters["entities"] = static_cast<double>(LoadOnce(file));
    }
    state.counters["file_mb"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
}

void LoadInsertedBlocks(benchmark::State& state) {
    LoadBlockDrawing(state, plandra::bench::BlockLayout::Inserts);
}

void LoadSameEntitiesFlat(benchmark::State& state) {
    LoadBlockDrawing(state, plandra::bench::BlockLayout::Flat);
}

void CountLines(benchmark::State& state) {
    const std::string& file = Drawing();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* input = std::fopen(file.c_str(), "rb");
        std::int64_t lines = 0;
        std::size_t read = 0;
        while ((read = std::fread(buffer.data(), 1, buffer.size(), input)) > 0) {
            const char* at = buffer.data();
            const char* end = at + read;
            while ((at = static_cast<const char*>(std::memchr(at, '\n', end - at))) != nullptr) {
                ++lines;
                ++at;
            }
        }
        std::fclose(input);
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * FileBytes());
}

} // namespace

BENCHMARK(CountLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadGeneratedDrawing)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadInsertedBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadSameEntitiesFlat)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
