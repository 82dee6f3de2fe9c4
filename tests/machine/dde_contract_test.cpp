// A DDE server registered by name serves a client of the same program as DDEML does:
// run against the sandbox's broker and against Win32. Also Program Manager's command
// strings, read the same in every build.
#include "dde_under_test.h"
#include "platform/headless/fault_injection_dde.h"
#include "platform/progman_commands.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace machine_test {
namespace {

using namespace platform;

class DdeContract : public ::testing::Test {
protected:
    void SetUp() override {
        std::uint32_t server = 0;
        ASSERT_EQ(Dde->DdeInitializeA(
                      server, [this](auto... arguments) { return Serve(arguments...); },
                      dde::ApplicationClassStandard),
                  dde::NoError);
        Server.Reset(server);
        std::uint32_t client = 0;
        ASSERT_EQ(Dde->DdeInitializeA(client, {}, dde::ApplicationCommandClientOnly), dde::NoError);
        Client.Reset(client);
        ASSERT_EQ(
            Dde->DdeNameService(Server.Get(), String(Server.Get(), "VornTest"), dde::NameRegister),
            DdeTrue);
    }
    DdeString String(std::uint32_t instance, std::string_view text) {
        Strings.emplace_back(Dde->DdeCreateStringHandleA(instance, text, dde::CodePageWinAnsi),
                             DdeStringTraits{Dde.get(), instance});
        return Strings.back().Get();
    }
    std::string Query(DdeString string) {
        std::array<char, 256> buffer{};
        return std::string(buffer.data(), Dde->DdeQueryStringA(Server.Get(), string, buffer,
                                                               dde::CodePageWinAnsi));
    }

    // The server: refuses the topic "REFUSED", does not process executes on "BUSY",
    // records the others, and answers a request with "topic:item".
    DdeData Serve(std::uint32_t type, std::uint32_t, DdeConversation, DdeString first,
                  DdeString second, DdeData data) {
        const std::string topic = Query(first);
        if (type == dde::Connect) {
            return topic == "REFUSED" ? DdeNoData : DdeTrue;
        }
        if (type == dde::Execute) {
            std::string text(Dde->DdeGetData(data, {}, 0), '\0');
            Dde->DdeGetData(data, text, 0);
            if (topic == "BUSY") {
                return DdeData{dde::NotProcessed};
            }
            Executed.push_back(topic + "|" + text.c_str());
            return DdeData{dde::Acknowledged};
        }
        if (type == dde::Request) {
            const std::string reply = topic + ":" + Query(second);
            return Dde->DdeCreateDataHandle(Server.Get(), {reply.c_str(), reply.size() + 1}, second,
                                            dde::ClipboardText);
        }
        return DdeNoData;
    }

    UniqueDdeConversation Connect(std::string_view service, std::string_view topic) {
        return UniqueDdeConversation(Dde->DdeConnect(Client.Get(), String(Client.Get(), service),
                                                     String(Client.Get(), topic)),
                                     DdeConversationTraits{Dde.get()});
    }
    DdeData Execute(DdeService& dde, DdeConversation conversation, std::string_view command) {
        const std::string text(command);
        return dde.DdeClientTransaction({text.c_str(), text.size() + 1}, conversation, DdeNoString,
                                        dde::ClipboardText, dde::Execute, 5000, nullptr);
    }

    std::unique_ptr<DdeService> Dde = MakeDdeUnderTest();
    UniqueDdeInstance Server{0, DdeInstanceTraits{Dde.get()}};
    UniqueDdeInstance Client{0, DdeInstanceTraits{Dde.get()}};
    std::vector<UniqueDdeString> Strings;
    std::vector<std::string> Executed;
};

TEST_F(DdeContract, AServerOfTheNameReceivesExecutesAndAnswersRequests) {
    UniqueDdeConversation conversation = Connect("vorntest", "MyVar");
    ASSERT_TRUE(conversation);
    std::uint32_t status = 0;
    const std::string command = "[Hello(1, \"two\")]";
    EXPECT_EQ(Dde->DdeClientTransaction({command.c_str(), command.size() + 1}, conversation.Get(),
                                        DdeNoString, dde::ClipboardText, dde::Execute, 5000,
                                        &status),
              DdeTrue);
    EXPECT_TRUE(status & dde::Acknowledged);
    EXPECT_EQ(Executed, std::vector<std::string>{"MyVar|[Hello(1, \"two\")]"});

    UniqueDdeData reply(Dde->DdeClientTransaction({}, conversation.Get(),
                                                  String(Client.Get(), "Item"), dde::ClipboardText,
                                                  dde::Request, 5000, nullptr),
                        DdeDataTraits{Dde.get()});
    ASSERT_TRUE(reply);
    std::array<char, 64> text{};
    EXPECT_EQ(Dde->DdeGetData(reply.Get(), {}, 0), 11u);
    EXPECT_EQ(Dde->DdeGetData(reply.Get(), text, 0), 11u);
    EXPECT_STREQ(text.data(), "MyVar:Item");
}

TEST_F(DdeContract, FailuresAreReportedByTheClientsLastError) {
    EXPECT_FALSE(Connect("NoSuchService", "Topic"));
    EXPECT_EQ(Dde->DdeGetLastError(Client.Get()), dde::NoConversationEstablished);
    EXPECT_FALSE(Connect("VornTest", "REFUSED"));
    EXPECT_EQ(Dde->DdeGetLastError(Client.Get()), dde::NoConversationEstablished);

    UniqueDdeConversation busy = Connect("VornTest", "BUSY");
    ASSERT_TRUE(busy);
    EXPECT_EQ(Execute(*Dde, busy.Get(), "[X]"), DdeNoData);
    EXPECT_EQ(Dde->DdeGetLastError(Client.Get()), dde::NotProcessedError);
    EXPECT_EQ(Dde->DdeGetLastError(Client.Get()), dde::NoError) << "reading the error clears it";

    ASSERT_EQ(
        Dde->DdeNameService(Server.Get(), String(Server.Get(), "VornTest"), dde::NameUnregister),
        DdeTrue);
    EXPECT_FALSE(Connect("VornTest", "Topic"));
}

TEST_F(DdeContract, InjectedFaultsReachTheCaller) {
    FaultInjectingDde faulty(*Dde);
    faulty.Plan.FailAt(DdeCall::DdeClientTransaction, 1, dde::ExecuteAckTimeout);
    UniqueDdeConversation conversation(faulty.DdeConnect(Client.Get(),
                                                         String(Client.Get(), "VornTest"),
                                                         String(Client.Get(), "T")),
                                       DdeConversationTraits{&faulty});
    ASSERT_TRUE(conversation);
    EXPECT_EQ(Execute(faulty, conversation.Get(), "[First]"), DdeNoData);
    EXPECT_EQ(faulty.DdeGetLastError(Client.Get()), dde::ExecuteAckTimeout);
    EXPECT_EQ(Execute(faulty, conversation.Get(), "[Second]"), DdeTrue);
    EXPECT_EQ(Executed, std::vector<std::string>{"T|[Second]"});
}

TEST(ProgmanCommands, CommandStringsAreTakenApartAsProgramManagerReadsThem) {
    using Commands = std::vector<std::pair<std::string, std::vector<std::string>>>;
    const struct {
        std::string_view Text;
        Commands Expected;
    } cases[] = {
        {"[CreateGroup(Tools)]", {{"CreateGroup", {"Tools"}}}},
        {" [ShowGroup( My Tools , 1 )] \r\n[ExitProgman] ",
         {{"ShowGroup", {"My Tools", "1"}}, {"ExitProgman", {}}}},
        {"[AddItem(\"C:\\A B\\(x).EXE\",\"Name, with [brackets]\",,2)]",
         {{"AddItem", {"C:\\A B\\(x).EXE", "Name, with [brackets]", "", "2"}}}},
        {"[AddItem(C:\\TOOLS(1)\\A.EXE,A[1])]", {{"AddItem", {"C:\\TOOLS(1)\\A.EXE", "A[1]"}}}},
        {"[DeleteGroup()]", {{"DeleteGroup", {}}}},
        {std::string_view("[Reload]\0[Hidden]", 17), {{"Reload", {}}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        std::vector<ProgmanCommand> commands;
        std::string error;
        EXPECT_TRUE(ParseProgmanCommands(c.Text, commands, error)) << c.Text << ": " << error;
        Commands got;
        for (const ProgmanCommand& command : commands) {
            got.emplace_back(command.Name, command.Arguments);
        }
        EXPECT_EQ(got, c.Expected) << c.Text;
    }
}

TEST(ProgmanCommands, MalformedStringsGiveAClearError) {
    const struct {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"CreateGroup(X)", "offset 0: \"[\" expected"},
        {"[CreateGroup(X)", "offset 15: \"]\" expected"},
        {"[CreateGroup(X]", "offset 14: \")\" expected"},
        {"[CreateGroup(\"X)]", "offset 13: a quoted argument is not closed"},
        {"[A(\"X\"Y)]", "offset 6: \",\" or \")\" expected after a quoted argument"},
        {"[A(x(y)]", "offset 7: \")\" expected"},
        {"[A(x[y", "offset 6: an argument's parenthesis or bracket is not closed"},
        {"[A(x(y])]", "offset 6: parentheses and brackets do not match"},
        {"[A(x\"y)]", "offset 4: a quote inside an unquoted argument"},
        {"[(x)]", "offset 1: a command name is missing"},
        {"[Good(1)] junk", "offset 10: \"[\" expected"},
    };
    for (const auto& c : cases) {
        std::vector<ProgmanCommand> commands;
        std::string error;
        EXPECT_FALSE(ParseProgmanCommands(c.Text, commands, error)) << c.Text;
        EXPECT_EQ(error, std::string("Program Manager command at ") + c.Error) << c.Text;
    }
}

} // namespace
} // namespace machine_test
