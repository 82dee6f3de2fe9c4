// What the interpreter needs from the rest of the engine and from the machine: the
// run's window and flags, the log, temporary files and path forms. The engine's run
// lifecycle implements these over the setup program's context block; tests use fakes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class LibraryService;
class MachineServices;
} // namespace platform

namespace vorn {

class BoxPresenter;
struct InstallContext;

/// The run as the setup program and the engine's windows see it.
class EngineHost {
public:
    virtual ~EngineHost() = default;
    /// True once the abort flag or the error code of the run is set.
    virtual bool RunStopped() const = 0;
    /// Sets the abort flag.
    virtual void SetAbortFlag() = 0;
    /// The silent flag: engine message boxes answer OK (Yes) without showing.
    virtual bool Silent() const = 0;
    virtual std::uintptr_t MainWindow() const = 0;
    /// The owner of a message box whose caller names none: the active engine dialog,
    /// else the progress window when one is open, else the main window.
    virtual std::uintptr_t DefaultBoxOwner() const = 0;
    /// Runs after every record: UpdateWindow of the main window and UpdateScreen(0).
    virtual void AfterRecord() = 0;
    virtual void CloseProgressWindow() = 0;
};

/// The run's installation log as the interpreter and library functions use it; the run
/// lifecycle implements it over the log writer.
class EngineLog {
public:
    virtual ~EngineLog() = default;
    /// Writes the text as it is, without a line end, when a log is open and logging
    /// is not paused; otherwise does nothing.
    virtual void AddText(std::string_view text) = 0;
    /// The open log file's handle as library functions receive it; -1 when none is open.
    virtual std::intptr_t FileHandle() const = 0;
    /// Opcode 30: flags 1 pause logging, 0 resume it; any other value closes the log
    /// (appending it to its final file) and opens a new one whose final file is `path`.
    virtual void SetLogFile(std::uint8_t flags, std::string_view path) = 0;
    /// The log's final file becomes `path` when the installation names none; the file
    /// installer offers the folder of the first file it installs.
    virtual void UseLogPathWhenNone(std::string_view /*path*/) {}
};

/// New temporary files (GetTempFileNameA with a unique number).
class TempFileMaker {
public:
    virtual ~TempFileMaker() = default;
    /// Creates a new empty file named prefix + number + ".TMP" in `directory` and
    /// returns its full path; empty when no file could be created.
    virtual std::string CreateTempFile(std::string_view directory, std::string_view prefix) = 0;
};

/// Long and short forms of paths (GetLongPathNameA, GetShortPathNameA).
class PathForms {
public:
    virtual ~PathForms() = default;
    /// The path unchanged when it has no other form or does not exist.
    virtual std::string LongPathForm(std::string_view path) = 0;
    virtual std::string ShortPathForm(std::string_view path) = 0;
};

/// The services an engine works with; all outlive it.
struct EngineServices {
    EngineHost& Host;
    platform::LibraryService& Libraries;
    BoxPresenter& Boxes;
    EngineLog& Log;
    TempFileMaker& TempFiles;
    /// Null until a file service is there; path forms then leave paths unchanged.
    PathForms* Paths = nullptr;
    /// The machine the actions change (files, versions, registry, programs) and the
    /// setup program's context block (archive offsets, progress counter, options). Null
    /// in tests of the interpreter alone; the actions that need them are not run there.
    platform::MachineServices* Machine = nullptr;
    InstallContext* Context = nullptr;
};

} // namespace vorn
