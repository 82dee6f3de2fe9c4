// The about box frmAbout: the control's version, the maker's web page and the
// system-information program found through the registry.
#pragma once

#include "platform/dialogs.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "platform/shell.h"

#include <string>

namespace plandra {

/// The control's version as the about box shows it.
struct ControlVersion {
    int Major;
    int Minor;
    int Revision;
};
ControlVersion PlandraVersion();

/// The address the web button opens.
inline constexpr std::string_view MakerWebPage = "https://plandra.example.com/";
inline constexpr std::string_view SysInfoUnavailable =
    "System Information Is Unavailable At This Time";

/// Reads the value `subKeyRef` of `keyName` under `root` into `keyVal`: a string cut
/// at its terminating zero, a 32-bit value as hexadecimal with the prefix "&h".
/// False when the key or value cannot be read or has another type.
bool GetKeyValue(platform::RegistryService& registry, platform::HKEY root, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal);

class AboutBox final : public platform::ModalForm {
public:
    AboutBox(platform::RegistryService& registry, platform::ShellService& shell,
             platform::MessageBoxService& messageBox)
        : Registry(registry), Shell(shell), MessageBox(messageBox) {}

    std::string_view Name() const override { return "frmAbout"; }
    std::string_view Caption() const override { return "About Plandra"; }
    void Load() override;
    std::vector<std::pair<std::string, std::string>> Labels() const override;
    std::vector<std::pair<std::string, std::string>> Buttons() const override;
    /// cmdOK unloads, cmdWeb opens the web page, cmdSysInfo runs StartSysInfo.
    void Click(std::string_view button) override;
    bool Unloaded() const override { return IsUnloaded; }
    void Close() override { IsUnloaded = true; }

    /// Starts the system-information program, or says that there is none.
    void StartSysInfo();

private:
    platform::RegistryService& Registry;
    platform::ShellService& Shell;
    platform::MessageBoxService& MessageBox;
    std::string VersionText;
    bool IsUnloaded = false;
};

} // namespace plandra
