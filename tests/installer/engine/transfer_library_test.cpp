// The transfer library through the headless loader: the errors the engine reports for
// it, the arguments of its entries, HandleFtp, and its release at the end of the run.
#include "engine_fakes.h"
#include "installer/engine/running_engine.h"
#include "installer/engine/transfer_library.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace vorn {
namespace {

// Each call as "source>target window file size/date/time" ("end" for no source), with
// "!" when the counters are missing from a transfer or given to the closing call.
std::vector<std::string> Calls;
std::int32_t NextResult = 0;

std::int32_t PLATFORM_WINAPI FakeTransfer(std::int32_t* abortFlag, const char* source,
                                          const char* target, std::uintptr_t window,
                                          std::uint32_t* progress, std::intptr_t file,
                                          std::uint32_t size, std::uint32_t date,
                                          std::uint32_t time, char* errorText) {
    char call[512];
    std::snprintf(call, sizeof call, "%s>%s %d %d %u/%u/%u%s", source ? source : "end",
                  target ? target : "", static_cast<int>(window), static_cast<int>(file), size,
                  date, time, (abortFlag && progress) == (source != nullptr) ? "" : "!");
    Calls.push_back(call);
    if (NextResult < 0 && errorText != nullptr) {
        std::strcpy(errorText, "host unreachable");
    }
    return NextResult;
}

std::int32_t PLATFORM_WINAPI FakeForward(std::uintptr_t first, std::uintptr_t second,
                                         std::uintptr_t third) {
    return static_cast<std::int32_t>(first * 100 + second * 10 + third);
}

template <typename Function> platform::HeadlessLibraryService::Entry AsEntry(Function function) {
    return reinterpret_cast<platform::HeadlessLibraryService::Entry>(
        reinterpret_cast<platform::ProcAddress>(function));
}

TEST(TransferLibrary, TransfersOrReportsWhyNot) {
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
        testing::EngineHarness h({0});
        std::vector<std::string> texts = testing::NumberedMessages();
        texts[15] = "Transfer error %d.";
        MessageTable messages(texts);
        h.Machine->Messages = &messages;
        h.Machine->Transfer.Path = c.Path;
        std::map<std::string, platform::HeadlessLibraryService::Entry> exports{
            {"t2", AsEntry(&FakeForward)}};
        if (c.WithEntry) {
            exports["t1"] = AsEntry(&FakeTransfer);
        }
        h.Libraries.AddLibrary("C:\\TEMP\\KTM1.TMP", exports);
        Calls.clear();
        NextResult = c.Result;
        RunningEngineScope running(*h.Machine);
        EXPECT_EQ(TransferFile(*h.Machine, {"ftp://h/a.dll", "C:\\A.TMP", 9, 1, 2}), c.Box.empty());
        EXPECT_EQ(h.BoxTexts().empty() ? "" : h.BoxTexts().back(), c.Box);
        const bool loaded = c.WithEntry && c.Path.ends_with("KTM1.TMP");
        EXPECT_EQ(HandleFtp(1, 2, 3), loaded ? 123 : 0);
        // A second file does not load the library again.
        TransferFile(*h.Machine, {"http://h/b", "C:\\B.TMP", 5, 3, 4});
        EXPECT_EQ(h.Libraries.Loads.size(), c.Path.empty() ? 0u : loaded ? 1u : 2u);
        CloseTransferLibrary(*h.Machine);
        EXPECT_EQ(HandleFtp(1, 2, 3), 0);
        EXPECT_EQ(h.Libraries.References("C:\\TEMP\\KTM1.TMP"), 0);
        const std::vector<std::string> expected{"ftp://h/a.dll>C:\\A.TMP 4096 -1 9/1/2",
                                                "http://h/b>C:\\B.TMP 4096 -1 5/3/4",
                                                "end> 4096 0 0/0/0"};
        EXPECT_EQ(Calls, loaded ? expected : std::vector<std::string>{});
    }
}

} // namespace
} // namespace vorn
