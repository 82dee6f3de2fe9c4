// Loading and calling the transfer library.
#include "transfer_library.h"

#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "platform/machine_services.h"
#include "running_engine.h"

#include <array>

namespace vorn {

namespace {

constexpr std::size_t TransferErrorMessage = 15;

// Message 15 with the error number in place of its first number conversion (%d, %i,
// %u, %ld), then the library's own text.
std::string TransferErrorText(const Engine& engine, std::int64_t error,
                              std::string_view libraryText) {
    std::string_view format = engine.Message(TransferErrorMessage, "%d");
    std::string text;
    bool numberUsed = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        std::string_view rest = format.substr(i);
        std::size_t length =
            rest.starts_with("%ld")                                                      ? 3
            : rest.starts_with("%d") || rest.starts_with("%i") || rest.starts_with("%u") ? 2
                                                                                         : 0;
        if (length != 0) {
            if (!numberUsed) {
                text += std::to_string(error);
                numberUsed = true;
            }
            i += length - 1;
        } else if (rest.starts_with("%%")) {
            text += '%';
            ++i;
        } else {
            text += format[i];
        }
    }
    if (!libraryText.empty()) {
        text += ' ';
        text += libraryText;
    }
    return text;
}

// Loads the library and finds its entries; the error number when that fails.
std::int32_t LoadTransferLibrary(Engine& engine) {
    TransferLibrary& library = engine.Transfer;
    if (library.Path.empty()) {
        return transfer_error::NotEmbedded;
    }
    platform::LibraryService& loader = engine.Services.Libraries;
    platform::UniqueLibrary module(
        loader.LoadLibraryExA(library.Path, platform::load::WithAlteredSearchPath),
        platform::LibraryTraits{&loader});
    platform::ProcAddress transfer = module ? loader.GetProcAddress(module.Get(), "t1") : nullptr;
    if (transfer == nullptr) {
        return transfer_error::CannotLoad;
    }
    // The entries have their own argument lists, so they are called with their own types
    // rather than through the loader's one-pointer calls.
    library.Transfer = reinterpret_cast<TransferEntry>(transfer);
    library.Forward = reinterpret_cast<ForwardEntry>(loader.GetProcAddress(module.Get(), "t2"));
    library.Module = std::move(module);
    return 0;
}

} // namespace

bool TransferFile(Engine& engine, const TransferRequest& request) {
    std::int64_t error = engine.Transfer.Transfer == nullptr ? LoadTransferLibrary(engine) : 0;
    std::array<char, TransferErrorTextSize> libraryText{};
    if (error == 0) {
        InstallContext* context = engine.Services.Context;
        std::int32_t noAbort = 0;
        std::uint32_t noProgress = 0;
        std::string source(request.Source);
        std::string target(request.Target);
        // The main window ticks while the library works, so the setup program can
        // repaint and follow the progress counter.
        platform::UserPromptService* prompts =
            engine.Services.Machine != nullptr ? engine.Services.Machine->Prompts() : nullptr;
        const std::uintptr_t window = engine.Services.Host.MainWindow();
        const bool ticking =
            prompts != nullptr && window != 0 && prompts->SetTimer(window, TransferTimerId, 250);
        std::int32_t result = engine.Transfer.Transfer(
            context != nullptr ? &context->AbortFlag : &noAbort, source.c_str(), target.c_str(),
            engine.Services.Host.MainWindow(),
            context != nullptr ? &context->BytesCopied : &noProgress, -1, request.Size,
            request.DosDate, request.DosTime, libraryText.data());
        if (ticking) {
            prompts->KillTimer(window, TransferTimerId);
        }
        libraryText.back() = '\0';
        error = result < 0 ? -std::int64_t{result} : 0;
    }
    if (error == 0) {
        return true;
    }
    ReportError(engine, TransferErrorText(engine, error, libraryText.data()));
    return false;
}

void CloseTransferLibrary(Engine& engine) {
    TransferLibrary& library = engine.Transfer;
    if (library.Transfer != nullptr) {
        library.Transfer(nullptr, nullptr, nullptr, engine.Services.Host.MainWindow(), nullptr, 0,
                         0, 0, 0, nullptr);
    }
    library.Transfer = nullptr;
    library.Forward = nullptr;
    library.Module.Reset();
}

} // namespace vorn

extern "C" std::int32_t PLATFORM_WINAPI HandleFtp(std::uintptr_t first, std::uintptr_t second,
                                                  std::uintptr_t third) {
    vorn::Engine* engine = vorn::RunningEngine;
    if (engine == nullptr || engine->Transfer.Forward == nullptr) {
        return 0;
    }
    return engine->Transfer.Forward(first, second, third);
}
