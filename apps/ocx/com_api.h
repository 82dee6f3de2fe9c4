// The one place the OLE and automation headers come in for the COM server.
#pragma once

// Before Windows' headers, which make macros of names it declares (HKEY_CLASSES_ROOT).
#include "platform/registry.h"
#include "platform/win32/win32_api.h"

#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
