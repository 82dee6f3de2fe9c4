// Fuzz target: arbitrary text compiled as an installation script ends in a compiled
// setup or a compile error at a line of the text, never a crash or a hang; what
// compiles lists back without a crash, and so do the bytes themselves read as a
// compiled script.
#include "installer/authoring/script_compiler.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // Every file of the build machine holds one line, so includes and installs go on.
    const vorn::authoring::FileReader reader = [](const std::filesystem::path&) {
        return std::optional<vorn::authoring::BuildFile>(vorn::authoring::BuildFile{{'x'}, 33, 0});
    };
    try {
        vorn::authoring::ListScript({data, size}, vorn::ArchiveHeader{}, {});
    } catch (const std::runtime_error&) {
    }
    try {
        const vorn::authoring::CompiledSetup setup = CompileScript(text, "fuzz.vns", reader);
        vorn::ArchiveHeader archive;
        archive.FinishOffset = setup.Extras.FinishOffset;
        archive.CancelOffset = setup.Extras.CancelOffset;
        try {
            vorn::authoring::ListScript(setup.Script, archive, setup.Payload.Entries);
        } catch (const std::runtime_error&) {
        }
    } catch (const vorn::authoring::CompileError& error) {
        if (error.Line < 1 || error.Column < 1) {
            std::abort();
        }
    }
    return 0;
}
