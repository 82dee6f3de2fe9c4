// The DDE calls on Windows: a pass-through to USER32's DDEML.
#pragma once

#include "platform/dde.h"

namespace platform {

/// Handles are DDEML's own. DDEML calls a plain function without context, so each
/// instance's callback runs through one of a few fixed slots: at most Win32Dde::MaxInstances
/// instances with a callback may be open at once in the process (dde::DllUsage beyond).
class Win32Dde final : public DdeService {
public:
    static constexpr int MaxInstances = 4;

    std::uint32_t DdeInitializeA(std::uint32_t& instance, DdeCallback callback,
                                 std::uint32_t commands) override;
    bool DdeUninitialize(std::uint32_t instance) override;
    DdeString DdeCreateStringHandleA(std::uint32_t instance, std::string_view text,
                                     int codePage) override;
    bool DdeFreeStringHandle(std::uint32_t instance, DdeString string) override;
    std::uint32_t DdeQueryStringA(std::uint32_t instance, DdeString string, std::span<char> buffer,
                                  int codePage) override;
    DdeData DdeNameService(std::uint32_t instance, DdeString service,
                           std::uint32_t command) override;
    DdeConversation DdeConnect(std::uint32_t instance, DdeString service, DdeString topic) override;
    bool DdeDisconnect(DdeConversation conversation) override;
    DdeData DdeClientTransaction(std::span<const char> data, DdeConversation conversation,
                                 DdeString item, std::uint32_t format, std::uint32_t type,
                                 std::uint32_t timeout, std::uint32_t* result) override;
    DdeData DdeCreateDataHandle(std::uint32_t instance, std::span<const char> data, DdeString item,
                                std::uint32_t format) override;
    std::uint32_t DdeGetData(DdeData data, std::span<char> buffer, std::uint32_t offset) override;
    bool DdeFreeDataHandle(DdeData data) override;
    std::uint32_t DdeGetLastError(std::uint32_t instance) override;
};

} // namespace platform
