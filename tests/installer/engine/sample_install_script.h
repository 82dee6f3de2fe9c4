// A small installation script for whole runs of the engine: a variable from the answer
// file, a loop, a condition, log records, then the finish and cancel sections.
#pragma once

#include "installer/engine/script_header.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

class ScriptBuilder;

/// Separates the fields of a set-variable call's argument.
inline constexpr char Sep = '\x7F';

/// The header: log at C:\APP\INSTALL.LOG, status file PLANDRA.MIF, one language.
ScriptHeader SampleHeader();

struct SampleScript {
    std::vector<std::uint8_t> Bytes;
    std::uint32_t Finish = 0;
    std::uint32_t Cancel = 0;
    int MainRecords = 0;
};

/// The script with its header. Each run logs "Made Dir" records: C:\APP\<USER from the
/// answer file>, D1, D2 (the loop), TWO (the condition), then FINISH, or CANCEL when the
/// run is aborted. `cancelAt` puts a call that aborts the run before that record of the
/// main part.
SampleScript BuildSample(int cancelAt = -1);

/// A whole script: `header` followed by the records `records` builds.
std::vector<std::uint8_t> WithHeader(const ScriptHeader& header, const ScriptBuilder& records);

} // namespace vorn
