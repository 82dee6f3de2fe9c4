// Creating, writing, reading back and deleting block scratch files.
#include "block_scratch_files.h"

#include "control/database/control_error.h"
#include "platform/folders.h"

#include <array>
#include <cerrno>

namespace plandra {

namespace {

// Scratch files are written by this reader and hold a few records per entity of a
// block; a file larger than this did not come from it.
constexpr std::size_t MaxScratchBytes = 256u << 20;

} // namespace

BlockScratchFiles::BlockScratchFiles(DrawingDatabase& database, DrawingOptions& options,
                                     platform::FileService* files)
    : Database(database), Options(options), Files(files), OpenFiles(1) {}

BlockScratchFiles::~BlockScratchFiles() {
    DeleteAll();
}

// The folder as the setting holds it, the running number and ".TMP"; a host path in
// the host's own form.
std::string BlockScratchFiles::FileName(Long number) const {
    const std::string name = Options.TmpFileNamePath + std::to_string(number) + ".TMP";
    return Files != nullptr ? name : platform::NativePath(name);
}

BlockScratchFiles::Stream BlockScratchFiles::OpenStream(const std::string& name, bool append,
                                                        RuntimeError& error) {
    Stream stream;
    if (Files == nullptr) {
        stream.Stdio.Reset(std::fopen(name.c_str(), append ? "ab" : "wb"));
        if (!stream.Stdio) {
            error = errno == ENOENT || errno == ENOTDIR ? RuntimeError::PathNotFound
                                                        : RuntimeError::PathFileAccess;
        }
        return stream;
    }
    stream.Service = platform::UniqueFile(
        Files->CreateFileA(name, platform::file::GenericWrite, 0,
                           append ? platform::file::OpenExisting : platform::file::CreateAlways,
                           platform::file::AttributeNormal),
        platform::FileCloser{Files});
    if (!stream.Service) {
        const std::uint32_t cause = Files->GetLastError();
        error = cause == platform::winerror::PathNotFound ? RuntimeError::PathNotFound
                : cause == platform::winerror::DiskFull   ? RuntimeError::DiskFull
                                                          : RuntimeError::PathFileAccess;
    } else if (append &&
               Files->SetFilePointer(stream.Service.Get(), 0, nullptr, platform::file::End) ==
                   platform::file::InvalidSetFilePointer) {
        error = RuntimeError::PathFileAccess;
        stream = Stream{};
    }
    return stream;
}

std::string BlockScratchFiles::CreateForNewBlock() {
    CloseOpenBlock();
    const Long number = ++Database.BlockFileCounter;
    std::string name = FileName(number);
    RuntimeError error = RuntimeError::PathFileAccess;
    Stream file = OpenStream(name, false, error);
    if (!file) {
        if (error != RuntimeError::PathNotFound) {
            throw ControlError::Runtime(error);
        }
        // The folder does not exist: the fallback folder takes its place for good.
        Options.TmpFileNamePath = Files != nullptr ? "C:\\" : platform::FallbackTempFolder();
        name = FileName(number);
        file = OpenStream(name, false, error);
        if (!file) {
            throw ControlError::Runtime(error);
        }
    }
    const Long block = Database.BlockCount;
    if (static_cast<std::size_t>(block) >= OpenFiles.size()) {
        OpenFiles.resize(static_cast<std::size_t>(block) + 1);
    }
    OpenFiles[static_cast<std::size_t>(block)] = BlockFile{name, std::nullopt};
    Open = std::move(file);
    OpenBlockNumber = block;
    return name;
}

void BlockScratchFiles::Write(const ScratchRecord& record) {
    if (Open) {
        WriteTo(Open, record);
    }
}

void BlockScratchFiles::WriteTo(Stream& file, const ScratchRecord& record) {
    const std::string text = FormatScratchRecord(record);
    std::uint32_t written = 0;
    const bool done =
        file.Stdio ? std::fwrite(text.data(), 1, text.size(), file.Stdio.Get()) == text.size()
                   : Files->WriteFile(file.Service.Get(), text, written) && written == text.size();
    if (!done) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
}

void BlockScratchFiles::CloseOpenBlock() {
    if (Open) {
        Stream closing = std::move(Open);
        const bool closed = closing.Stdio ? std::fclose(closing.Stdio.Release()) == 0
                                          : Files->CloseHandle(closing.Service.Release());
        if (!closed) {
            throw ControlError::Runtime(RuntimeError::DiskFull);
        }
    }
    OpenBlockNumber = 0;
}

BlockScratchFiles::BlockFile& BlockScratchFiles::FileOf(Long block) {
    if (block < 1 || static_cast<std::size_t>(block) >= OpenFiles.size() ||
        OpenFiles[static_cast<std::size_t>(block)].Name.empty()) {
        throw ControlError::Runtime(RuntimeError::FileNotFound);
    }
    return OpenFiles[static_cast<std::size_t>(block)];
}

std::vector<ScratchRecord> BlockScratchFiles::ReadBack(const std::string& name) {
    if (Files == nullptr) {
        return ReadScratchFile(name);
    }
    platform::UniqueFile file(
        Files->CreateFileA(name, platform::file::GenericRead, platform::file::ShareRead,
                           platform::file::OpenExisting, platform::file::AttributeNormal),
        platform::FileCloser{Files});
    if (!file) {
        throw ControlError::Runtime(RuntimeError::FileNotFound);
    }
    std::string text;
    std::array<char, 64 * 1024> chunk{};
    std::uint32_t read = 0;
    do {
        if (!Files->ReadFile(file.Get(), chunk, read) || text.size() > MaxScratchBytes) {
            throw ControlError::Runtime(RuntimeError::DeviceIOError);
        }
        text.append(chunk.data(), read);
    } while (read > 0);
    return ReadScratchText(text);
}

const std::vector<ScratchRecord>& BlockScratchFiles::Records(Long block) {
    BlockFile& file = FileOf(block);
    if (!file.Cached) {
        file.Cached = ReadBack(file.Name);
    }
    return *file.Cached;
}

void BlockScratchFiles::AppendToBlock(Long block, const std::vector<ScratchRecord>& records) {
    BlockFile& target = FileOf(block);
    target.Cached.reset();
    if (block == OpenBlock()) {
        for (const ScratchRecord& record : records) {
            WriteTo(Open, record);
        }
        return;
    }
    RuntimeError error = RuntimeError::PathFileAccess;
    Stream file = OpenStream(target.Name, true, error);
    if (!file) {
        throw ControlError::Runtime(error);
    }
    for (const ScratchRecord& record : records) {
        WriteTo(file, record);
    }
}

void BlockScratchFiles::DeleteAll() {
    Open = Stream{};
    OpenBlockNumber = 0;
    for (BlockFile& file : OpenFiles) {
        if (!file.Name.empty()) {
            if (Files != nullptr) {
                Files->DeleteFileA(file.Name);
            } else {
                std::remove(file.Name.c_str());
            }
        }
        file = BlockFile{};
    }
    for (Long i = 1; i <= Database.BlockCount && i <= Database.Blocks.UpperBound(); ++i) {
        Database.Blocks[i].FileName.Assign("");
    }
}

} // namespace plandra
