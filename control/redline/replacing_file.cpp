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

void ReplacingFile::WriteThrough(std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), File.Get()) != bytes.size()) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
}

void ReplacingFile::Flush() {
    WriteThrough(Pending);
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
