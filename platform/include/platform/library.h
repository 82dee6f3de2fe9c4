// Libraries loaded at run time, with the Win32 names and meanings: LoadLibraryA,
// LoadLibraryExA, GetProcAddress, FreeLibrary.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace platform {

/// A loaded library (HMODULE); null when loading failed.
struct Module;
using ModuleHandle = Module*;

/// An exported entry (FARPROC); null when the library has no such export. Call it
/// through LibraryService::CallEntry, which knows the calling convention.
using ProcAddress = void (*)();

/// Flags of LoadLibraryExA, with their Win32 values.
namespace load {
/// Dependencies of the library are searched in its own directory first.
inline constexpr unsigned WithAlteredSearchPath = 0x8;
} // namespace load

class LibraryService {
public:
    virtual ~LibraryService() = default;

    /// Loads a library (or takes another reference to a loaded one); null on failure.
    virtual ModuleHandle LoadLibraryA(std::string_view fileName) = 0;
    /// As LoadLibraryA, with load:: flags.
    virtual ModuleHandle LoadLibraryExA(std::string_view fileName, unsigned flags) = 0;
    virtual ProcAddress GetProcAddress(ModuleHandle module, std::string_view procName) = 0;
    /// Drops one reference; the library is unloaded with its last one.
    virtual bool FreeLibrary(ModuleHandle module) = 0;
    /// The library of that name when it is loaded already, without taking a reference
    /// (GetModuleHandleA); null when it is not loaded or the loader cannot tell.
    virtual ModuleHandle GetModuleHandleA(std::string_view /*moduleName*/) { return nullptr; }

    /// Calls an export that takes one pointer and returns a 32-bit result, in the
    /// platform's standard calling convention (stdcall on 32-bit Windows).
    virtual std::int32_t CallEntry(ProcAddress entry, void* argument) = 0;
    /// Calls an export that takes nothing and returns a 32-bit result (DllRegisterServer,
    /// DllUnregisterServer, OleUninitialize). Loaders whose entries ignore a surplus
    /// argument may keep this default.
    virtual std::int32_t CallEntryWithoutArguments(ProcAddress entry) {
        return CallEntry(entry, nullptr);
    }
    /// Calls an export that takes up to five pointer-sized arguments and returns a 32-bit
    /// result (SQLConfigDataSource, DirectXSetup); more arguments are not called and give
    /// -1. This default calls in the C convention, which is the standard one everywhere
    /// but on 32-bit Windows, whose loader overrides it.
    virtual std::int32_t CallEntryWithArguments(ProcAddress entry,
                                                std::span<const std::uintptr_t> arguments) {
        using A = std::uintptr_t;
        const A* a = arguments.data();
        switch (arguments.size()) {
        case 0:
            return reinterpret_cast<std::int32_t (*)()>(entry)();
        case 1:
            return reinterpret_cast<std::int32_t (*)(A)>(entry)(a[0]);
        case 2:
            return reinterpret_cast<std::int32_t (*)(A, A)>(entry)(a[0], a[1]);
        case 3:
            return reinterpret_cast<std::int32_t (*)(A, A, A)>(entry)(a[0], a[1], a[2]);
        case 4:
            return reinterpret_cast<std::int32_t (*)(A, A, A, A)>(entry)(a[0], a[1], a[2], a[3]);
        case 5:
            return reinterpret_cast<std::int32_t (*)(A, A, A, A, A)>(entry)(a[0], a[1], a[2], a[3],
                                                                            a[4]);
        default:
            return -1;
        }
    }
};

/// Drops a library's reference through the service that loaded it.
struct LibraryTraits {
    using Handle = ModuleHandle;
    static constexpr Handle Null = nullptr;
    LibraryService* Libraries = nullptr;
    void Release(Handle module) { Libraries->FreeLibrary(module); }
};

/// Owns one reference to a library from LoadLibraryA or LoadLibraryExA.
using UniqueLibrary = UniqueHandle<LibraryTraits>;

/// The machine's own loader: dlopen on Linux, the Win32 loader on Windows. Defined
/// by the posix and win32 implementations (link platform_posix or platform_win32).
std::unique_ptr<LibraryService> MakeSystemLibraryService();

} // namespace platform
