// The variable table.
#include "variables.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

std::size_t SlotsNeeded(std::size_t valueLength) {
    return valueLength / VariableTable::ValueSize + 1;
}

std::string StoredName(std::string_view name) {
    std::string stored;
    stored.reserve(name.size() + 2);
    stored += '%';
    stored += name;
    stored += '%';
    return stored;
}

} // namespace

std::string_view VariableTable::SlotName(std::size_t slot) const {
    if (slot >= Slots) {
        return {};
    }
    // A 15-character name fills all 17 bytes with no terminating zero.
    const char* name = Names.data() + slot * NameSize;
    return {name, ::strnlen(name, NameSize)};
}

std::string_view VariableTable::SlotValue(std::size_t slot) const {
    if (slot >= Slots) {
        return {};
    }
    // A library may leave a value without its zero; the array's end still bounds it.
    std::size_t offset = slot * ValueSize;
    const char* value = Values.data() + offset;
    return {value, ::strnlen(value, Values.size() - offset)};
}

std::size_t VariableTable::Find(std::string_view storedName) const {
    for (std::size_t slot = 0; slot < Count; ++slot) {
        if (platform::EqualsIgnoringCase(SlotName(slot), storedName)) {
            return slot;
        }
    }
    return Slots;
}

std::size_t VariableTable::SlotsOf(std::size_t slot) const {
    std::size_t end = slot + 1;
    while (end < Count && SlotName(end).empty()) {
        ++end;
    }
    return end - slot;
}

void VariableTable::MoveSlots(std::size_t from, std::size_t to) {
    std::size_t count = Count - from;
    std::memmove(Names.data() + to * NameSize, Names.data() + from * NameSize, count * NameSize);
    std::memmove(Values.data() + to * ValueSize, Values.data() + from * ValueSize,
                 count * ValueSize);
}

bool VariableTable::SetVariable(std::string_view name, std::string_view value) {
    if (name.size() > MaxNameLength) {
        return false;
    }
    std::string storedName = StoredName(name);
    std::size_t needed = SlotsNeeded(value.size());
    std::size_t slot = Find(storedName);
    bool isNew = slot == Slots;
    if (isNew) {
        if (Count + needed > MaxSlotsInUse) {
            return false;
        }
        slot = Count;
        Count = static_cast<std::uint16_t>(Count + needed);
    } else {
        std::size_t held = SlotsOf(slot);
        // Growing an existing variable obeys the same limit as a new one, so the
        // later variables can never be pushed past the arrays.
        if (needed > held && Count + (needed - held) > MaxSlotsInUse) {
            return false;
        }
        if (needed != held) {
            std::size_t oldCount = Count;
            MoveSlots(slot + held, slot + needed);
            Count = static_cast<std::uint16_t>(Count + needed - held);
            if (Count < oldCount) {
                std::fill(Names.begin() + Count * NameSize, Names.begin() + oldCount * NameSize,
                          '\0');
                std::fill(Values.begin() + Count * ValueSize, Values.begin() + oldCount * ValueSize,
                          '\0');
            }
        }
    }
    // An existing variable keeps its name as first written; only its continuation
    // slots are cleared.
    char* nameField = Names.data() + slot * NameSize;
    if (isNew) {
        std::fill(nameField, nameField + NameSize, '\0');
        std::copy(storedName.begin(), storedName.end(), nameField);
    }
    std::fill(nameField + NameSize, nameField + needed * NameSize, '\0');
    char* valueField = Values.data() + slot * ValueSize;
    std::fill(valueField, valueField + needed * ValueSize, '\0');
    std::copy(value.begin(), value.end(), valueField);
    return true;
}

std::string VariableTable::GetVariable(std::string_view name, MissingVariable missing) {
    if (name.size() <= MaxNameLength) {
        std::size_t slot = Find(StoredName(name));
        if (slot != Slots) {
            return std::string(SlotValue(slot));
        }
    }
    if (missing == MissingVariable::CreateEmpty) {
        SetVariable(name, {});
    }
    return {};
}

// The text is scanned from the left for "%". Where a name (slot order, ignoring case,
// over the name's own length) matches, the value replaces it and the scan goes on
// after the value, so inserted text is never expanded again. Where none matches, the
// text from this "%" to the next "%" (or the end) is deleted and the scan looks at the
// same place again. The scan keeps the done part (`out`) and the rest of the source
// still to scan; together they never exceed size - 1 characters, and what an
// insertion pushes past that limit is lost for good, as in one fixed buffer.
std::string VariableTable::Expand(std::string_view source, std::size_t size) const {
    std::size_t limit = size == 0 ? 0 : size - 1;
    std::string_view rest = source.substr(0, std::min(source.size(), limit));
    std::string out;
    out.reserve(rest.size());
    for (;;) {
        std::size_t percent = rest.find('%');
        if (percent == std::string_view::npos) {
            out += rest;
            return out;
        }
        out += rest.substr(0, percent);
        rest.remove_prefix(percent);
        std::size_t slot = 0;
        for (; slot < Count; ++slot) {
            std::string_view slotName = SlotName(slot);
            if (!slotName.empty() && platform::StartsWithIgnoringCase(rest, slotName)) {
                break;
            }
        }
        if (slot == Count) {
            std::size_t closing = rest.find('%', 1);
            rest.remove_prefix(closing == std::string_view::npos ? rest.size() : closing + 1);
            continue;
        }
        rest.remove_prefix(SlotName(slot).size());
        std::string_view value = SlotValue(slot);
        out += value.substr(0, std::min(value.size(), limit - out.size()));
        rest = rest.substr(0, std::min(rest.size(), limit - out.size()));
    }
}

void VariableTable::FillPredefined(const PredefinedVariables& values) {
    Clear();
    SetVariable("CMDLINE", values.CommandLine);
    SetVariable("LANG", values.Language);
    SetVariable("", "%");
    SetVariable("WIN", values.WindowsDirectory);
    SetVariable("SYS", values.SystemDirectory);
    SetVariable("SYS32", values.System32Directory);
    SetVariable("TEMP", values.TempDirectory);
    SetVariable("INST", values.SetupDirectory);
    SetVariable("FONTS", values.FontsDirectory);
    SetVariable("DISK_NUMBER", "1");
}

void VariableTable::Clear() {
    Names.fill('\0');
    Values.fill('\0');
    Count = 0;
}

void VariableTable::SetSlotsInUse(std::uint32_t count) {
    Count = static_cast<std::uint16_t>(std::min<std::uint32_t>(count, Slots));
}

} // namespace vorn
