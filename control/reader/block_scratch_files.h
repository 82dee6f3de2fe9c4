// The scratch files of one read: one per block definition, written while the
// block is read, read back (once, then kept in memory) by every INSERT of it, and
// deleted when the read ends, whether it succeeded or failed. They go through the
// machine's file service when the control has one, so its paths and faults reach them.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "platform/files.h"
#include "platform/stdio_file.h"
#include "scratch_records.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace plandra {

class BlockScratchFiles {
public:
    /// Without `files` the scratch files are the host's own, opened through the C
    /// library; with it, `TmpFileNamePath` is a folder of that machine and every
    /// failure of its calls raises the reader's own error ("Disk full" for a write).
    BlockScratchFiles(DrawingDatabase& database, DrawingOptions& options,
                      platform::FileService* files = nullptr);
    BlockScratchFiles(const BlockScratchFiles&) = delete;
    BlockScratchFiles& operator=(const BlockScratchFiles&) = delete;
    /// Closes and deletes every file still there.
    ~BlockScratchFiles();

    /// Creates (or empties) the file of the block just stored as block `BlockCount`,
    /// under the next running number, and keeps it open for its entities. A folder
    /// that does not exist is replaced by the fallback folder, which stays in the
    /// options. Returns the file's name.
    std::string CreateForNewBlock();

    /// Appends a record to the file of the block being defined.
    void Write(const ScratchRecord& record);

    /// Closes the file of the block being defined (ENDBLK); nothing when none is open.
    void CloseOpenBlock();

    /// The block whose definition is still being written, or 0.
    Long OpenBlock() const { return Open ? OpenBlockNumber : 0; }

    /// The records of a block's file in the order written; the file is read once and
    /// then served from memory until something is appended to it.
    const std::vector<ScratchRecord>& Records(Long block);

    /// Appends records to the file of a finished block (a pending insert's copy).
    void AppendToBlock(Long block, const std::vector<ScratchRecord>& records);

    /// Closes the open file, deletes every file and blanks the blocks' file names.
    void DeleteAll();

private:
    /// An open scratch file: a C stream, or a file of the file service.
    struct Stream {
        platform::UniqueStdioFile Stdio;
        platform::UniqueFile Service;
        explicit operator bool() const { return Stdio || Service; }
    };

    struct BlockFile {
        std::string Name;
        std::optional<std::vector<ScratchRecord>> Cached;
    };

    /// Creates (or, with `append`, opens at its end) the file; an empty stream and
    /// the error it raises when it cannot.
    Stream OpenStream(const std::string& name, bool append, RuntimeError& error);
    void WriteTo(Stream& file, const ScratchRecord& record);
    std::vector<ScratchRecord> ReadBack(const std::string& name);
    std::string FileName(Long number) const;
    BlockFile& FileOf(Long block);

    DrawingDatabase& Database;
    DrawingOptions& Options;
    platform::FileService* Files;
    /// By block number; index 0 unused. Full names, which the fixed-width field in
    /// the block table may have cut.
    std::vector<BlockFile> OpenFiles;
    Stream Open;
    Long OpenBlockNumber = 0;
};

} // namespace plandra
