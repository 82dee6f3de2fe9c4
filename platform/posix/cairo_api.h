// The one place the cairo and fontconfig headers come in.
#pragma once

#include <cairo.h>
#include <fontconfig/fontconfig.h>
