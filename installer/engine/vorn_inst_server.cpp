// The engine's DDE service.
#include "vorn_inst_server.h"

#include "engine.h"
#include "platform/ansi_text.h"

#include <vector>

namespace vorn {

using platform::DdeData;
using platform::DdeString;

VornInstServer::VornInstServer(platform::DdeService& dde, Engine& engine) : Dde(dde), Run(engine) {
    std::uint32_t id = 0;
    auto callback = [this](std::uint32_t type, std::uint32_t format, platform::DdeConversation,
                           DdeString first, DdeString second,
                           DdeData data) { return Callback(type, format, first, second, data); };
    if (Dde.DdeInitializeA(id, callback, platform::dde::ApplicationClassStandard) !=
        platform::dde::NoError) {
        return;
    }
    Instance = platform::UniqueDdeInstance(id, platform::DdeInstanceTraits{&Dde});
    platform::UniqueDdeString name(
        Dde.DdeCreateStringHandleA(id, ServiceName, platform::dde::CodePageWinAnsi),
        platform::DdeStringTraits{&Dde, id});
    if (name &&
        Dde.DdeNameService(id, name.Get(), platform::dde::NameRegister) != platform::DdeNoData) {
        Service = std::move(name);
    }
}

VornInstServer::~VornInstServer() {
    if (Service) {
        Dde.DdeNameService(Instance.Get(), Service.Get(), platform::dde::NameUnregister);
    }
    // A conversation the script left open, and the name's handle, go before the
    // instance that owns them.
    Run.ProgramManager.Reset();
    Run.DdeInstance = 0;
    Service.Reset();
    Instance.Reset();
}

std::string VornInstServer::Text(DdeString string) const {
    std::vector<char> buffer(256);
    std::uint32_t length = Dde.DdeQueryStringA(Instance.Get(), string, std::span<char>(buffer),
                                               platform::dde::CodePageWinAnsi);
    return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
}

DdeData VornInstServer::Callback(std::uint32_t type, std::uint32_t format, DdeString first,
                                 DdeString second, DdeData data) {
    switch (type) {
    case platform::dde::Connect:
        return platform::DdeTrue;
    case platform::dde::Request: {
        if (format != platform::dde::ClipboardText) {
            return platform::DdeNoData;
        }
        std::string value = Run.Variables.GetVariable(Text(first));
        return Dde.DdeCreateDataHandle(Instance.Get(),
                                       std::span<const char>(value.c_str(), value.size() + 1),
                                       second, platform::dde::ClipboardText);
    }
    case platform::dde::Execute: {
        std::string topic = Text(first);
        if (platform::EqualsIgnoringCase(topic, "CANCEL")) {
            Run.Services.Host.SetAbortFlag();
        } else if (topic.empty()) {
            // An empty name is the "%%" variable, which must stay a percent sign.
            return static_cast<DdeData>(platform::dde::NotProcessed);
        } else {
            std::vector<char> buffer(MaxExecuteBytes, '\0');
            std::uint32_t copied = Dde.DdeGetData(data, std::span<char>(buffer), 0);
            std::string_view text(buffer.data(), std::min<std::size_t>(copied, buffer.size()));
            Run.Variables.SetVariable(topic, text.substr(0, text.find('\0')));
        }
        return static_cast<DdeData>(platform::dde::Acknowledged);
    }
    default:
        return platform::DdeNoData;
    }
}

} // namespace vorn
