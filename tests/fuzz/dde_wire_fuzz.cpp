// Fuzz target: arbitrary bytes read as a DDE request or reply from another program must
// give a message or a clear error, never a crash or unbounded memory; a request that
// reads is written back to the same bytes.
#include "platform/dde_wire.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const char> bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<platform::DdeWireRequest> request =
        platform::ParseDdeWireRequest(bytes, error);
    if (request.has_value() == !error.empty()) {
        std::abort();
    }
    if (request) {
        const std::optional<std::string> written = platform::WriteDdeWireRequest(*request);
        if (!written || *written != std::string(bytes.data(), bytes.size())) {
            std::abort();
        }
    }
    const std::optional<platform::DdeWireReply> reply = platform::ParseDdeWireReply(bytes, error);
    if (reply.has_value() == !error.empty() ||
        (reply && reply->Data.size() > platform::dde_wire::MaxDataBytes)) {
        std::abort();
    }
    return 0;
}
