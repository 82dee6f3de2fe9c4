// Files kept in separately stored library files: each library is fetched through the
// transfer library into a "KTL" temporary file, checked against the archive identifier
// and decompressed from there.
#pragma once

#include "file_installation.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

/// The low 14 bits of a library file's record start field are its library number.
inline constexpr std::uint32_t LibraryNumberMask = 0x3FFF;

/// The library's name: the header's base name followed by `number` as three base-36
/// characters ("0"-"9", then "a"-"z"), most significant first.
std::string LibraryFileName(std::string_view baseName, std::uint32_t number);

/// Whether the record's data lies in a library file: the context asks for library files
/// and the record neither comes from the main archive nor from outside.
bool FromLibraryFile(Engine& engine, const InstallFileRecord& record);

/// The test a library file passes before it is fetched: the destination already has the
/// record's content (same size and checksum), or, with the version compare asked for, a
/// version the record's is not newer than.
bool AlreadyInstalled(Engine& engine, const InstallFileRecord& record,
                      const std::string& destination);

/// Decompresses the record's data from its library file into `temp`, fetching the library
/// first unless it was the one fetched last. 1 done; 0 when the run stops on its own
/// (abort flag, error code); -2 after an error was shown (the copy or the fetch failed,
/// a library whose identifier is not the archive's).
int ExtractFromLibrary(Engine& engine, const InstallFileRecord& record, const std::string& temp);

/// Deletes the copy of the library fetched last (the run's end).
void DropLibraryCopy(Engine& engine);

} // namespace vorn
