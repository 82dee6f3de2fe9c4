// Fakes of the engine's services and a harness that runs built scripts against them,
// shared by the engine's tests and its fuzz target.
#pragma once

#include "installer/engine/engine.h"
#include "installer/engine/engine_message_box.h"
#include "installer/engine/script_interpreter.h"
#include "platform/headless/headless_library.h"
#include "platform/headless/headless_message_box.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::testing {

class FakeHost final : public EngineHost {
public:
    bool RunStopped() const override { return AbortFlag || ErrorCode != 0; }
    void SetAbortFlag() override { AbortFlag = true; }
    bool Silent() const override { return SilentFlag; }
    std::uintptr_t MainWindow() const override { return 0x1000; }
    std::uintptr_t DefaultBoxOwner() const override { return 0x1000; }
    void AfterRecord() override { ++RecordsDone; }
    void CloseProgressWindow() override { ++ProgressClosed; }

    bool AbortFlag = false;
    std::uint8_t ErrorCode = 0;
    bool SilentFlag = false;
    int RecordsDone = 0;
    int ProgressClosed = 0;
};

class RecordingLog final : public EngineLog {
public:
    void AddText(std::string_view text) override {
        if (Open && !Paused) {
            Text += text;
        }
    }
    std::intptr_t FileHandle() const override { return Open ? 42 : -1; }
    void SetLogFile(std::uint8_t flags, std::string_view path) override {
        if (flags <= 1) {
            Paused = flags == 1;
        } else {
            Text += "[new log " + std::string(path) + "]";
        }
    }

    bool Open = true;
    bool Paused = false;
    std::string Text;
};

/// Hands out "directory\KTFn.TMP" names, or fails when told to.
class FakeTempFiles final : public TempFileMaker {
public:
    std::string CreateTempFile(std::string_view directory, std::string_view prefix) override;

    bool Fail = false;
    int Made = 0;
};

/// An engine over fakes, running a script built for it.
struct EngineHarness {
    /// Uses the fake libraries unless `libraries` names another service.
    explicit EngineHarness(std::vector<std::uint8_t> script, std::uint8_t languages = 1,
                           std::uint8_t language = 0,
                           platform::LibraryService* libraries = nullptr);

    /// Calls RunActions while it answers 0, at most `maxCalls` times; the last answer.
    int Run(int maxCalls = 1000);
    /// Texts of the boxes shown so far.
    std::vector<std::string> BoxTexts() const;

    std::vector<std::uint8_t> Bytes;
    FakeHost Host;
    RecordingLog Log;
    FakeTempFiles TempFiles;
    platform::HeadlessMessageBox Boxes;
    StandardBoxPresenter Presenter{Boxes};
    platform::HeadlessLibraryService Libraries;
    std::unique_ptr<Engine> Machine;
};

/// A message table whose message n is "Mn", with message 6 "Cannot load %s".
std::vector<std::string> NumberedMessages();

/// Calls `function` with `argument` as its argument text, as a script record would.
inline std::int32_t CallBuiltin(BuiltinFunction function, Engine& engine,
                                const std::string& argument) {
    DllCallBlock block{};
    block.Argument = argument.c_str();
    return function(engine, block);
}

/// A built-in's argument: the fields joined with 0x7F.
inline std::string Fields(std::initializer_list<std::string_view> fields) {
    std::string text;
    for (std::string_view field : fields) {
        text.append(field) += '\x7F';
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}

} // namespace vorn::testing
