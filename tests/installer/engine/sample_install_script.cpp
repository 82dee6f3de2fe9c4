// The sample installation script of the engine's whole-run tests.
#include "sample_install_script.h"

#include "engine_fakes.h"
#include "installer/engine/script_builder.h"

#include <functional>

namespace vorn {

namespace {

const std::string SetCount = std::string("5") + Sep + "COUNT" + Sep + "%COUNT%"; // COUNT + 1

} // namespace

std::vector<std::uint8_t> WithHeader(const ScriptHeader& header, const ScriptBuilder& records) {
    std::vector<std::uint8_t> script = WriteScriptHeader(header);
    const std::vector<std::uint8_t> built = records.Build();
    script.insert(script.end(), built.begin(), built.end());
    return script;
}

ScriptHeader SampleHeader() {
    ScriptHeader h;
    h.LogPath = "C:\\APP\\INSTALL.LOG";
    h.StatusFileName = "PLANDRA.MIF";
    h.StatusFileTemplate = "%1%|%2%|%3%|%4%|%6%|%7%";
    h.Manufacturer = "Vorn";
    h.Product = "Plandra";
    h.VersionNumber = "1.0";
    h.SerialNumber = "42";
    h.UninstallStatusName = "PLANDRA.MIF";
    h.Languages = {{"English", ""}};
    h.Texts = {{"Plandra Setup", testing::NumberedMessages()}};
    return h;
}

SampleScript BuildSample(int cancelAt) {
    ScriptBuilder b;
    std::vector<std::function<void()>> main = {
        [&] {
            b.CallDll(call::OwnFunction, "", "f16", {std::string("1") + Sep + "COUNT" + Sep + "0"});
        },
        [&] {
            b.CallDll(call::OwnFunction, "", "f16",
                      {std::string("129") + Sep + "USER" + Sep + "x"});
        },
        [&] { b.AddToLog("Made Dir: C:\\APP\\%USER%\r\n"); },
        [&] { b.While("COUNT", 1, "2"); },
        [&] { b.CallDll(call::OwnFunction, "", "f16", {SetCount}); },
        [&] { b.AddToLog("Made Dir: C:\\APP\\D%COUNT%\r\n"); },
        [&] { b.End(); },
        [&] { b.If("COUNT", 0, "2"); },
        [&] { b.AddToLog("Made Dir: C:\\APP\\TWO\r\n"); },
        [&] { b.End(); },
        [&] { b.Exit(); },
    };
    SampleScript s;
    s.MainRecords = static_cast<int>(main.size());
    for (int i = 0; i < s.MainRecords; ++i) {
        if (i == cancelAt) {
            b.CallDll(call::AbortWhenTrue | call::OwnFunction, "", "f16",
                      {std::string("0") + Sep + "STOP" + Sep + "1"});
        }
        main[static_cast<std::size_t>(i)]();
    }
    std::vector<std::uint8_t> header = WriteScriptHeader(SampleHeader());
    auto offset = [&](std::uint32_t at) { return static_cast<std::uint32_t>(header.size() + at); };
    s.Finish = offset(b.AddToLog("Made Dir: C:\\APP\\FINISH\r\n"));
    b.Exit();
    s.Cancel = offset(b.AddToLog("Made Dir: C:\\APP\\CANCEL\r\n"));
    // An abort inside the cancel section ends the run: the section is never entered again.
    b.CallDll(call::AbortWhenTrue | call::OwnFunction, "", "f16",
              {std::string("0") + Sep + "STOP" + Sep + "1"});
    b.AddToLog("Made Dir: C:\\APP\\AFTER\r\n");
    b.Exit();
    std::vector<std::uint8_t> records = b.Build();
    s.Bytes = header;
    s.Bytes.insert(s.Bytes.end(), records.begin(), records.end());
    return s;
}

} // namespace vorn
