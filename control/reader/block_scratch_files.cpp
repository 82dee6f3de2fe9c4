// Creating, writing, reading back and deleting block scratch files.
#include "block_scratch_files.h"

#include "control/database/control_error.h"
#include "platform/folders.h"

#include <cerrno>

namespace plandra {

namespace {

// The folder as the setting holds it, the running number and ".TMP".
std::string ScratchFileName(std::string_view folder, Long number) {
    return platform::NativePath(std::string(folder) + std::to_string(number) + ".TMP");
}

} // namespace

BlockScratchFiles::BlockScratchFiles(DrawingDatabase& database, DrawingOptions& options)
    : Database(database), Options(options), Files(1) {}

BlockScratchFiles::~BlockScratchFiles() {
    DeleteAll();
}

std::string BlockScratchFiles::CreateForNewBlock() {
    CloseOpenBlock();
    const Long number = ++Database.BlockFileCounter;
    std::string name = ScratchFileName(Options.TmpFileNamePath, number);
    FileHandle file(std::fopen(name.c_str(), "wb"));
    if (!file) {
        if (errno != ENOENT && errno != ENOTDIR) {
            throw ControlError::Runtime(RuntimeError::PathFileAccess);
        }
        // The folder does not exist: the fallback folder takes its place for good.
        Options.TmpFileNamePath = platform::FallbackTempFolder();
        name = ScratchFileName(Options.TmpFileNamePath, number);
        file.Reset(std::fopen(name.c_str(), "wb"));
        if (!file) {
            throw ControlError::Runtime(errno == ENOENT ? RuntimeError::PathNotFound
                                                        : RuntimeError::PathFileAccess);
        }
    }
    const Long block = Database.BlockCount;
    if (static_cast<std::size_t>(block) >= Files.size()) {
        Files.resize(static_cast<std::size_t>(block) + 1);
    }
    Files[static_cast<std::size_t>(block)] = BlockFile{name, std::nullopt};
    Open = std::move(file);
    OpenBlockNumber = block;
    return name;
}

void BlockScratchFiles::Write(const ScratchRecord& record) {
    if (Open) {
        WriteTo(Open.Get(), record);
    }
}

void BlockScratchFiles::WriteTo(std::FILE* file, const ScratchRecord& record) {
    std::string text = FormatScratchRecord(record);
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        throw ControlError::Runtime(RuntimeError::DiskFull);
    }
}

void BlockScratchFiles::CloseOpenBlock() {
    if (Open) {
        FileHandle closing = std::move(Open);
        if (std::fclose(closing.Release()) != 0) {
            throw ControlError::Runtime(RuntimeError::DiskFull);
        }
    }
    OpenBlockNumber = 0;
}

BlockScratchFiles::BlockFile& BlockScratchFiles::FileOf(Long block) {
    if (block < 1 || static_cast<std::size_t>(block) >= Files.size() ||
        Files[static_cast<std::size_t>(block)].Name.empty()) {
        throw ControlError::Runtime(RuntimeError::FileNotFound);
    }
    return Files[static_cast<std::size_t>(block)];
}

const std::vector<ScratchRecord>& BlockScratchFiles::Records(Long block) {
    BlockFile& file = FileOf(block);
    if (!file.Cached) {
        file.Cached = ReadScratchFile(file.Name);
    }
    return *file.Cached;
}

void BlockScratchFiles::AppendToBlock(Long block, const std::vector<ScratchRecord>& records) {
    BlockFile& target = FileOf(block);
    target.Cached.reset();
    if (block == OpenBlock()) {
        for (const ScratchRecord& record : records) {
            WriteTo(Open.Get(), record);
        }
        return;
    }
    FileHandle file(std::fopen(target.Name.c_str(), "ab"));
    if (!file) {
        throw ControlError::Runtime(RuntimeError::PathFileAccess);
    }
    for (const ScratchRecord& record : records) {
        WriteTo(file.Get(), record);
    }
}

void BlockScratchFiles::DeleteAll() {
    Open.Reset();
    OpenBlockNumber = 0;
    for (BlockFile& file : Files) {
        if (!file.Name.empty()) {
            std::remove(file.Name.c_str());
        }
        file = BlockFile{};
    }
    for (Long i = 1; i <= Database.BlockCount && i <= Database.Blocks.UpperBound(); ++i) {
        Database.Blocks[i].FileName.Assign("");
    }
}

} // namespace plandra
