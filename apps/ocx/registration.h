// The keys Plandra.ocx writes under HKEY_CLASSES_ROOT and takes away again.
#pragma once

#include "com_api.h"

#include <string>

namespace plandra::ocx {

/// For the whole machine (HKEY_CLASSES_ROOT) or for the user who registers
/// (HKEY_CURRENT_USER\Software\Classes, which HKEY_CLASSES_ROOT shows to that user).
enum class RegistrationScope { Machine, User };

/// Writes the class (with its ProgID and control keys), the type library and its
/// interfaces for the server at `serverPath`. Stops at the first failure, with its
/// HRESULT.
HRESULT RegisterServer(const std::wstring& serverPath,
                       RegistrationScope scope = RegistrationScope::Machine);

/// Removes exactly the keys RegisterServer writes (each under our own identifiers);
/// keys already gone are no failure.
HRESULT UnregisterServer(RegistrationScope scope = RegistrationScope::Machine);

} // namespace plandra::ocx
