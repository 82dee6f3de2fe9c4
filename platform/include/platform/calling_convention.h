// The calling convention of functions that cross a module boundary the way Windows
// programs expect: the engine's exports and the callbacks a setup program hands it.
// It is stdcall on 32-bit Windows and the platform's default everywhere else.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define PLATFORM_WINAPI __stdcall
#else
#define PLATFORM_WINAPI
#endif
