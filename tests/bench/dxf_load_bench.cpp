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

namespace fs = std::filesystem;
using plandra::bench::BlockLayout;

// A generated drawing, written once under `label` and kept in the temporary folder.
template <typename Write> std::string GeneratedOnce(const std::string& label, Write write) {
    std::string file = (fs::temp_directory_path() / ("plandra-bench-" + label + ".dxf")).string();
    if (!fs::exists(file)) {
        write(file);
    }
    return file;
}

// The R12 drawing of PLANDRA_BENCH_MEGABYTES (100 unless set).
const std::string& Drawing() {
    static const std::string name = [] {
        const char* megabytesText = std::getenv("PLANDRA_BENCH_MEGABYTES");
        long megabytes = megabytesText != nullptr ? std::strtol(megabytesText, nullptr, 10) : 100;
        return GeneratedOnce("r12-" + std::to_string(megabytes) + "mb", [&](const std::string& f) {
            plandra::bench::GenerateR12Drawing(f, megabytes * 1000 * 1000);
        });
    }();
    return name;
}

// 100,000 inserts of blocks of 20 entities, and the same two million entities
// written out flat: inserting may cost at most three times reading flat.
const std::string& BlockDrawing(BlockLayout layout) {
    auto write = [](BlockLayout chosen, const char* label) {
        return GeneratedOnce(std::string("blocks-") + label, [&](const std::string& file) {
            plandra::bench::GenerateBlockDrawing(file, 100'000, 20, chosen);
        });
    };
    static const std::string inserts = write(BlockLayout::Inserts, "inserts");
    static const std::string flat = write(BlockLayout::Flat, "flat");
    return layout == BlockLayout::Inserts ? inserts : flat;
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

// One load into a fresh database, as Regen does it, with block scratch files in a
// folder of the benchmarks' own; returns the entities read.
plandra::Long LoadOnce(const std::string& file) {
    static const std::string scratch = [] {
        const fs::path folder = fs::temp_directory_path() / "plandra-bench-scratch" / "";
        fs::create_directories(folder);
        return folder.string();
    }();
    plandra::DrawingDatabase database;
    plandra::DrawingOptions options;
    options.TmpFileNamePath = scratch;
    std::array<plandra::RealRect, 4> zoomStack{};
    platform::HeadlessScreen screen;
    database.InitDB(true);
    plandra::DxfReader reader(database, options, zoomStack, plandra::ReaderSurfaces{screen});
    benchmark::DoNotOptimize(reader.LoadDXF(file));
    return database.SeqCount;
}

void LoadDrawing(benchmark::State& state, const std::string& file) {
    for (auto _ : state) {
        state.counters["entities"] = static_cast<double>(LoadOnce(file));
    }
    const auto bytes = static_cast<std::int64_t>(fs::file_size(file));
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["peak_rss_mb"] = PeakResidentMegabytes();
    state.counters["file_mb"] = static_cast<double>(bytes) / 1e6;
}

// What `wc -l` does: the floor a reader can chase.
void CountLines(benchmark::State& state, const std::string& file) {
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
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Drawings are generated on first use, so a filtered run writes only those it needs.
    auto add = [](const char* name, void (*measure)(benchmark::State&, const std::string&),
                  const std::string& (*drawing)()) {
        benchmark::RegisterBenchmark(name,
                                     [=](benchmark::State& state) { measure(state, drawing()); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    add("CountLines", CountLines, Drawing);
    add("LoadGeneratedDrawing", LoadDrawing, Drawing);
    add("LoadInsertedBlocks", LoadDrawing,
        []() -> const std::string& { return BlockDrawing(BlockLayout::Inserts); });
    add("LoadSameEntitiesFlat", LoadDrawing,
        []() -> const std::string& { return BlockDrawing(BlockLayout::Flat); });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
