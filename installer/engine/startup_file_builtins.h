// The engine's built-in functions that edit start-up and other text files, and those
// that test, read and change single files: f0 (search path), f1 (AUTOEXEC.BAT), f2
// (CONFIG.SYS), f3 (a device line of SYSTEM.INI), f15 (bytes at an offset), f19 (a path
// condition), f20 (file attributes), f21 (FILES and BUFFERS), f25 (any text file) and
// f33 (a text file read one line per call).
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// f0: adds the directory (the whole argument) to the search path: the system's "Path"
/// on Windows NT, the path lines of AUTOEXEC.BAT elsewhere.
std::int32_t f0(Engine& engine, const DllCallBlock& block);
/// f1, f2: edit AUTOEXEC.BAT and CONFIG.SYS of the boot drive. Fields: flags, search
/// text, new line, comment text, line number.
std::int32_t f1(Engine& engine, const DllCallBlock& block);
std::int32_t f2(Engine& engine, const DllCallBlock& block);
/// f3: makes sure SYSTEM.INI loads a device: a "device=" line in "[386Enh]".
std::int32_t f3(Engine& engine, const DllCallBlock& block);
/// f15: reads or writes bytes of a file at an offset. Fields: flags, file, variable,
/// offset, length.
std::int32_t f15(Engine& engine, const DllCallBlock& block);
/// f19: tests a condition on a path, showing a text when it holds. Fields: flags, path,
/// message text, title.
std::int32_t f19(Engine& engine, const DllCallBlock& block);
/// f20: sets the attributes of the files matching a path. Fields: flags, path.
std::int32_t f20(Engine& engine, const DllCallBlock& block);
/// f21: raises FILES and BUFFERS of CONFIG.SYS to minimums. Fields: files, buffers.
std::int32_t f21(Engine& engine, const DllCallBlock& block);
/// f25: edits any text file. Fields: flags, file, then as f1.
std::int32_t f25(Engine& engine, const DllCallBlock& block);
/// f33: the next line of a text file into a variable, false at its end. Fields: flags,
/// variable, file, then the state the function keeps in the script's own argument text.
std::int32_t f33(Engine& engine, const DllCallBlock& block);

} // namespace vorn
