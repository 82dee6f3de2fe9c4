// The engine's DDE service "VornInst": a request reads a variable, an execute sets one,
// and an execute on the topic CANCEL (any case) sets the abort flag.
#pragma once

#include "platform/dde.h"

#include <cstdint>
#include <string>

namespace vorn {

class Engine;

class VornInstServer {
public:
    static constexpr std::string_view ServiceName = "VornInst";
    /// Executed data beyond this many bytes is cut.
    static constexpr std::size_t MaxExecuteBytes = 255;

    /// Starts the service; a failure leaves it off, which only disables the DDE features.
    VornInstServer(platform::DdeService& dde, Engine& engine);
    /// Unregisters the name and ends the instance.
    ~VornInstServer();
    VornInstServer(const VornInstServer&) = delete;
    VornInstServer& operator=(const VornInstServer&) = delete;

    bool Running() const { return static_cast<bool>(Service); }
    /// The instance, 0 when DDE could not be started; clients use it too.
    std::uint32_t InstanceId() const { return Instance.Get(); }

private:
    platform::DdeData Callback(std::uint32_t type, std::uint32_t format, platform::DdeString first,
                               platform::DdeString second, platform::DdeData data);
    std::string Text(platform::DdeString string) const;

    platform::DdeService& Dde;
    Engine& Run;
    platform::UniqueDdeInstance Instance;
    platform::UniqueDdeString Service;
};

} // namespace vorn
