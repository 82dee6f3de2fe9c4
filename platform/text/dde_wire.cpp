// Writing and reading the messages between a DDE client and a server in another program.
#include "platform/dde_wire.h"

#include <algorithm>
#include <string_view>

namespace platform {

namespace {

constexpr std::string_view RequestMagic = "VDDE";
constexpr std::string_view ReplyMagic = "VDDR";

void AppendWord(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

// Takes bytes off the front of a message; every read checks what is left.
class Reader {
public:
    explicit Reader(std::span<const char> bytes) : Rest(bytes.data(), bytes.size()) {}

    bool Take(std::size_t count, std::string_view& out) {
        if (Rest.size() < count) {
            return false;
        }
        out = Rest.substr(0, count);
        Rest.remove_prefix(count);
        return true;
    }
    bool Byte(std::uint8_t& out) {
        std::string_view taken;
        if (!Take(1, taken)) {
            return false;
        }
        out = static_cast<std::uint8_t>(taken[0]);
        return true;
    }
    bool Word(std::uint32_t& out) {
        std::string_view taken;
        if (!Take(4, taken)) {
            return false;
        }
        out = 0;
        for (int i = 3; i >= 0; --i) {
            out = (out << 8) | static_cast<std::uint8_t>(taken[static_cast<std::size_t>(i)]);
        }
        return true;
    }
    bool Name(std::string& out) {
        std::uint8_t length = 0;
        std::string_view taken;
        if (!Byte(length) || !Take(length, taken)) {
            return false;
        }
        out.assign(taken);
        return true;
    }
    // The data's length is checked before anything is taken, so a length word never
    // makes the reader wait for or keep more than the limit.
    bool Data(std::string& out, std::string& error) {
        std::uint32_t length = 0;
        if (!Word(length)) {
            return false;
        }
        if (length > dde_wire::MaxDataBytes) {
            error = "data of " + std::to_string(length) + " bytes is over the limit of " +
                    std::to_string(dde_wire::MaxDataBytes);
            return false;
        }
        std::string_view taken;
        if (!Take(length, taken)) {
            return false;
        }
        out.assign(taken);
        return true;
    }
    bool AtEnd() const { return Rest.empty(); }
    bool Magic(std::string_view magic) {
        std::string_view taken;
        return Take(magic.size(), taken) && taken == magic;
    }

private:
    std::string_view Rest;
};

template <typename Result> std::optional<Result> Broken(std::string& error, std::string_view what) {
    if (error.empty()) {
        error = std::string(what);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> WriteDdeWireRequest(const DdeWireRequest& request) {
    if (request.Topic.size() > 255 || request.Item.size() > 255 ||
        request.Data.size() > dde_wire::MaxDataBytes) {
        return std::nullopt;
    }
    std::string out(RequestMagic);
    out.push_back(request.Kind);
    for (const std::string* name : {&request.Topic, &request.Item}) {
        out.push_back(static_cast<char>(name->size()));
        out += *name;
    }
    AppendWord(out, static_cast<std::uint32_t>(request.Data.size()));
    return out + request.Data;
}

std::optional<DdeWireRequest> ParseDdeWireRequest(std::span<const char> bytes, std::string& error) {
    error.clear();
    Reader in(bytes);
    DdeWireRequest request;
    std::uint8_t kind = 0;
    if (!in.Magic(RequestMagic)) {
        return Broken<DdeWireRequest>(error, "not a DDE request");
    }
    if (!in.Byte(kind) || !in.Name(request.Topic) || !in.Name(request.Item) ||
        !in.Data(request.Data, error)) {
        return Broken<DdeWireRequest>(error, "the request is cut short");
    }
    if (kind != 'C' && kind != 'E' && kind != 'P' && kind != 'R') {
        return Broken<DdeWireRequest>(error, "unknown request kind " + std::to_string(kind));
    }
    if (!in.AtEnd()) {
        return Broken<DdeWireRequest>(error, "bytes after the end of the request");
    }
    request.Kind = static_cast<char>(kind);
    return request;
}

std::string WriteDdeWireReply(const DdeWireReply& reply) {
    std::string out(ReplyMagic);
    out.push_back(reply.Done ? '\0' : '\1');
    AppendWord(out, reply.Word);
    const std::size_t size = std::min(reply.Data.size(), dde_wire::MaxDataBytes);
    AppendWord(out, static_cast<std::uint32_t>(size));
    return out.append(reply.Data, 0, size);
}

std::optional<DdeWireReply> ParseDdeWireReply(std::span<const char> bytes, std::string& error) {
    error.clear();
    Reader in(bytes);
    DdeWireReply reply;
    std::uint8_t status = 0;
    if (!in.Magic(ReplyMagic)) {
        return Broken<DdeWireReply>(error, "not a DDE reply");
    }
    if (!in.Byte(status) || !in.Word(reply.Word) || !in.Data(reply.Data, error)) {
        return Broken<DdeWireReply>(error, "the reply is cut short");
    }
    if (status > 1 || !in.AtEnd()) {
        return Broken<DdeWireReply>(error, "the reply is malformed");
    }
    reply.Done = status == 0;
    return reply;
}

} // namespace platform
