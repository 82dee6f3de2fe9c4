// Helpers for the installation log tests: log text from lines, file records, and the
// shared temporary files and folders.
#pragma once

#include "installer/log/log_records.h"
#include "support/temp_file.h"

#include <string>

namespace vorn::test {

using plandra::test::CrLfLines;
using plandra::test::ReadFileText;
using plandra::test::WriteFileText;
/// A folder in the temporary directory, removed with everything in it when the object goes.
using ScratchDirectory = plandra::test::TempFolder;

/// A log of one section as the engine starts it, followed by `records`.
inline std::string LogWith(std::initializer_list<std::string_view> records) {
    return CrLfLines({"***  Installation Started 05/06/24 9:07  ***", "Title: Plandra",
                      "Source: C:\\SETUP\\SETUP.EXE"}) +
           CrLfLines(records);
}

/// A file record, all of whose fields need not be spelled out.
inline FileRecord File(FileRecordKind kind, std::string path, std::string backup = {},
                       bool nonSystem = false, bool sharedCountIgnored = false) {
    return {kind, std::move(path), std::move(backup), nonSystem, sharedCountIgnored};
}

} // namespace vorn::test
