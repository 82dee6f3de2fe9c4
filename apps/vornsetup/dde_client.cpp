// The setup program as a DDE client of a running installation.
#include "dde_client.h"

#include "setup_machine.h"

#include <vector>

namespace vornsetup {

namespace {

// How long a transaction waits for the engine, which answers between its actions.
constexpr std::uint32_t TransactionTimeout = 30000;

std::string ErrorText(std::uint32_t code) {
    switch (code) {
    case platform::dde::NoConversationEstablished:
        return "no installation with the VornInst service runs there";
    case platform::dde::NotProcessedError:
        return "the installation refused the transaction";
    case platform::dde::ExecuteAckTimeout:
        return "the installation did not answer in time";
    default:
        return "DDE error " + std::to_string(code);
    }
}

} // namespace

int RunDdeClient(platform::DdeService& dde, const std::string& topic,
                 const std::optional<std::string>& execute, std::ostream& out, std::ostream& err) {
    std::uint32_t id = 0;
    if (dde.DdeInitializeA(id, {}, platform::dde::ApplicationCommandClientOnly) !=
        platform::dde::NoError) {
        err << ProgramName() << ": DDE cannot be started\n";
        return 1;
    }
    platform::UniqueDdeInstance instance(id, platform::DdeInstanceTraits{&dde});
    auto text = [&](std::string_view value) {
        return platform::UniqueDdeString(
            dde.DdeCreateStringHandleA(id, value, platform::dde::CodePageWinAnsi),
            platform::DdeStringTraits{&dde, id});
    };
    platform::UniqueDdeString service = text("VornInst");
    platform::UniqueDdeString subject = text(topic);
    if (!service || !subject) {
        err << ProgramName() << ": the topic is not a valid DDE name\n";
        return 2;
    }
    platform::UniqueDdeConversation conversation(dde.DdeConnect(id, service.Get(), subject.Get()),
                                                 platform::DdeConversationTraits{&dde});
    if (!conversation) {
        err << ProgramName() << ": " << ErrorText(dde.DdeGetLastError(id)) << "\n";
        return 1;
    }
    if (execute) {
        // The command goes with its terminating zero, as DDEML clients send text.
        const std::string command = *execute + '\0';
        if (dde.DdeClientTransaction(command, conversation.Get(), platform::DdeNoString,
                                     platform::dde::ClipboardText, platform::dde::Execute,
                                     TransactionTimeout, nullptr) == platform::DdeNoData) {
            err << ProgramName() << ": " << ErrorText(dde.DdeGetLastError(id)) << "\n";
            return 1;
        }
        return 0;
    }
    platform::UniqueDdeData reply(dde.DdeClientTransaction({}, conversation.Get(), subject.Get(),
                                                           platform::dde::ClipboardText,
                                                           platform::dde::Request,
                                                           TransactionTimeout, nullptr),
                                  platform::DdeDataTraits{&dde});
    if (!reply) {
        err << ProgramName() << ": " << ErrorText(dde.DdeGetLastError(id)) << "\n";
        return 1;
    }
    std::vector<char> bytes(dde.DdeGetData(reply.Get(), {}, 0));
    dde.DdeGetData(reply.Get(), bytes, 0);
    const std::string value(bytes.begin(), bytes.end());
    out << value.substr(0, value.find('\0')) << "\n";
    return 0;
}

} // namespace vornsetup
