// The sandbox machine's font table.
#include "platform/posix/sandbox_fonts.h"

#include <fstream>

namespace platform {

bool SandboxFonts::IsFile(std::string_view path) {
    const std::uint32_t attributes = Files.GetFileAttributesA(path);
    return attributes != file::InvalidAttributes && (attributes & file::AttributeDirectory) == 0;
}

int SandboxFonts::AddFontResourceA(std::string_view fileName) {
    if (!IsFile(fileName)) {
        return 0;
    }
    const SandboxPath path = Machine.Resolve(fileName);
    Table.push_back(path.Windows());
    std::ofstream list(Machine.Folder() / "fonts_added.txt", std::ios::app | std::ios::binary);
    list << Table.back() << "\n";
    return 1;
}

bool SandboxFonts::CreateScalableFontResourceA(std::uint32_t, std::string_view fontResource,
                                               std::string_view fontFile,
                                               std::string_view currentPath) {
    const bool relative = fontFile.find(':') == std::string_view::npos &&
                          !fontFile.starts_with('\\') && !currentPath.empty();
    std::string font =
        relative ? std::string(currentPath) + "\\" + std::string(fontFile) : std::string(fontFile);
    if (!IsFile(font)) {
        Files.SetLastError(winerror::FileNotFound);
        return false;
    }
    UniqueFile resource(Files.CreateFileA(fontResource, file::GenericWrite, 0, file::CreateNew,
                                          file::AttributeNormal),
                        FileCloser{&Files});
    if (!resource) {
        return false;
    }
    const std::string text = "FONTRES " + Machine.Resolve(font).Windows() + "\r\n";
    std::uint32_t written = 0;
    return Files.WriteFile(resource.Get(), text, written) && written == text.size();
}

} // namespace platform
