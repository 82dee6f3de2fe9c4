// A growable array of fixed records with element 0 unused and a visible upper bound.
#pragma once

#include "control_error.h"
#include "entity_records.h"

#include <utility>
#include <vector>

namespace plandra {

/// The upper bound a caller sees moves only when the array is dimensioned or a store
/// past the end enlarges it by the caller's increment; the storage underneath grows
/// geometrically, so appends stay cheap.
template <typename Record> class RecordArray {
public:
    /// Dimensions the array afresh from 0 to `upperBound`, all elements zeroed.
    void Dimension(Long upperBound) {
        Items.clear();
        Items.resize(static_cast<std::size_t>(upperBound) + 1);
    }

    /// The highest valid index; -1 while the array has never been dimensioned.
    Long UpperBound() const { return static_cast<Long>(Items.size()) - 1; }

    /// Enlarges or shrinks to `upperBound`, keeping the contents (new elements zeroed).
    void Preserve(Long upperBound) { Items.resize(static_cast<std::size_t>(upperBound) + 1); }

    /// Stores at `index` by the growth rule: an index beyond the upper bound first
    /// enlarges the array to `index - 1 + increment`.
    void Store(Long index, const Record& record, Long increment) {
        if (index < 0) {
            SubscriptOutOfRange();
        }
        if (index > UpperBound()) {
            Preserve(index - 1 + increment);
        }
        Items[static_cast<std::size_t>(index)] = record;
    }

    /// The element at `index`. Indexes come from drawings and hosts as well as from
    /// the control itself, so every build checks them: one outside 0 to the upper
    /// bound raises run-time error 9, "Subscript out of range".
    const Record& operator[](Long index) const {
        if (index < 0 || index > UpperBound()) {
            SubscriptOutOfRange();
        }
        return Items[static_cast<std::size_t>(index)];
    }
    Record& operator[](Long index) { return const_cast<Record&>(std::as_const(*this)[index]); }

private:
    [[noreturn, gnu::cold, gnu::noinline]] static void SubscriptOutOfRange() {
        throw ControlError::Runtime(RuntimeError::SubscriptOutOfRange);
    }

    std::vector<Record> Items;
};

} // namespace plandra
