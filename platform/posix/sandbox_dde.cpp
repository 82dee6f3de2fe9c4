// The DDE calls on the sandbox machine: an in-process broker and Program Manager.
#include "platform/posix/sandbox_dde.h"

#include "platform/ansi_text.h"

#include <algorithm>

namespace platform {

namespace {

constexpr const char* ProgramManagerName = "PROGMAN";

std::uintptr_t Key(DdeString string) {
    return static_cast<std::uintptr_t>(string);
}

} // namespace

SandboxDde::Instance* SandboxDde::FindInstance(std::uint32_t instance) {
    auto found = Instances.find(instance);
    return found == Instances.end() ? nullptr : &found->second;
}

std::string SandboxDde::Text(DdeString string) const {
    auto found = Strings.find(Key(string));
    return found == Strings.end() ? std::string() : found->second.Text;
}

DdeString SandboxDde::AddString(std::string_view text) {
    // As atoms: one handle per text, whatever its case.
    for (auto& [handle, entry] : Strings) {
        if (EqualsIgnoringCase(entry.Text, text)) {
            ++entry.Uses;
            return DdeString{handle};
        }
    }
    const std::uintptr_t handle = NextHandle++;
    Strings[handle] = {std::string(text), 1};
    return DdeString{handle};
}

void SandboxDde::ReleaseString(DdeString string) {
    auto found = Strings.find(Key(string));
    if (found != Strings.end() && --found->second.Uses <= 0) {
        Strings.erase(found);
    }
}

std::uint32_t SandboxDde::DdeInitializeA(std::uint32_t& instance, DdeCallback callback,
                                         std::uint32_t commands) {
    if (instance != 0 || (!callback && !(commands & dde::ApplicationCommandClientOnly))) {
        return dde::InvalidParameter;
    }
    instance = NextInstance++;
    Instances[instance].Callback = std::move(callback);
    return dde::NoError;
}

bool SandboxDde::DdeUninitialize(std::uint32_t instance) {
    if (FindInstance(instance) == nullptr) {
        return false;
    }
    std::vector<std::uintptr_t> ended;
    for (const auto& [handle, conversation] : Conversations) {
        if (conversation.Client == instance || conversation.Server == instance) {
            ended.push_back(handle);
        }
    }
    for (std::uintptr_t handle : ended) {
        DdeDisconnect(DdeConversation{handle});
    }
    const std::vector<std::string> names = Instances[instance].Services;
    Instances.erase(instance);
    for (const std::string& name : names) {
        if (!ServedHere(name)) {
            StopListening(name);
        }
    }
    return true;
}

DdeString SandboxDde::DdeCreateStringHandleA(std::uint32_t instance, std::string_view text,
                                             int codePage) {
    if (FindInstance(instance) == nullptr) {
        return DdeNoString;
    }
    if (codePage != dde::CodePageWinAnsi && codePage != 0) {
        return Failed(instance, dde::InvalidParameter, DdeNoString);
    }
    // DDEML keeps names as atoms, which hold at most 255 characters.
    if (text.size() > 255 || text.find('\0') != std::string_view::npos) {
        return Failed(instance, dde::InvalidParameter, DdeNoString);
    }
    return AddString(text);
}

bool SandboxDde::DdeFreeStringHandle(std::uint32_t instance, DdeString string) {
    if (FindInstance(instance) == nullptr || Strings.count(Key(string)) == 0) {
        return false;
    }
    ReleaseString(string);
    return true;
}

std::uint32_t SandboxDde::DdeQueryStringA(std::uint32_t instance, DdeString string,
                                          std::span<char> buffer, int /*codePage*/) {
    auto found = Strings.find(Key(string));
    if (FindInstance(instance) == nullptr || found == Strings.end()) {
        return 0;
    }
    const std::string& text = found->second.Text;
    if (buffer.empty()) {
        return static_cast<std::uint32_t>(text.size());
    }
    const std::size_t count = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), count, buffer.begin());
    buffer[count] = '\0';
    return static_cast<std::uint32_t>(count);
}

DdeData SandboxDde::DdeNameService(std::uint32_t instance, DdeString service,
                                   std::uint32_t command) {
    Instance* server = FindInstance(instance);
    if (server == nullptr) {
        return DdeNoData;
    }
    const std::string name = UpperAnsi(Text(service));
    if (name.empty() || !server->Callback) {
        return Failed(instance, dde::InvalidParameter, DdeNoData);
    }
    auto& names = server->Services;
    const auto known = std::find(names.begin(), names.end(), name);
    if (command == dde::NameRegister) {
        if (known == names.end()) {
            names.push_back(name);
            Listen(name);
        }
        return DdeTrue;
    }
    if (command == dde::NameUnregister && known != names.end()) {
        names.erase(known);
        if (!ServedHere(name)) {
            StopListening(name);
        }
        return DdeTrue;
    }
    return Failed(instance, dde::InvalidParameter, DdeNoData);
}

DdeConversation SandboxDde::DdeConnect(std::uint32_t instance, DdeString service, DdeString topic) {
    if (FindInstance(instance) == nullptr) {
        return DdeNoConversation;
    }
    const std::string name = UpperAnsi(Text(service));
    // Servers are asked in the order they started; the first that accepts serves.
    std::vector<std::uint32_t> servers;
    for (const auto& [id, server] : Instances) {
        if (std::find(server.Services.begin(), server.Services.end(), name) !=
            server.Services.end()) {
            servers.push_back(id);
        }
    }
    for (std::uint32_t server : servers) {
        Instance* serving = FindInstance(server);
        if (serving == nullptr || !serving->Callback) {
            continue;
        }
        const DdeCallback callback = serving->Callback;
        if (callback(dde::Connect, 0, DdeNoConversation, topic, service, DdeNoData) == DdeNoData) {
            continue;
        }
        const std::uintptr_t handle = NextHandle++;
        Conversations[handle] = {instance, server, topic, {}};
        AddString(Text(topic));
        callback(dde::ConnectConfirm, 0, DdeConversation{handle}, topic, service, DdeNoData);
        return DdeConversation{handle};
    }
    // A name no instance here serves may be served by another program on the machine.
    if (servers.empty() && !SocketPath(name).empty()) {
        DdeWireRequest request{'C', Text(topic), {}, {}};
        const std::optional<DdeWireReply> reply = SendToRemote(name, request, 10000);
        if (reply && reply->Done) {
            const std::uintptr_t handle = NextHandle++;
            Conversations[handle] = {instance, 0, AddString(Text(topic)), name};
            return DdeConversation{handle};
        }
    }
    if (ProgramManager != nullptr && name == ProgramManagerName &&
        EqualsIgnoringCase(Text(topic), ProgramManagerName)) {
        const std::uintptr_t handle = NextHandle++;
        Conversations[handle] = {instance, 0, AddString(ProgramManagerName), {}};
        return DdeConversation{handle};
    }
    return Failed(instance, dde::NoConversationEstablished, DdeNoConversation);
}

bool SandboxDde::DdeDisconnect(DdeConversation conversation) {
    auto found = Conversations.find(static_cast<std::uintptr_t>(conversation));
    if (found == Conversations.end()) {
        return false;
    }
    const Conversation ended = found->second;
    Conversations.erase(found);
    if (Instance* server = FindInstance(ended.Server); server != nullptr && server->Callback) {
        const DdeCallback callback = server->Callback;
        callback(dde::Disconnect, 0, conversation, DdeNoString, DdeNoString, DdeNoData);
    }
    ReleaseString(ended.Topic);
    return true;
}

DdeData SandboxDde::DdeClientTransaction(std::span<const char> data, DdeConversation conversation,
                                         DdeString item, std::uint32_t format, std::uint32_t type,
                                         std::uint32_t timeout, std::uint32_t* result) {
    auto found = Conversations.find(static_cast<std::uintptr_t>(conversation));
    if (found == Conversations.end()) {
        return DdeNoData;
    }
    const Conversation talk = found->second;
    if (result != nullptr) {
        *result = 0;
    }
    if (type != dde::Execute && type != dde::Request && type != dde::Poke) {
        return Failed(talk.Client, dde::InvalidParameter, DdeNoData);
    }
    if (!talk.Remote.empty()) {
        // Only text crosses to another program.
        if (type != dde::Execute && format != dde::ClipboardText) {
            return Failed(talk.Client, dde::NotProcessedError, DdeNoData);
        }
        return RemoteTransaction(talk, data, item, type, timeout, result);
    }
    if (talk.Server == 0) {
        return ProgramManagerTransaction(talk, data, item, format, type, result);
    }
    Instance* server = FindInstance(talk.Server);
    if (server == nullptr) {
        return Failed(talk.Client, dde::NoConversationEstablished, DdeNoData);
    }
    const DdeCallback callback = server->Callback;
    if (type == dde::Request) {
        const DdeData reply = callback(type, format, conversation, talk.Topic, item, DdeNoData);
        if (reply == DdeNoData || Data.count(static_cast<std::uintptr_t>(reply)) == 0) {
            return Failed(talk.Client, dde::NotProcessedError, DdeNoData);
        }
        return reply;
    }
    // The server sees the data only during its callback, as DDEML hands it over.
    const DdeData sent = DdeCreateDataHandle(talk.Client, data, item, format);
    const auto status = static_cast<std::uint32_t>(callback(
        type, format, conversation, talk.Topic, type == dde::Poke ? item : DdeNoString, sent));
    DdeFreeDataHandle(sent);
    if (result != nullptr) {
        *result = status;
    }
    if (status & dde::Acknowledged) {
        return DdeTrue;
    }
    return Failed(talk.Client, status & dde::Busy ? dde::BusyError : dde::NotProcessedError,
                  DdeNoData);
}

DdeData SandboxDde::ProgramManagerTransaction(const Conversation& conversation,
                                              std::span<const char> data, DdeString item,
                                              std::uint32_t format, std::uint32_t type,
                                              std::uint32_t* result) {
    if (type == dde::Execute) {
        ProgramManagerFault.clear();
        const std::string_view commands(data.data(), data.size());
        if (!ProgramManager->Execute(commands, ProgramManagerFault)) {
            return Failed(conversation.Client, dde::NotProcessedError, DdeNoData);
        }
        if (result != nullptr) {
            *result = dde::Acknowledged;
        }
        return DdeTrue;
    }
    std::optional<std::string> reply;
    if (type == dde::Request && format == dde::ClipboardText) {
        reply = ProgramManager->Request(Text(item));
    }
    if (!reply) {
        return Failed(conversation.Client, dde::NotProcessedError, DdeNoData);
    }
    return DdeCreateDataHandle(conversation.Client, *reply, item, format);
}

DdeData SandboxDde::DdeCreateDataHandle(std::uint32_t instance, std::span<const char> data,
                                        DdeString /*item*/, std::uint32_t /*format*/) {
    if (FindInstance(instance) == nullptr) {
        return DdeNoData;
    }
    const std::uintptr_t handle = NextHandle++;
    Data[handle] = std::string(data.data(), data.size());
    return DdeData{handle};
}

std::uint32_t SandboxDde::DdeGetData(DdeData data, std::span<char> buffer, std::uint32_t offset) {
    auto found = Data.find(static_cast<std::uintptr_t>(data));
    if (found == Data.end() || offset > found->second.size()) {
        return 0;
    }
    const std::string& bytes = found->second;
    if (buffer.empty()) {
        return static_cast<std::uint32_t>(bytes.size());
    }
    const std::size_t count = std::min(bytes.size() - offset, buffer.size());
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    return static_cast<std::uint32_t>(count);
}

bool SandboxDde::DdeFreeDataHandle(DdeData data) {
    return Data.erase(static_cast<std::uintptr_t>(data)) == 1;
}

std::uint32_t SandboxDde::DdeGetLastError(std::uint32_t instance) {
    Instance* found = FindInstance(instance);
    if (found == nullptr) {
        return dde::DllNotInitialized;
    }
    return std::exchange(found->LastError, dde::NoError);
}

} // namespace platform
