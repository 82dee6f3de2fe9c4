// The DDEML calls the install engine and the uninstaller make: a client of Program
// Manager's "PROGMAN" service and the engine's own "VornInst" server, with the Win32
// names, arguments, results and error codes of their ANSI forms.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace platform {

/// A string handle (HSZ); DdeNoString for none.
enum class DdeString : std::uintptr_t {};
inline constexpr DdeString DdeNoString = DdeString{0};
/// A conversation (HCONV); DdeNoConversation on failure.
enum class DdeConversation : std::uintptr_t {};
inline constexpr DdeConversation DdeNoConversation = DdeConversation{0};
/// A data handle (HDDEDATA); DdeNoData on failure. An execute that succeeds returns
/// DdeTrue, which holds no data.
enum class DdeData : std::uintptr_t {};
inline constexpr DdeData DdeNoData = DdeData{0};
inline constexpr DdeData DdeTrue = DdeData{1};

namespace dde {
inline constexpr std::uint32_t ClipboardText = 1; ///< CF_TEXT
inline constexpr int CodePageWinAnsi = 1004;      ///< CP_WINANSI

inline constexpr std::uint32_t Connect = 0x1062;        ///< XTYP_CONNECT
inline constexpr std::uint32_t ConnectConfirm = 0x8072; ///< XTYP_CONNECT_CONFIRM
inline constexpr std::uint32_t Disconnect = 0x80C2;     ///< XTYP_DISCONNECT
inline constexpr std::uint32_t Execute = 0x4050;        ///< XTYP_EXECUTE
inline constexpr std::uint32_t Poke = 0x4090;           ///< XTYP_POKE
inline constexpr std::uint32_t Request = 0x20B0;        ///< XTYP_REQUEST

inline constexpr std::uint32_t ApplicationClassStandard = 0x0;      ///< APPCLASS_STANDARD
inline constexpr std::uint32_t ApplicationCommandClientOnly = 0x10; ///< APPCMD_CLIENTONLY

inline constexpr std::uint32_t NameRegister = 0x1;   ///< DNS_REGISTER
inline constexpr std::uint32_t NameUnregister = 0x2; ///< DNS_UNREGISTER

/// The result an execute or poke callback returns (cast to DdeData).
inline constexpr std::uint32_t Acknowledged = 0x8000; ///< DDE_FACK
inline constexpr std::uint32_t Busy = 0x4000;         ///< DDE_FBUSY
inline constexpr std::uint32_t NotProcessed = 0x0;    ///< DDE_FNOTPROCESSED

/// The longest wait of a synchronous transaction, about 49 days: the engine's "no
/// time-out" for its Program Manager commands.
inline constexpr std::uint32_t NoTimeout = 0xFFFFFFFEu;

inline constexpr std::uint32_t NoError = 0;                        ///< DMLERR_NO_ERROR
inline constexpr std::uint32_t BusyError = 0x4001;                 ///< DMLERR_BUSY
inline constexpr std::uint32_t DllNotInitialized = 0x4003;         ///< DMLERR_DLL_NOT_INITIALIZED
inline constexpr std::uint32_t DllUsage = 0x4004;                  ///< DMLERR_DLL_USAGE
inline constexpr std::uint32_t ExecuteAckTimeout = 0x4005;         ///< DMLERR_EXECACKTIMEOUT
inline constexpr std::uint32_t InvalidParameter = 0x4006;          ///< DMLERR_INVALIDPARAMETER
inline constexpr std::uint32_t NotProcessedError = 0x4009;         ///< DMLERR_NOTPROCESSED
inline constexpr std::uint32_t NoConversationEstablished = 0x400A; ///< DMLERR_NO_CONV_ESTABLISHED
inline constexpr std::uint32_t SysError = 0x400F;                  ///< DMLERR_SYS_ERROR
} // namespace dde

/// A server's callback (the DDECallback of DdeInitializeA): `type` is a dde:: transaction
/// type; for Connect `first` is the topic and `second` the service, for Execute and Poke
/// `first` is the topic, for Request `first` is the topic and `second` the item. Connect
/// returns DdeTrue to accept; Execute and Poke return dde::Acknowledged (or NotProcessed,
/// Busy) as a DdeData; Request returns a data handle the callback made with
/// DdeCreateDataHandle, which the service then owns, or DdeNoData.
using DdeCallback =
    std::function<DdeData(std::uint32_t type, std::uint32_t format, DdeConversation conversation,
                          DdeString first, DdeString second, DdeData data)>;

/// Every call records its failure for DdeGetLastError of its instance. Instances, strings,
/// conversations and data handles belong to the service that made them.
class DdeService {
public:
    virtual ~DdeService() = default;

    /// Starts an instance: `instance` must be 0 on entry and receives the instance's id.
    /// Returns dde::NoError or a DMLERR_ code. `callback` may be empty for a client-only
    /// instance (dde::ApplicationCommandClientOnly).
    virtual std::uint32_t DdeInitializeA(std::uint32_t& instance, DdeCallback callback,
                                         std::uint32_t commands) = 0;
    /// Ends the instance: its conversations, registered names, strings and data go.
    virtual bool DdeUninitialize(std::uint32_t instance) = 0;

    virtual DdeString DdeCreateStringHandleA(std::uint32_t instance, std::string_view text,
                                             int codePage) = 0;
    virtual bool DdeFreeStringHandle(std::uint32_t instance, DdeString string) = 0;
    /// Copies the string into `buffer` (cut, ended by a zero) and returns its length; with
    /// an empty buffer only returns the length. 0 for an unknown handle.
    virtual std::uint32_t DdeQueryStringA(std::uint32_t instance, DdeString string,
                                          std::span<char> buffer, int codePage) = 0;

    /// dde::NameRegister or dde::NameUnregister `service` for this instance's callback;
    /// returns DdeTrue on success, DdeNoData on failure.
    virtual DdeData DdeNameService(std::uint32_t instance, DdeString service,
                                   std::uint32_t command) = 0;

    /// Opens a conversation with the server of `service` that accepts `topic`;
    /// DdeNoConversation with dde::NoConversationEstablished when none does.
    virtual DdeConversation DdeConnect(std::uint32_t instance, DdeString service,
                                       DdeString topic) = 0;
    virtual bool DdeDisconnect(DdeConversation conversation) = 0;

    /// Execute sends `data` (a command string with its terminating zero) and returns
    /// DdeTrue when the server acknowledged it; Request asks for `item` in `format` and
    /// returns a data handle the caller frees with DdeFreeDataHandle. `result`, when
    /// given, receives the server's status bits. DdeNoData on failure (see
    /// DdeGetLastError: dde::NotProcessedError when the server refused).
    virtual DdeData DdeClientTransaction(std::span<const char> data, DdeConversation conversation,
                                         DdeString item, std::uint32_t format, std::uint32_t type,
                                         std::uint32_t timeout, std::uint32_t* result) = 0;

    virtual DdeData DdeCreateDataHandle(std::uint32_t instance, std::span<const char> data,
                                        DdeString item, std::uint32_t format) = 0;
    /// Copies the data from `offset` into `buffer` and returns the bytes copied; with an
    /// empty buffer returns the data's size.
    virtual std::uint32_t DdeGetData(DdeData data, std::span<char> buffer,
                                     std::uint32_t offset) = 0;
    virtual bool DdeFreeDataHandle(DdeData data) = 0;

    virtual std::uint32_t DdeGetLastError(std::uint32_t instance) = 0;
};

/// Ends an instance through the service that started it.
struct DdeInstanceTraits {
    using Handle = std::uint32_t;
    static constexpr Handle Null = 0;
    DdeService* Dde = nullptr;
    void Release(Handle instance) { Dde->DdeUninitialize(instance); }
};
using UniqueDdeInstance = UniqueHandle<DdeInstanceTraits>;

/// Frees a string handle of one instance.
struct DdeStringTraits {
    using Handle = DdeString;
    static constexpr Handle Null = DdeNoString;
    DdeService* Dde = nullptr;
    std::uint32_t Instance = 0;
    void Release(Handle string) { Dde->DdeFreeStringHandle(Instance, string); }
};
using UniqueDdeString = UniqueHandle<DdeStringTraits>;

/// Ends a conversation.
struct DdeConversationTraits {
    using Handle = DdeConversation;
    static constexpr Handle Null = DdeNoConversation;
    DdeService* Dde = nullptr;
    void Release(Handle conversation) { Dde->DdeDisconnect(conversation); }
};
using UniqueDdeConversation = UniqueHandle<DdeConversationTraits>;

/// Frees the data a request returned.
struct DdeDataTraits {
    using Handle = DdeData;
    static constexpr Handle Null = DdeNoData;
    DdeService* Dde = nullptr;
    void Release(Handle data) { Dde->DdeFreeDataHandle(data); }
};
using UniqueDdeData = UniqueHandle<DdeDataTraits>;

} // namespace platform
