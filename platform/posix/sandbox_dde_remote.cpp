// The sandbox DDE between programs: a registered name listens on a local socket in the
// machine folder; a client sends one request per connection and reads one reply.
#include "platform/posix/sandbox_dde.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// How long a server waits for a connected client to send its request or take its reply.
constexpr int ServerWaitMilliseconds = 2000;
// The most clients one call of ServeRemoteClients answers per name, so a flood of
// connections cannot hold the program up.
constexpr int ClientsPerServe = 8;
// A transaction's wait when the caller gives none.
constexpr std::uint32_t DefaultTimeout = 30000;

bool NameFitsSocket(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    }) && name.front() != '.';
}

bool Address(const std::filesystem::path& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string native = path.string();
    if (native.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, native.c_str(), native.size() + 1);
    return true;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

// Waits until the socket is ready for `events` or the deadline passes.
bool WaitFor(int socket, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{socket, events, 0};
        const int ready = ::poll(&entry, 1, MillisecondsLeft(deadline));
        if (ready > 0) {
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

bool SendAll(int socket, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        if (!WaitFor(socket, POLLOUT, deadline)) {
            return false;
        }
        const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno != EINTR && errno != EAGAIN) {
            return false;
        }
        bytes.remove_prefix(sent > 0 ? static_cast<std::size_t>(sent) : 0);
    }
    return true;
}

// Reads until the other side closes; fails past the deadline or beyond the longest
// message, so a peer can neither hold the reader nor make it keep unbounded data.
bool ReceiveAll(int socket, std::string& bytes, Clock::time_point deadline) {
    char buffer[4096];
    for (;;) {
        if (!WaitFor(socket, POLLIN, deadline)) {
            return false;
        }
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got == 0) {
            return true;
        }
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                continue;
            }
            return false;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > dde_wire::MaxMessageBytes) {
            return false;
        }
    }
}

SandboxDde::UniqueSocket NewSocket(int flags = 0) {
    return SandboxDde::UniqueSocket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0));
}

} // namespace

void SandboxDde::SocketTraits::Release(Handle socket) {
    ::close(socket);
}

SandboxDde::~SandboxDde() {
    while (!Listeners.empty()) {
        StopListening(Listeners.begin()->first);
    }
}

std::filesystem::path SandboxDde::SocketPath(const std::string& name) const {
    sockaddr_un address;
    if (Folder.empty() || !NameFitsSocket(name) || !Address(Folder / "dde" / name, address)) {
        return {};
    }
    return Folder / "dde" / name;
}

bool SandboxDde::ServedHere(const std::string& name) const {
    return std::any_of(Instances.begin(), Instances.end(), [&](const auto& entry) {
        const auto& names = entry.second.Services;
        return std::find(names.begin(), names.end(), name) != names.end();
    });
}

void SandboxDde::Listen(const std::string& name) {
    const std::filesystem::path path = SocketPath(name);
    sockaddr_un address;
    if (path.empty() || Listeners.count(name) != 0 || !Address(path, address)) {
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    // Never blocks: the program looks for clients between its other work.
    UniqueSocket socket = NewSocket(SOCK_NONBLOCK);
    if (!socket) {
        return;
    }
    const auto* generic = reinterpret_cast<const sockaddr*>(&address);
    if (::bind(socket.Get(), generic, sizeof address) != 0) {
        // A socket left by a program that ended is taken over; one that answers belongs
        // to a live server, which keeps the name for other programs.
        UniqueSocket probe = NewSocket();
        if (errno != EADDRINUSE || !probe || ::connect(probe.Get(), generic, sizeof address) == 0 ||
            errno != ECONNREFUSED) {
            return;
        }
        std::filesystem::remove(path, ignored);
        if (::bind(socket.Get(), generic, sizeof address) != 0) {
            return;
        }
    }
    if (::listen(socket.Get(), 16) != 0) {
        std::filesystem::remove(path, ignored);
        return;
    }
    Listeners[name] = {std::move(socket), path};
}

void SandboxDde::StopListening(const std::string& name) {
    auto found = Listeners.find(name);
    if (found == Listeners.end()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(found->second.Path, ignored);
    Listeners.erase(found);
}

std::optional<DdeWireReply> SandboxDde::SendToRemote(const std::string& name,
                                                     const DdeWireRequest& request,
                                                     std::uint32_t timeout) {
    sockaddr_un address;
    const std::optional<std::string> bytes = WriteDdeWireRequest(request);
    if (!bytes || !Address(SocketPath(name), address)) {
        return std::nullopt;
    }
    UniqueSocket socket = NewSocket();
    if (!socket ||
        ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return std::nullopt;
    }
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(timeout == 0 ? DefaultTimeout : timeout);
    std::string reply;
    std::string error;
    if (!SendAll(socket.Get(), *bytes, deadline) || ::shutdown(socket.Get(), SHUT_WR) != 0 ||
        !ReceiveAll(socket.Get(), reply, deadline)) {
        return std::nullopt;
    }
    return ParseDdeWireReply(reply, error);
}

DdeData SandboxDde::RemoteTransaction(const Conversation& conversation, std::span<const char> data,
                                      DdeString item, std::uint32_t type, std::uint32_t timeout,
                                      std::uint32_t* result) {
    DdeWireRequest request;
    request.Kind = type == dde::Execute ? 'E' : type == dde::Poke ? 'P' : 'R';
    request.Topic = Text(conversation.Topic);
    request.Item = Text(item);
    if (type != dde::Request) {
        request.Data.assign(data.data(), data.size());
    }
    if (request.Data.size() > dde_wire::MaxDataBytes) {
        return Failed(conversation.Client, dde::InvalidParameter, DdeNoData);
    }
    const std::optional<DdeWireReply> reply = SendToRemote(conversation.Remote, request, timeout);
    if (!reply) {
        return Failed(conversation.Client, dde::ExecuteAckTimeout, DdeNoData);
    }
    if (!reply->Done) {
        return Failed(conversation.Client, reply->Word, DdeNoData);
    }
    if (type == dde::Request) {
        return DdeCreateDataHandle(conversation.Client, reply->Data, item, dde::ClipboardText);
    }
    if (result != nullptr) {
        *result = reply->Word;
    }
    return DdeTrue;
}

void SandboxDde::ServeRemoteClients() {
    std::vector<std::string> names;
    for (const auto& [name, listener] : Listeners) {
        names.push_back(name);
    }
    for (const std::string& name : names) {
        for (int served = 0; served < ClientsPerServe; ++served) {
            // A callback may have unregistered the name meanwhile.
            auto found = Listeners.find(name);
            if (found == Listeners.end()) {
                break;
            }
            UniqueSocket client(::accept4(found->second.Socket.Get(), nullptr, nullptr,
                                          SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!client) {
                break;
            }
            ServeClient(name, client.Get());
        }
    }
}

void SandboxDde::ServeClient(const std::string& name, int socket) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ServerWaitMilliseconds);
    std::string bytes;
    DdeWireReply reply{false, dde::InvalidParameter, {}};
    std::string error;
    if (!ReceiveAll(socket, bytes, deadline)) {
        reply.Data = "the request did not arrive whole";
    } else if (const std::optional<DdeWireRequest> request = ParseDdeWireRequest(bytes, error)) {
        reply = Serve(name, *request);
    } else {
        reply.Data = error;
    }
    SendAll(socket, WriteDdeWireReply(reply), deadline);
}

DdeWireReply SandboxDde::Serve(const std::string& name, const DdeWireRequest& request) {
    // The request runs as a conversation of a client of this program: connect, one
    // transaction, disconnect.
    std::uint32_t client = 0;
    if (DdeInitializeA(client, {}, dde::ApplicationCommandClientOnly) != dde::NoError) {
        return {false, dde::SysError, {}};
    }
    const DdeString service = AddString(name);
    const DdeString topic = AddString(request.Topic);
    const DdeString item = AddString(request.Item);
    DdeWireReply reply{false, dde::NoConversationEstablished, {}};
    if (const DdeConversation talk = DdeConnect(client, service, topic);
        talk != DdeNoConversation) {
        reply = {true, 0, {}};
        if (request.Kind != 'C') {
            const std::uint32_t type = request.Kind == 'E'   ? dde::Execute
                                       : request.Kind == 'P' ? dde::Poke
                                                             : dde::Request;
            std::uint32_t status = 0;
            const DdeData data = DdeClientTransaction(request.Data, talk, item, dde::ClipboardText,
                                                      type, 0, &status);
            if (data == DdeNoData) {
                reply = {false, DdeGetLastError(client), {}};
            } else if (type == dde::Request) {
                reply.Data.resize(DdeGetData(data, {}, 0));
                DdeGetData(data, reply.Data, 0);
                DdeFreeDataHandle(data);
            } else {
                reply.Word = status;
            }
        }
    }
    DdeUninitialize(client);
    for (DdeString string : {service, topic, item}) {
        ReleaseString(string);
    }
    return reply;
}

} // namespace platform
