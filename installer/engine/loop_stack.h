// The loop stack: where each open While loop of the script starts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vorn {

/// Up to 32 saved record positions and the depth.
class LoopStack {
public:
    static constexpr std::size_t Capacity = 32;

    /// False, pushing nothing, when 32 loops are open already.
    bool Push(std::uint32_t position) {
        if (Depth == Capacity) {
            return false;
        }
        Positions[Depth++] = position;
        return true;
    }

    /// The position of the innermost open loop, or nullopt when none is open.
    std::optional<std::uint32_t> Pop() {
        if (Depth == 0) {
            return std::nullopt;
        }
        return Positions[--Depth];
    }

    std::uint8_t Size() const { return Depth; }
    void Clear() { Depth = 0; }

private:
    std::array<std::uint32_t, Capacity> Positions{};
    std::uint8_t Depth = 0;
};

} // namespace vorn
