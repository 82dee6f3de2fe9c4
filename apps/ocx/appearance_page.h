// The Appearance page as a COM property page (IPropertyPage), shown by a container's
// property frame for the controls it is given.
#pragma once

#include "com_api.h"

namespace plandra::ocx {

/// Creates a page and answers `iid` from it (the page class factory's part).
HRESULT CreateAppearancePage(REFIID iid, void** object);

} // namespace plandra::ocx
