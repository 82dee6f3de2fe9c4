// The script interpreter: runs action records in order, skips blocks whose condition
// is false, repeats loops, and handles the records of the interpreter itself.
#pragma once

#include "engine.h"

namespace vorn {

/// Results of RunActions and of every action.
namespace run {
/// Go on (from RunActions: call again).
inline constexpr int Continue = 0;
inline constexpr int Finished = -1;
inline constexpr int Aborted = -2;
} // namespace run

/// Runs records from the current position until a loop jump or a run of filler bytes
/// (0: call again), the end of the script (-1) or an abort (-2). An invalid opcode, a
/// record running past the end of the script or a loop nesting deeper than 32 shows
/// message 7 and aborts.
int RunActions(Engine& engine);

/// How SkipBlock ended.
enum class SkipEnd {
    /// At the matching else or end record; execution goes on after it.
    ElseOrEnd,
    /// The script ended first: the run is finished.
    EndOfScript,
    /// A record that is not valid or runs past the end of the script.
    BrokenScript,
};

/// Skips from the current record (which opens a block, or is an else) to the matching
/// else or end record, leaving the position there.
SkipEnd SkipBlock(Engine& engine);

/// True for the records that open a block: opcode 3 with flag bit 0, opcode 9 in its
/// if and while forms, opcode 12.
bool OpensBlock(const ActionRecord& record);

/// Ends the run because of a broken script: message 7 under the error title; -2.
int AbortBrokenScript(Engine& engine);

/// Ends the run as aborted: sets the abort flag; -2.
int AbortRun(Engine& engine);

/// The result of an action that skipped a block, as an action's result.
int AfterSkip(Engine& engine, SkipEnd end);

} // namespace vorn
