// The wait dialog's scope.
#include "wait_dialog.h"

#include "engine.h"
#include "platform/machine_services.h"

namespace vorn {

WaitDialogScope::WaitDialogScope(Engine& engine, std::string_view text) {
    EngineHost& host = engine.Services.Host;
    if (text.empty() || host.Silent() || host.MainWindow() == 0 ||
        engine.Services.Machine == nullptr) {
        return;
    }
    // Only a display that can show windows offers the dialog.
    auto* service = dynamic_cast<platform::WaitDialogService*>(engine.Services.Machine->Display());
    if (service != nullptr) {
        Dialog = platform::UniqueHandle<platform::WaitDialogTraits>(
            service->OpenWaitDialog(host.DefaultBoxOwner(), text),
            platform::WaitDialogTraits{service});
    }
}

WaitDialogScope::~WaitDialogScope() = default;

} // namespace vorn
