// Fuzz target: arbitrary bytes read as a DXF file must end in a result or a
// ControlError, never a crash, a hang or unbounded memory.
#include "control/database/control_error.h"
#include "control/reader/dxf_reader.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/recording_picture_box.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// Block scratch files go to a folder of the target's own, which every read must
// leave empty; the folder goes at exit.
struct ScratchFolder {
    ScratchFolder() { std::filesystem::create_directories(Path); }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
    const std::filesystem::path Path =
        std::filesystem::temp_directory_path() /
        ("plandra-fuzz-blocks-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
};

const std::filesystem::path& BlockFolder() {
    static const ScratchFolder folder;
    return folder.Path;
}

const std::string& ScratchFileName() {
    static const std::string name =
        (std::filesystem::temp_directory_path() /
         ("plandra-fuzz-" + std::to_string(reinterpret_cast<std::uintptr_t>(&name)) + ".dxf"))
            .string();
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& fileName = ScratchFileName();
    if (std::FILE* file = std::fopen(fileName.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    } else {
        return 0;
    }
    plandra::DrawingDatabase database;
    plandra::DrawingOptions options;
    options.CalcExtents = size > 0 && (data[0] & 1) != 0;
    // Both readers: the modern kinds for files starting with a blank or a digit 0,
    // 1, 4 or 5 (most of them), the classic reader for the others.
    options.ReadModernEntities = size == 0 || (data[0] & 2) == 0;
    options.TmpFileNamePath = (BlockFolder() / "").string();
    std::array<plandra::RealRect, 4> zoomStack{};
    platform::HeadlessScreen screen;
    platform::RecordingPictureBox statusBar(100, 10);
    database.InitDB(true);
    plandra::DxfReader reader(database, options, zoomStack,
                              plandra::ReaderSurfaces{screen, &statusBar, nullptr});
    try {
        reader.LoadDXF(fileName);
    } catch (const plandra::ControlError&) {
    }
    std::remove(fileName.c_str());
    if (!std::filesystem::is_empty(BlockFolder())) {
        std::fprintf(stderr, "a block scratch file outlived the read\n");
        std::abort();
    }
    return 0;
}
