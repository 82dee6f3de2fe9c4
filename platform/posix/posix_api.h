// The one place the POSIX loader header comes in.
#pragma once

#include <dlfcn.h>
