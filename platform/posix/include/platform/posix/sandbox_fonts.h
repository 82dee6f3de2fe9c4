// The sandbox machine's font table: the font files added in this session.
#pragma once

#include "platform/files.h"
#include "platform/font_resources.h"
#include "platform/posix/sandbox_machine.h"

#include <string>
#include <vector>

namespace platform {

/// Adds a font by noting its file (which must exist) in the table and in the machine
/// folder's fonts_added.txt, one Windows path a line. A font resource file made here is
/// a one-line text file "FONTRES " followed by the TrueType file's full path.
class SandboxFonts final : public FontResourceService {
public:
    SandboxFonts(const SandboxMachine& machine, FileService& files)
        : Machine(machine), Files(files) {}

    int AddFontResourceA(std::string_view fileName) override;
    bool CreateScalableFontResourceA(std::uint32_t hidden, std::string_view fontResource,
                                     std::string_view fontFile,
                                     std::string_view currentPath) override;

    const std::vector<std::string>& Added() const { return Table; }

private:
    bool IsFile(std::string_view path);

    const SandboxMachine& Machine;
    FileService& Files;
    std::vector<std::string> Table;
};

} // namespace platform
