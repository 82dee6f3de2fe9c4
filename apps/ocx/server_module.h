// What the whole server shares: its module, the count of live objects and locks that
// decides DllCanUnloadNow, and the type library read from its own resources.
#pragma once

#include "com_api.h"

#include <string>

namespace plandra::ocx {

HINSTANCE ModuleInstance();
/// The full path of Plandra.ocx.
std::wstring ModulePath();

/// Every COM object of the server counts itself while it lives; LockServer counts too.
void AddServerReference();
void ReleaseServerReference();
bool ServerInUse();

/// The type information of one interface or class of PlandraOCX (a new reference),
/// or an error when the type library cannot be loaded.
HRESULT TypeInfoOf(const GUID& guid, ITypeInfo** typeInfo);

} // namespace plandra::ocx
