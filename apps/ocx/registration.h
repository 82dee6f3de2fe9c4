// The keys Plandra.ocx writes under HKEY_CLASSES_ROOT and takes away again.
#pragma once

#include "com_api.h"

#include <string>

namespace plandra::ocx {

/// Writes the class (with its ProgID and control keys), the type library and its
/// interfaces for the server at `serverPath`. Stops at the first failure, with its
/// HRESULT.
HRESULT RegisterServer(const std::wstring& serverPath);

/// Removes exactly the keys RegisterServer writes (each under our own identifiers);
/// keys already gone are no failure.
HRESULT UnregisterServer();

} // namespace plandra::ocx
