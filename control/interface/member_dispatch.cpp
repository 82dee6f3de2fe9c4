// The shared part of dispatch by name: argument completion and the dispatch errors.
#include "member_dispatch.h"

#include <algorithm>

namespace plandra {

ControlError MemberNotSupported() {
    return ControlError(438, "Plandra", "Object doesn't support this property or method");
}

ControlError WrongArgumentCount() {
    return ControlError(450, "Plandra", "Wrong number of arguments or invalid property assignment");
}

std::vector<Variant> CompletedArguments(std::span<const ParamInfo> params,
                                        std::span<const Variant> args) {
    const std::size_t required = static_cast<std::size_t>(
        std::ranges::count_if(params, [](const ParamInfo& param) { return !param.Optional; }));
    if (args.size() < required || args.size() > params.size()) {
        throw WrongArgumentCount();
    }
    std::vector<Variant> completed(args.begin(), args.end());
    for (std::size_t i = args.size(); i < params.size(); ++i) {
        completed.push_back(params[i].Default);
    }
    return completed;
}

void ReturnByReference(std::span<const ParamInfo> params, std::span<Variant> completed,
                       std::span<Variant> args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!params[i].ByValue) {
            args[i] = std::move(completed[i]);
        }
    }
}

} // namespace plandra
