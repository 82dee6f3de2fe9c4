// A DDE service that fails on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/dde.h"
#include "platform/headless/fault_injection.h"

#include <map>
#include <optional>

namespace platform {

enum class DdeCall {
    DdeInitializeA,
    DdeCreateStringHandleA,
    DdeNameService,
    DdeConnect,
    DdeClientTransaction,
    DdeCreateDataHandle,
};

/// Passes every call to `inner` unless the plan fails it: then the call does nothing,
/// returns its failure value, and DdeGetLastError of the instance (of the conversation's
/// client for a transaction) reports the planned DMLERR_ code once.
class FaultInjectingDde final : public DdeService {
public:
    explicit FaultInjectingDde(DdeService& inner) : Inner(inner) {}

    FaultPlan<DdeCall> Plan;

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

private:
    /// Counts the use; true when it is to fail, the error then kept for `instance`.
    bool Fails(DdeCall call, std::uint32_t instance);

    DdeService& Inner;
    std::map<std::uint32_t, std::uint32_t> Injected;
    /// The client instance of each conversation opened through this service.
    std::map<DdeConversation, std::uint32_t> Clients;
};

} // namespace platform
