// Throughput of reading an installation log of one million lines, as the uninstaller
// reads it from disk.
#include "installer/log/install_log_reader.h"
#include "installer/log/install_log_writer.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A log of several installations with every record kind the engine writes, in the
// mix of a real one: mostly file records, with INI, registry and icon records between.
std::string MillionLineLog() {
    vorn::MemoryLogSink sink;
    vorn::InstallLogWriter writer(sink);
    long lines = 0;
    for (int section = 1; lines < 1'000'000; ++section) {
        writer.Header({2024, 5, section % 28 + 1, 9, 30, 0}, "Plandra Viewer",
                      "C:\\SETUP\\SETUP.EXE");
        writer.Information({"PLANDRA.MIF", "Acme Drawing Tools", "Plandra", "1.0", "0042"});
        writer.MadeDir("C:\\Program Files\\Plandra");
        lines += 9;
        for (int i = 0; i < 20'000 && lines < 1'000'000; ++i) {
            std::string file =
                "C:\\Program Files\\Plandra\\Samples\\drawing" + std::to_string(i) + ".dxf";
            switch (i % 10) {
            case 0:
                writer.IniEntry({"C:\\WINDOWS\\PLANDRA.INI", "Recent", "File" + std::to_string(i),
                                 file, "C:\\old\\" + std::to_string(i) + ".dxf"});
                lines += 5;
                break;
            case 1:
                writer.RegValue({"Software\\Acme\\Plandra\\Documents",
                                 file,
                                 "Path" + std::to_string(i),
                                 2,
                                 2,
                                 {"C:\\old\\one.dxf", "C:\\old\\two.dxf"}});
                lines += 7;
                break;
            case 2:
                writer.IconGroup("Plandra");
                writer.IconItem("Drawing " + std::to_string(i), file);
                lines += 3;
                break;
            case 3:
                writer.SharedCountIgnored();
                writer.FileOverwritten("C:\\WINDOWS\\SYSTEM\\PLANDRA" + std::to_string(i) + ".DLL");
                writer.BackupCopy("C:\\Program Files\\Plandra\\Backup\\PLANDRA" +
                                  std::to_string(i) + ".DLL");
                lines += 3;
                break;
            case 4:
                writer.VersionKept();
                writer.FileCopied(file);
                lines += 2;
                break;
            default:
                writer.FileCopied(file);
                lines += 1;
            }
        }
    }
    return sink.Text;
}

const std::string& LogText() {
    static const std::string text = MillionLineLog();
    return text;
}

const std::filesystem::path& LogFile() {
    static const std::filesystem::path path = [] {
        std::filesystem::path name =
            std::filesystem::temp_directory_path() / "install-log-bench-INSTALL.LOG";
        std::ofstream file(name, std::ios::binary);
        file.write(LogText().data(), static_cast<std::streamsize>(LogText().size()));
        return name;
    }();
    return path;
}

// Reads the log with `read` on every iteration; counts its bytes, lines and records.
template <typename Read> void MeasureReading(benchmark::State& state, Read read) {
    std::size_t records = 0;
    for (auto _ : state) {
        vorn::LogReadResult result = read();
        records = result.Log.Records.size();
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(LogText().size()) * state.iterations());
    state.counters["lines"] =
        static_cast<double>(std::count(LogText().begin(), LogText().end(), '\r'));
    state.counters["records"] = static_cast<double>(records);
}

void ReadMillionLineLogFile(benchmark::State& state) {
    MeasureReading(state, [path = LogFile()] { return vorn::ReadInstallLog(path); });
}
BENCHMARK(ReadMillionLineLogFile)->Unit(benchmark::kMillisecond);

// The same without the file system, to tell reading from parsing.
void ParseMillionLineLogInMemory(benchmark::State& state) {
    MeasureReading(state, [] { return vorn::ParseInstallLog(LogText()); });
}
BENCHMARK(ParseMillionLineLogInMemory)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(LogFile(), ignored);
    return 0;
}
