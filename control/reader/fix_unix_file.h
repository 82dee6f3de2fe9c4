// Line-end conversion for DXF files written with bare line feeds.
#pragma once

#include "platform/screen.h"

#include <string>

namespace plandra {

/// Copies `InFileName` to `OutFileName` with every bare line feed turned into a
/// carriage return / line feed pair, and one more pair at the end. Returns True with
/// an empty `strError`, or False with the message in `strError`.
bool FixUNIXFile(std::string& strError, std::string InFileName, std::string OutFileName,
                 platform::Screen& screen);

} // namespace plandra
