// Fakes of the engine's services for tests and the fuzz target.
#include "engine_fakes.h"

namespace vorn::testing {

std::string FakeTempFiles::CreateTempFile(std::string_view directory, std::string_view prefix) {
    if (Fail) {
        return {};
    }
    return std::string(directory) + "\\" + std::string(prefix) + std::to_string(++Made) + ".TMP";
}

EngineHarness::EngineHarness(std::vector<std::uint8_t> script, std::uint8_t languages,
                             std::uint8_t language, platform::LibraryService* libraries)
    : Bytes(std::move(script)) {
    EngineServices services{
        Host, libraries != nullptr ? *libraries : Libraries, Presenter, Log, TempFiles, nullptr};
    Machine = std::make_unique<Engine>(Script(Bytes, languages, language), services);
}

int EngineHarness::Run(int maxCalls) {
    int result = run::Continue;
    for (int call = 0; call < maxCalls && result == run::Continue; ++call) {
        result = RunActions(*Machine);
    }
    return result;
}

std::vector<std::string> EngineHarness::BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : Boxes.Boxes) {
        texts.push_back(box.Text);
    }
    return texts;
}

std::vector<std::string> NumberedMessages() {
    std::vector<std::string> texts;
    for (int i = 0; i < 45; ++i) {
        texts.push_back("M" + std::to_string(i));
    }
    texts[6] = "Cannot load %s";
    return texts;
}

} // namespace vorn::testing
