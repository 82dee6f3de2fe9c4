// A DDE service that fails on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection_dde.h"

namespace platform {

bool FaultInjectingDde::Fails(DdeCall call, std::uint32_t instance) {
    const std::optional<std::uint32_t> error = Plan.Use(call);
    if (error) {
        Injected[instance] = *error;
    }
    return error.has_value();
}

std::uint32_t FaultInjectingDde::DdeInitializeA(std::uint32_t& instance, DdeCallback callback,
                                                std::uint32_t commands) {
    if (const std::optional<std::uint32_t> error = Plan.Use(DdeCall::DdeInitializeA)) {
        return *error;
    }
    return Inner.DdeInitializeA(instance, std::move(callback), commands);
}

bool FaultInjectingDde::DdeUninitialize(std::uint32_t instance) {
    Injected.erase(instance);
    return Inner.DdeUninitialize(instance);
}

DdeString FaultInjectingDde::DdeCreateStringHandleA(std::uint32_t instance, std::string_view text,
                                                    int codePage) {
    if (Fails(DdeCall::DdeCreateStringHandleA, instance)) {
        return DdeNoString;
    }
    return Inner.DdeCreateStringHandleA(instance, text, codePage);
}

bool FaultInjectingDde::DdeFreeStringHandle(std::uint32_t instance, DdeString string) {
    return Inner.DdeFreeStringHandle(instance, string);
}

std::uint32_t FaultInjectingDde::DdeQueryStringA(std::uint32_t instance, DdeString string,
                                                 std::span<char> buffer, int codePage) {
    return Inner.DdeQueryStringA(instance, string, buffer, codePage);
}

DdeData FaultInjectingDde::DdeNameService(std::uint32_t instance, DdeString service,
                                          std::uint32_t command) {
    if (Fails(DdeCall::DdeNameService, instance)) {
        return DdeNoData;
    }
    return Inner.DdeNameService(instance, service, command);
}

DdeConversation FaultInjectingDde::DdeConnect(std::uint32_t instance, DdeString service,
                                              DdeString topic) {
    if (Fails(DdeCall::DdeConnect, instance)) {
        return DdeNoConversation;
    }
    const DdeConversation conversation = Inner.DdeConnect(instance, service, topic);
    if (conversation != DdeNoConversation) {
        Clients[conversation] = instance;
    }
    return conversation;
}

bool FaultInjectingDde::DdeDisconnect(DdeConversation conversation) {
    Clients.erase(conversation);
    return Inner.DdeDisconnect(conversation);
}

DdeData FaultInjectingDde::DdeClientTransaction(std::span<const char> data,
                                                DdeConversation conversation, DdeString item,
                                                std::uint32_t format, std::uint32_t type,
                                                std::uint32_t timeout, std::uint32_t* result) {
    const auto client = Clients.find(conversation);
    if (Fails(DdeCall::DdeClientTransaction, client == Clients.end() ? 0 : client->second)) {
        if (result != nullptr) {
            *result = 0;
        }
        return DdeNoData;
    }
    return Inner.DdeClientTransaction(data, conversation, item, format, type, timeout, result);
}

DdeData FaultInjectingDde::DdeCreateDataHandle(std::uint32_t instance, std::span<const char> data,
                                               DdeString item, std::uint32_t format) {
    if (Fails(DdeCall::DdeCreateDataHandle, instance)) {
        return DdeNoData;
    }
    return Inner.DdeCreateDataHandle(instance, data, item, format);
}

std::uint32_t FaultInjectingDde::DdeGetData(DdeData data, std::span<char> buffer,
                                            std::uint32_t offset) {
    return Inner.DdeGetData(data, buffer, offset);
}

bool FaultInjectingDde::DdeFreeDataHandle(DdeData data) {
    return Inner.DdeFreeDataHandle(data);
}

std::uint32_t FaultInjectingDde::DdeGetLastError(std::uint32_t instance) {
    const auto injected = Injected.find(instance);
    if (injected != Injected.end()) {
        const std::uint32_t error = injected->second;
        Injected.erase(injected);
        Inner.DdeGetLastError(instance);
        return error;
    }
    return Inner.DdeGetLastError(instance);
}

} // namespace platform
