// The group code / value pairs of one entity in file order, repeated codes kept:
// the readers of LWPOLYLINE, SPLINE, HATCH and LEADER need every vertex, knot and
// boundary edge, where the group table keeps only the last value of each code.
#pragma once

#include "control/database/dxf_number.h"
#include "control/database/entity_records.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plandra {

class EntityGroups {
public:
    void Clear() {
        Text.clear();
        Groups.clear();
    }

    void Add(Long code, std::string_view value) {
        Groups.push_back({code, static_cast<std::uint32_t>(Text.size()),
                          static_cast<std::uint32_t>(value.size())});
        Text.append(value);
    }

    std::size_t Size() const { return Groups.size(); }
    Long Code(std::size_t i) const { return Groups[i].Code; }
    std::string_view Value(std::size_t i) const {
        return std::string_view(Text).substr(Groups[i].Offset, Groups[i].Length);
    }
    /// The value read by the lenient number rule; never infinite or NaN.
    double Number(std::size_t i) const {
        double value = ParseLenientNumber(Value(i));
        return std::isfinite(value) ? value : 0;
    }

private:
    struct Group {
        Long Code;
        std::uint32_t Offset;
        std::uint32_t Length;
    };
    /// The values one after another; a group keeps its place in them.
    std::string Text;
    std::vector<Group> Groups;
};

} // namespace plandra
