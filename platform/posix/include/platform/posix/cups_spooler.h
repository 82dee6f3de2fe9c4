// The print queues of CUPS, through libcups loaded when first needed, so that a machine
// without CUPS runs everything else and is told why it cannot print.
#pragma once

#include "platform/library.h"
#include "platform/print_spooler.h"

namespace platform {

/// An empty printer name is CUPS's default queue.
class CupsSpooler final : public PrintSpooler {
public:
    /// Loads libcups through `libraries` on the first job.
    explicit CupsSpooler(LibraryService& libraries) : Libraries(libraries) {}
    /// Leaves libcups loaded: its threads and caches outlive its jobs, and unloading
    /// it would leave them pointing into nothing.
    ~CupsSpooler() override { static_cast<void>(Cups.Release()); }
    CupsSpooler(const CupsSpooler&) = delete;
    CupsSpooler& operator=(const CupsSpooler&) = delete;

    int PrintFile(std::string_view printer, std::string_view fileName,
                  std::string_view title) override;
    std::string LastError() const override { return Error; }

private:
    using PrintFileEntry = int (*)(const char*, const char*, const char*, int, void*);
    using TextEntry = const char* (*)();

    bool Load();

    LibraryService& Libraries;
    UniqueLibrary Cups;
    PrintFileEntry CupsPrintFile = nullptr;
    TextEntry CupsLastErrorString = nullptr;
    TextEntry CupsGetDefault = nullptr;
    std::string Error;
};

} // namespace platform
