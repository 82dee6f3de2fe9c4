// The DDE calls on Windows: a pass-through to USER32's DDEML.
#include "platform/win32/win32_dde.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <array>
#include <ddeml.h>
#include <string>
#include <utility>

namespace platform {

namespace {

HSZ Native(DdeString string) {
    return reinterpret_cast<HSZ>(static_cast<std::uintptr_t>(string));
}
HCONV Native(DdeConversation conversation) {
    return reinterpret_cast<HCONV>(static_cast<std::uintptr_t>(conversation));
}
HDDEDATA Native(DdeData data) {
    return reinterpret_cast<HDDEDATA>(static_cast<std::uintptr_t>(data));
}
template <typename Handle> Handle FromNative(void* native) {
    return Handle{reinterpret_cast<std::uintptr_t>(native)};
}

DWORD Size(std::size_t size) {
    return static_cast<DWORD>(std::min<std::size_t>(size, 0x7FFFFFFF));
}

struct Slot {
    bool Used = false;
    DWORD Instance = 0;
    DdeCallback Callback;
};
std::array<Slot, Win32Dde::MaxInstances> Slots;

template <int Index>
HDDEDATA CALLBACK Trampoline(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                             HDDEDATA data, ULONG_PTR, ULONG_PTR) {
    const DdeCallback& callback = Slots[Index].Callback;
    if (!callback) {
        return nullptr;
    }
    return Native(callback(type, format, FromNative<DdeConversation>(conversation),
                           FromNative<DdeString>(first), FromNative<DdeString>(second),
                           FromNative<DdeData>(data)));
}

template <std::size_t... Index>
constexpr std::array<PFNCALLBACK, sizeof...(Index)> MakeTrampolines(std::index_sequence<Index...>) {
    return {&Trampoline<static_cast<int>(Index)>...};
}
constexpr auto Trampolines = MakeTrampolines(std::make_index_sequence<Win32Dde::MaxInstances>{});

} // namespace

std::uint32_t Win32Dde::DdeInitializeA(std::uint32_t& instance, DdeCallback callback,
                                       std::uint32_t commands) {
    std::size_t slot = 0;
    while (slot < Slots.size() && Slots[slot].Used) {
        ++slot;
    }
    if (slot == Slots.size()) {
        return dde::DllUsage;
    }
    // The slot is taken before the call: DDEML may call back while it starts the instance.
    Slots[slot].Used = true;
    Slots[slot].Callback = std::move(callback);
    DWORD id = instance;
    const UINT status = ::DdeInitializeA(&id, Trampolines[slot], commands, 0);
    if (status != DMLERR_NO_ERROR) {
        Slots[slot] = Slot{};
        return status;
    }
    Slots[slot].Instance = id;
    instance = id;
    return status;
}

bool Win32Dde::DdeUninitialize(std::uint32_t instance) {
    const bool done = ::DdeUninitialize(instance) != FALSE;
    for (Slot& slot : Slots) {
        if (slot.Used && slot.Instance == instance) {
            slot = Slot{};
        }
    }
    return done;
}

DdeString Win32Dde::DdeCreateStringHandleA(std::uint32_t instance, std::string_view text,
                                           int codePage) {
    const std::string name(text);
    return FromNative<DdeString>(::DdeCreateStringHandleA(instance, name.c_str(), codePage));
}

bool Win32Dde::DdeFreeStringHandle(std::uint32_t instance, DdeString string) {
    return ::DdeFreeStringHandle(instance, Native(string)) != FALSE;
}

std::uint32_t Win32Dde::DdeQueryStringA(std::uint32_t instance, DdeString string,
                                        std::span<char> buffer, int codePage) {
    return ::DdeQueryStringA(instance, Native(string), buffer.empty() ? nullptr : buffer.data(),
                             Size(buffer.size()), codePage);
}

DdeData Win32Dde::DdeNameService(std::uint32_t instance, DdeString service, std::uint32_t command) {
    return FromNative<DdeData>(::DdeNameService(instance, Native(service), nullptr, command));
}

DdeConversation Win32Dde::DdeConnect(std::uint32_t instance, DdeString service, DdeString topic) {
    return FromNative<DdeConversation>(
        ::DdeConnect(instance, Native(service), Native(topic), nullptr));
}

bool Win32Dde::DdeDisconnect(DdeConversation conversation) {
    return ::DdeDisconnect(Native(conversation)) != FALSE;
}

DdeData Win32Dde::DdeClientTransaction(std::span<const char> data, DdeConversation conversation,
                                       DdeString item, std::uint32_t format, std::uint32_t type,
                                       std::uint32_t timeout, std::uint32_t* result) {
    DWORD status = 0;
    // DDEML takes the bytes as writable, but only reads them.
    auto* bytes = reinterpret_cast<LPBYTE>(const_cast<char*>(data.data()));
    const HDDEDATA reply =
        ::DdeClientTransaction(data.empty() ? nullptr : bytes, Size(data.size()),
                               Native(conversation), Native(item), format, type, timeout, &status);
    if (result != nullptr) {
        *result = status;
    }
    return FromNative<DdeData>(reply);
}

DdeData Win32Dde::DdeCreateDataHandle(std::uint32_t instance, std::span<const char> data,
                                      DdeString item, std::uint32_t format) {
    auto* bytes = reinterpret_cast<LPBYTE>(const_cast<char*>(data.data()));
    return FromNative<DdeData>(
        ::DdeCreateDataHandle(instance, bytes, Size(data.size()), 0, Native(item), format, 0));
}

std::uint32_t Win32Dde::DdeGetData(DdeData data, std::span<char> buffer, std::uint32_t offset) {
    auto* bytes = buffer.empty() ? nullptr : reinterpret_cast<LPBYTE>(buffer.data());
    return ::DdeGetData(Native(data), bytes, Size(buffer.size()), offset);
}

bool Win32Dde::DdeFreeDataHandle(DdeData data) {
    return ::DdeFreeDataHandle(Native(data)) != FALSE;
}

std::uint32_t Win32Dde::DdeGetLastError(std::uint32_t instance) {
    return ::DdeGetLastError(instance);
}

} // namespace platform
