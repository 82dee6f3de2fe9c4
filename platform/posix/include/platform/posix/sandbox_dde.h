// The DDE calls on the sandbox machine: an in-process broker between the instances of
// one program, with the machine's Program Manager answering "PROGMAN", and a local
// socket per registered name so that programs on the same machine reach each other.
#pragma once

#include "platform/dde.h"
#include "platform/dde_wire.h"
#include "platform/posix/sandbox_program_manager.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace platform {

/// A server is an instance that registered a service name with DdeNameService; a client
/// of the same SandboxDde reaches it by that name, and its callback runs inside the
/// client's call, as DDEML runs it inside the client's message loop. "PROGMAN" (topic
/// "PROGMAN") is answered by `programManager` when no instance registered that name;
/// without one it is not served. String handles compare ignoring case.
///
/// With a machine folder, a registered name also listens on the socket "dde/NAME" in the
/// folder, and a name no instance here serves is looked for there: a client in another
/// program then reaches the server. The server answers such clients only when its
/// program calls ServeRemoteClients, as a Windows server answers inside its message loop.
class SandboxDde final : public DdeService {
public:
    explicit SandboxDde(SandboxProgramManager* programManager = nullptr,
                        std::filesystem::path machineFolder = {})
        : ProgramManager(programManager), Folder(std::move(machineFolder)) {}
    ~SandboxDde() override;
    SandboxDde(const SandboxDde&) = delete;
    SandboxDde& operator=(const SandboxDde&) = delete;

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

    /// Why the Program Manager refused the last command it was sent; empty after one it
    /// carried out.
    const std::string& ProgramManagerError() const { return ProgramManagerFault; }

    /// Answers the requests other programs have sent to this program's names; a client
    /// that sends nothing or garbage gets an error and is dropped, never waited on long.
    void ServeRemoteClients();

    /// Closes a socket.
    struct SocketTraits {
        using Handle = int;
        static constexpr Handle Null = -1;
        void Release(Handle socket);
    };
    using UniqueSocket = UniqueHandle<SocketTraits>;

private:
    struct Instance {
        DdeCallback Callback;
        std::uint32_t LastError = 0;
        std::vector<std::string> Services; ///< Registered names, upper case.
    };
    struct Conversation {
        std::uint32_t Client = 0;
        /// The serving instance; 0 for the Program Manager.
        std::uint32_t Server = 0;
        DdeString Topic = DdeNoString;
        /// The name of a server in another program; empty for one in this program.
        std::string Remote;
    };
    struct Listener {
        UniqueSocket Socket;
        std::filesystem::path Path;
    };
    struct StringEntry {
        std::string Text;
        int Uses = 0;
    };

    Instance* FindInstance(std::uint32_t instance);
    std::string Text(DdeString string) const;
    DdeString AddString(std::string_view text);
    void ReleaseString(DdeString string);
    /// Records `error` for the instance; returns `result`.
    template <typename Result>
    Result Failed(std::uint32_t instance, std::uint32_t error, Result result) {
        if (Instance* found = FindInstance(instance)) {
            found->LastError = error;
        }
        return result;
    }
    DdeData ProgramManagerTransaction(const Conversation& conversation, std::span<const char> data,
                                      DdeString item, std::uint32_t format, std::uint32_t type,
                                      std::uint32_t* result);

    // The socket a name listens on in the machine folder; empty when it cannot have one.
    std::filesystem::path SocketPath(const std::string& name) const;
    void Listen(const std::string& name);
    void StopListening(const std::string& name);
    bool ServedHere(const std::string& name) const;
    std::optional<DdeWireReply> SendToRemote(const std::string& name, const DdeWireRequest& request,
                                             std::uint32_t timeout);
    DdeData RemoteTransaction(const Conversation& conversation, std::span<const char> data,
                              DdeString item, std::uint32_t type, std::uint32_t timeout,
                              std::uint32_t* result);
    void ServeClient(const std::string& name, int socket);
    DdeWireReply Serve(const std::string& name, const DdeWireRequest& request);

    SandboxProgramManager* ProgramManager;
    std::filesystem::path Folder;
    std::map<std::string, Listener> Listeners;
    std::string ProgramManagerFault;
    std::map<std::uint32_t, Instance> Instances;
    std::map<std::uintptr_t, StringEntry> Strings;
    std::map<std::uintptr_t, Conversation> Conversations;
    std::map<std::uintptr_t, std::string> Data;
    std::uint32_t NextInstance = 1;
    std::uintptr_t NextHandle = 0x10;
};

} // namespace platform
