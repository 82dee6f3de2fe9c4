// An output file that takes the place of its target only once it is whole.
#include "replacing_file.h"

#include "control/database/control_error.h"
#include "platform/file_replace.h"

#include <cstdio>
#include <utility>

namespace plandra {

ReplacingFile::ReplacingFile(std::string target)
    : Target(std::move(target)), Temporary(platform::CreateFileBeside(Target)) {
    if (Temporary.empty()) {
        throw ControlError::Runtime(RuntimeError::PathFileAccess);
    }
    File.Reset(std::fopen(Temporary.c_str(), "wb"));
    if (!File) {
        platform::RemoveFile(Temporary);
        throw ControlError::Runtime(RuntimeError::PathFileAccess);
    }
    Pending.reserve(FlushSize + 4096);
}

ReplacingFile::~ReplacingFile() {
    if (!Temporary.empty()) {
        File.Reset();
        platform::RemoveFile(Temporary);
    }
}

void ReplacingFile::Flush() {
    if (!Pending.empty() &&
        std::fwrite(Pending.data(), 1, Pending.size(), File.Get()) != Pending.size()) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
    Pending.clear();
}

void ReplacingFile::Commit() {
    Flush();
    if (std::fclose(File.Release()) != 0) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
    if (!platform::ReplaceFileWith(Temporary, Target)) {
        throw ControlError::Runtime(RuntimeError::PathFileAccess);
    }
    Temporary.clear();
}

} // namespace plandra
