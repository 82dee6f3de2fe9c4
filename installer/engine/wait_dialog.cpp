// The wait dialog's scope.
#include "wait_dialog.h"

#include "engine.h"
#include "platform/machine_services.h"

#include <string>

namespace vorn {

WaitDialogScope::WaitDialogScope(Engine& engine, std::string_view text) {
    EngineHost& host = engine.Services.Host;
    if (text.empty() || host.Silent() || host.MainWindow() == 0 ||
        engine.Services.Machine == nullptr) {
        return;
    }
    platform::WaitDialogService* service = engine.Services.Machine->WaitDialogs();
    if (service == nullptr) {
        return;
    }
    Dialog = platform::UniqueHandle<platform::WaitDialogTraits>(
        service->OpenWaitDialog(host.DefaultBoxOwner(), text), platform::WaitDialogTraits{service});
    // The work goes on without the dialog; whoever runs the installation is told.
    platform::InstallDisplayService* display = engine.Services.Machine->Display();
    if (!Dialog && display != nullptr) {
        display->Notice("the wait dialog \"" + std::string(text) +
                        "\" cannot be shown; the work goes on without it");
    }
}

WaitDialogScope::~WaitDialogScope() = default;

} // namespace vorn
