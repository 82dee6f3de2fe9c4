// The DDE calls on the sandbox machine: an in-process broker between the instances of
// one program, with the machine's Program Manager answering "PROGMAN".
#pragma once

#include "platform/dde.h"
#include "platform/posix/sandbox_program_manager.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

/// A server is an instance that registered a service name with DdeNameService; a client
/// of the same SandboxDde reaches it by that name, and its callback runs inside the
/// client's call, as DDEML runs it inside the client's message loop. "PROGMAN" (topic
/// "PROGMAN") is answered by `programManager` when no instance registered that name;
/// without one it is not served. String handles compare ignoring case.
class SandboxDde final : public DdeService {
public:
    explicit SandboxDde(SandboxProgramManager* programManager = nullptr)
        : ProgramManager(programManager) {}
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

    SandboxProgramManager* ProgramManager;
    std::string ProgramManagerFault;
    std::map<std::uint32_t, Instance> Instances;
    std::map<std::uintptr_t, StringEntry> Strings;
    std::map<std::uintptr_t, Conversation> Conversations;
    std::map<std::uintptr_t, std::string> Data;
    std::uint32_t NextInstance = 1;
    std::uintptr_t NextHandle = 0x10;
};

} // namespace platform
