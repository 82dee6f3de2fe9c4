// The one place the Windows headers come in, lean and without min/max macros.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// The shell's calls, which the lean set leaves out; it needs windows.h first.
#include <shellapi.h>
