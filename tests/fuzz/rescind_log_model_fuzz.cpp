// Fuzz target: arbitrary bytes read as an installation log and built into the
// uninstaller's item lists must give bounded lists of safe paths, never a crash or hang.
#include "installer/uninstaller/log_model.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// Answers that depend on the path, so both sides of every question are reached.
class VaryingFacts final : public rescind::MachineFacts {
public:
    bool FileExists(std::string_view path) override { return path.size() % 5 != 0; }
    bool OnRemovableFloppy(std::string_view path) override {
        return !path.empty() && (path[0] == 'A' || path[0] == 'a');
    }
    bool IsCountedSharedFile(std::string_view path) override { return path.size() % 2 == 1; }
    bool IniHasValue(std::string_view, std::string_view, std::string_view key) override {
        return key.size() % 3 != 0;
    }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vorn::LogReadResult read = vorn::ParseInstallLog(text);
    if (read.Error) {
        return 0;
    }
    VaryingFacts facts;
    const rescind::ModelResult model =
        rescind::BuildItemLists(read.Log, "C:\\APP\\INSTALL.LOG", facts);
    const rescind::ItemLists& lists = model.Lists;
    if (model.RefusedPath) {
        Require(lists.PrivateFiles.empty() && lists.Directories.empty());
        return 0;
    }
    for (const auto* files : {&lists.PrivateFiles, &lists.SystemFiles}) {
        Require(files->size() <= rescind::MaxListItems);
        for (const rescind::FileItem& file : *files) {
            Require(rescind::IsSafeMachinePath(file.Path));
            Require(file.CopyInstallation >= 1 && file.CopyInstallation <= lists.Sections);
            Require(!file.Created || file.Backup.empty() || file.BackupInstallation > 0);
        }
    }
    Require(lists.Directories.size() <= rescind::MaxListItems);
    for (const rescind::DirectoryItem& folder : lists.Directories) {
        Require(!folder.Path.empty() && folder.Path.back() == '\\');
    }
    return 0;
}
