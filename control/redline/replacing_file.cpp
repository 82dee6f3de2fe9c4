// An output file that takes the place of its target only once it is whole.
#include "replacing_file.h"

#include "control/database/control_error.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace plandra {

namespace {

// The folder part of a machine path, for the new file beside the target.
std::string FolderOf(std::string_view target) {
    const auto separator = target.find_last_of("\\/");
    return separator == std::string_view::npos ? std::string(".")
                                               : std::string(target.substr(0, separator + 1));
}

} // namespace

ReplacingFile::ReplacingFile(std::string target, platform::FileService* files)
    : Target(std::move(target)), Files(files) {
    if (Files != nullptr) {
        if (Files->GetTempFileNameA(FolderOf(Target), "PLA", 0, Temporary) == 0) {
            Temporary.clear();
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
        Service = platform::UniqueFile(Files->CreateFileA(Temporary, platform::file::GenericWrite,
                                                          0, platform::file::CreateAlways,
                                                          platform::file::AttributeNormal),
                                       platform::FileCloser{Files});
        if (!Service) {
            Files->DeleteFileA(Temporary);
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
    } else {
        Temporary = platform::CreateFileBeside(Target);
        if (Temporary.empty()) {
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
        File.Reset(std::fopen(Temporary.c_str(), "wb"));
        if (!File) {
            platform::RemoveFile(Temporary);
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
    }
    Pending.reserve(FlushSize + 4096);
}

ReplacingFile::~ReplacingFile() {
    if (Temporary.empty()) {
        return;
    }
    if (Files != nullptr) {
        Service.Reset();
        Files->DeleteFileA(Temporary);
    } else {
        File.Reset();
        platform::RemoveFile(Temporary);
    }
}

void ReplacingFile::WriteThrough(std::string_view bytes) {
    if (Files == nullptr) {
        if (!bytes.empty() &&
            std::fwrite(bytes.data(), 1, bytes.size(), File.Get()) != bytes.size()) {
            throw ControlError::Runtime(RuntimeError::DiskFull);
        }
        return;
    }
    while (!bytes.empty()) {
        const std::string_view block = bytes.substr(0, std::min(bytes.size(), FlushSize));
        std::uint32_t written = 0;
        if (!Files->WriteFile(Service.Get(), block, written) || written != block.size()) {
            throw ControlError::Runtime(RuntimeError::DiskFull);
        }
        bytes.remove_prefix(block.size());
    }
}

void ReplacingFile::Flush() {
    WriteThrough(Pending);
    Pending.clear();
}

// The last buffered bytes reach the disk on closing, so a failed close is a failed write.
void ReplacingFile::Close() {
    const bool closed =
        Files != nullptr ? Files->CloseHandle(Service.Release()) : std::fclose(File.Release()) == 0;
    if (!closed) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
}

void ReplacingFile::Commit() {
    Flush();
    Close();
    const bool replaced = Files != nullptr ? Files->MoveFileExA(Temporary, Target.c_str(),
                                                                platform::file::MoveReplaceExisting)
                                           : platform::ReplaceFileWith(Temporary, Target);
    if (!replaced) {
        throw ControlError::Runtime(RuntimeError::PathFileAccess);
    }
    Temporary.clear();
}

} // namespace plandra
