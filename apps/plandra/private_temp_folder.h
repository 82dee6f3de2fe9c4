// Temporary names of the tool's own, which no other process running at the same
// time can pick.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace plandra::cli {

/// A new name in the system's temporary folder, ending in `suffix`.
std::filesystem::path UniqueTemporaryPath(std::string_view suffix);

/// A folder created for this process alone (the control's block scratch files go
/// there, so two runs side by side cannot overwrite each other's), removed with
/// its contents when the object goes.
class PrivateTempFolder {
public:
    PrivateTempFolder();
    PrivateTempFolder(const PrivateTempFolder&) = delete;
    PrivateTempFolder& operator=(const PrivateTempFolder&) = delete;
    ~PrivateTempFolder();

    std::string Name() const { return Path.string(); }

private:
    std::filesystem::path Path;
};

} // namespace plandra::cli
