// The variable table: the engine's named string variables, their %NAME% substitution,
// and the two parallel arrays that script-callable functions see directly.
#pragma once

#include "fixed_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

/// What GetVariable does with a name that has no variable.
enum class MissingVariable { GiveEmpty, CreateEmpty };

/// The values of the variables every run starts with, in slot order. Directories
/// have no trailing backslash.
struct PredefinedVariables {
    std::string CommandLine;
    std::string Language;
    std::string WindowsDirectory;
    std::string SystemDirectory;
    std::string System32Directory;
    std::string TempDirectory;
    std::string SetupDirectory;
    std::string FontsDirectory;
};

/// 250 slots of a 17-byte name and a 256-byte value, kept as two flat arrays so a
/// library function can be handed them (with the slot count) and edit them in place.
/// Names are stored with their percent signs ("%WIN%"); a value of 256 characters or
/// more runs on into continuation slots, whose names are empty.
class VariableTable {
public:
    static constexpr std::size_t Slots = 250;
    static constexpr std::size_t NameSize = 17;
    static constexpr std::size_t ValueSize = 256;
    /// A variable is never stored when the slots in use would exceed this.
    static constexpr std::size_t MaxSlotsInUse = 249;
    /// Characters of a name between its percent signs.
    static constexpr std::size_t MaxNameLength = NameSize - 2;

    /// Sets "%name%" (case-insensitive) to `value`, moving later variables so that it
    /// gets exactly length / 256 + 1 slots. Returns false, storing nothing, when the
    /// name is longer than 15 characters or the slots in use would exceed 249.
    bool SetVariable(std::string_view name, std::string_view value);

    /// The value of "%name%" (case-insensitive), or empty when there is none; with
    /// CreateEmpty a missing variable is made (empty) on the way.
    std::string GetVariable(std::string_view name,
                            MissingVariable missing = MissingVariable::GiveEmpty);

    /// `source` with every %NAME% replaced by its value, cut to size - 1 characters
    /// (see the .cpp for the scanning rules).
    std::string Expand(std::string_view source, std::size_t size) const;

    /// ExpandVariables(buffer, source, size): the expansion, cut to the buffer.
    template <std::size_t N>
    void ExpandVariables(FixedText<N>& buffer, std::string_view source) const {
        buffer.Assign(Expand(source, N));
    }

    /// Empties the table and sets the predefined variables in their slot order:
    /// CMDLINE, LANG, "%%" (a percent sign), WIN, SYS, SYS32, TEMP, INST, FONTS and
    /// DISK_NUMBER ("1").
    void FillPredefined(const PredefinedVariables& values);

    void Clear();

    std::uint16_t SlotsInUse() const { return Count; }
    /// Takes the slot count back from a library function; a count beyond the arrays
    /// is cut to their size.
    void SetSlotsInUse(std::uint32_t count);

    /// The name in a slot (empty for continuation and unused slots).
    std::string_view SlotName(std::size_t slot) const;
    /// The value starting at a slot, running on through its continuation slots.
    std::string_view SlotValue(std::size_t slot) const;

    /// The arrays as library functions see them: Slots × NameSize and Slots × ValueSize.
    char* NamesData() { return Names.data(); }
    char* ValuesData() { return Values.data(); }

private:
    /// The first slot whose stored name equals `storedName` ignoring case, or Slots.
    std::size_t Find(std::string_view storedName) const;
    /// Slots taken by the variable starting at `slot`: itself and its continuations.
    std::size_t SlotsOf(std::size_t slot) const;
    /// Moves slots [from, Count) to start at `to`, in both arrays.
    void MoveSlots(std::size_t from, std::size_t to);

    std::array<char, Slots * NameSize> Names{};
    std::array<char, Slots * ValueSize> Values{};
    std::uint16_t Count = 0;
};

} // namespace vorn
