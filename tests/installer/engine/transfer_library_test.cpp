// The transfer library through the headless loader: loading on first use, the errors
// the engine reports for it, the arguments of its entries and its release at the end.
#include "engine_fakes.h"
#include "installer/engine/running_engine.h"
#include "installer/engine/transfer_library.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using testing::EngineHarness;

struct TransferCall {
    std::string Source;
    std::string Target;
    std::uintptr_t Window = 0;
    bool Counters = false;
    std::intptr_t File = 0;
    std::uint32_t Size = 0;
    std::uint32_t Date = 0;
    std::uint32_t Time = 0;
};
std::vector<TransferCall> Calls;
std::int32_t NextResult = 0;
std::uintptr_t Forwarded = 0;

std::int32_t PLATFORM_WINAPI FakeTransfer(std::int32_t* abortFlag, const char* source,
                                          const char* target, std::uintptr_t window,
                                          std::uint32_t* progress, std::intptr_t file,
                                          std::uint32_t size, std::uint32_t date,
                                          std::uint32_t time, char* errorText) {
    Calls.push_back({source != nullptr ? source : "", target != nullptr ? target : "", window,
                     abortFlag != nullptr && progress != nullptr, file, size, date, time});
    if (errorText != nullptr && NextResult < 0) {
        std::strcpy(errorText, "host unreachable");
    }
    return NextResult;
}

std::int32_t PLATFORM_WINAPI FakeForward(std::uintptr_t first, std::uintptr_t second,
                                         std::uintptr_t third) {
    Forwarded = first + second + third;
    return 5;
}

platform::HeadlessLibraryService::Entry AsEntry(platform::ProcAddress entry) {
    return reinterpret_cast<platform::HeadlessLibraryService::Entry>(entry);
}

TEST(TransferLibrary, ReportsWhatKeepsTheTransferFromHappening) {
    struct Case {
        const char* Name;
        std::string Path;
        bool WithEntry;
        std::int32_t Result;
        std::string Box;
    };
    const Case cases[] = {
        {"not embedded", "", true, 0, "Transfer error 11."},
        {"cannot load", "C:\\TEMP\\OTHER.TMP", true, 0, "Transfer error 10."},
        {"no entry t1", "C:\\TEMP\\KTM1.TMP", false, 0, "Transfer error 10."},
        {"the library's error", "C:\\TEMP\\KTM1.TMP", true, -7,
         "Transfer error 7. host unreachable"},
        {"done", "C:\\TEMP\\KTM1.TMP", true, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EngineHarness h({0});
        std::vector<std::string> texts = testing::NumberedMessages();
        texts[15] = "Transfer error %d.";
        MessageTable messages(texts);
        h.Machine->Messages = &messages;
        h.Machine->Transfer.Path = c.Path;
        std::map<std::string, platform::HeadlessLibraryService::Entry> exports;
        if (c.WithEntry) {
            exports["t1"] = AsEntry(reinterpret_cast<platform::ProcAddress>(&FakeTransfer));
        }
        h.Libraries.AddLibrary("C:\\TEMP\\KTM1.TMP", exports);
        Calls.clear();
        NextResult = c.Result;
        bool done = TransferFile(*h.Machine, {"ftp://host/a.dll", "C:\\APP\\~KTH0001.TMP", 1234,
                                              0x4A21, 0x6000});
        EXPECT_EQ(done, c.Box.empty());
        EXPECT_EQ(h.BoxTexts(), c.Box.empty() ? std::vector<std::string>{}
                                              : std::vector<std::string>{c.Box});
        EXPECT_EQ(h.Libraries.Loads.size(), c.Path.empty() ? 0u : 1u);
        EXPECT_EQ(Calls.size(), c.WithEntry && c.Path.ends_with("KTM1.TMP") ? 1u : 0u);
        CloseTransferLibrary(*h.Machine);
        EXPECT_EQ(h.Libraries.References("C:\\TEMP\\KTM1.TMP"), 0);
    }
}

TEST(TransferLibrary, LoadsOnceForwardsAndSaysGoodbyeAtTheEnd) {
    EngineHarness h({0});
    h.Machine->Transfer.Path = "C:\\TEMP\\KTM1.TMP";
    h.Libraries.AddLibrary(
        "C:\\TEMP\\KTM1.TMP",
        {{"t1", AsEntry(reinterpret_cast<platform::ProcAddress>(&FakeTransfer))},
         {"t2", AsEntry(reinterpret_cast<platform::ProcAddress>(&FakeForward))}});
    Calls.clear();
    NextResult = 0;
    RunningEngineScope running(*h.Machine);
    EXPECT_TRUE(TransferFile(*h.Machine, {"http://a/b", "C:\\X", 10, 1, 2}));
    EXPECT_TRUE(TransferFile(*h.Machine, {"ftp://c/d", "C:\\Y", 20, 3, 4}));
    EXPECT_EQ(h.Libraries.Loads, std::vector<std::string>{"Ex:C:\\TEMP\\KTM1.TMP"});
    EXPECT_EQ(HandleFtp(1, 2, 3), 5);
    EXPECT_EQ(Forwarded, 6u);

    CloseTransferLibrary(*h.Machine);
    EXPECT_EQ(HandleFtp(1, 2, 3), 0);
    EXPECT_EQ(h.Libraries.References("C:\\TEMP\\KTM1.TMP"), 0);
    ASSERT_EQ(Calls.size(), 3u);
    const TransferCall& first = Calls[0];
    EXPECT_EQ(first.Source, "http://a/b");
    EXPECT_EQ(first.Target, "C:\\X");
    EXPECT_EQ(first.Window, 0x1000u);
    EXPECT_TRUE(first.Counters);
    EXPECT_EQ(first.File, -1);
    EXPECT_EQ(std::tuple(first.Size, first.Date, first.Time), std::tuple(10u, 1u, 2u));
    // The goodbye call carries only the main window.
    const TransferCall& last = Calls[2];
    EXPECT_EQ(std::tuple(last.Source, last.Window, last.Counters, last.File, last.Size),
              std::tuple(std::string(), std::uintptr_t{0x1000}, false, std::intptr_t{0}, 0u));
}

} // namespace
} // namespace vorn
