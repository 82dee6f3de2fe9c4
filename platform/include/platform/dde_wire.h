// The messages a DDE client in one program exchanges with a DDE server in another over
// a local socket: one request, one reply, each read until the sender closes its side.
//
// Request: "VDDE", the kind ('C' connect, 'E' execute, 'P' poke, 'R' request), the
// topic and the item (each a length byte and at most 255 characters), then the data
// (a 32-bit little-endian length and the bytes). Reply: "VDDR", a status byte (0 done,
// 1 refused), a 32-bit word (the server's status bits when done, the DMLERR_ code when
// refused) and the data as in a request.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform {

struct DdeWireRequest {
    char Kind = 'C';
    std::string Topic;
    std::string Item;
    std::string Data;
};

struct DdeWireReply {
    bool Done = false;
    std::uint32_t Word = 0;
    std::string Data;
};

namespace dde_wire {
/// The most data a request or reply carries.
inline constexpr std::size_t MaxDataBytes = 64 * 1024;
/// The longest message either side reads.
inline constexpr std::size_t MaxMessageBytes = 4 + 1 + 2 * 256 + 4 + MaxDataBytes;
} // namespace dde_wire

/// The bytes of a request; nullopt when a name is longer than 255 characters or the
/// data longer than dde_wire::MaxDataBytes.
std::optional<std::string> WriteDdeWireRequest(const DdeWireRequest& request);
/// Reads a whole request; nullopt with `error` set when the bytes are not one.
std::optional<DdeWireRequest> ParseDdeWireRequest(std::span<const char> bytes, std::string& error);

/// The bytes of a reply; data beyond dde_wire::MaxDataBytes is cut.
std::string WriteDdeWireReply(const DdeWireReply& reply);
std::optional<DdeWireReply> ParseDdeWireReply(std::span<const char> bytes, std::string& error);

} // namespace platform
