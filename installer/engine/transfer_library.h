// The transfer library: an embedded support library that fetches files from "ftp://"
// and "http://" sources (and separately stored library files) for the file actions.
#pragma once

#include "platform/calling_convention.h"
#include "platform/library.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// Its entry "t1": (abort flag, source, target path, main window, progress counter, an
/// open file handle or -1, size, DOS date, DOS time, error text buffer). A negative
/// result is an error whose number is the negated result; the library may describe it
/// in the buffer (TransferErrorTextSize bytes).
using TransferEntry = std::int32_t(PLATFORM_WINAPI*)(std::int32_t* abortFlag, const char* source,
                                                     const char* target, std::uintptr_t window,
                                                     std::uint32_t* progress, std::intptr_t file,
                                                     std::uint32_t size, std::uint32_t dosDate,
                                                     std::uint32_t dosTime, char* errorText);
/// Its entry "t2", which HandleFtp forwards to.
using ForwardEntry = std::int32_t(PLATFORM_WINAPI*)(std::uintptr_t first, std::uintptr_t second,
                                                    std::uintptr_t third);

inline constexpr std::size_t TransferErrorTextSize = 256;
/// The timer that runs on the main window while "t1" works.
inline constexpr std::uintptr_t TransferTimerId = 1234;

/// Errors the engine itself reports for the library.
namespace transfer_error {
inline constexpr std::int32_t CannotLoad = 10;
inline constexpr std::int32_t NotEmbedded = 11;
} // namespace transfer_error

/// The library of one run: loaded on first use, freed at the run's end.
struct TransferLibrary {
    /// Where start-up extracted it; empty when the archive carries none.
    std::string Path;
    platform::UniqueLibrary Module;
    TransferEntry Transfer = nullptr;
    ForwardEntry Forward = nullptr;
};

struct TransferRequest {
    std::string_view Source;
    std::string_view Target;
    std::uint32_t Size = 0;
    std::uint16_t DosDate = 0;
    std::uint16_t DosTime = 0;
};

/// Fetches `request.Source` into `request.Target` through the library. Returns false
/// after showing the error (message 15 with the error number and the library's text).
bool TransferFile(Engine& engine, const TransferRequest& request);

/// The run's end: calls "t1" once more with only the main window, then frees the library.
void CloseTransferLibrary(Engine& engine);

} // namespace vorn

extern "C" {
/// Forwards its arguments to the transfer library's "t2"; 0 when there is none.
std::int32_t PLATFORM_WINAPI HandleFtp(std::uintptr_t first, std::uintptr_t second,
                                       std::uintptr_t third);
}
