// What `vornlog` prints about a read installation log: a text listing or one JSON object.
#pragma once

#include "installer/log/install_log_reader.h"

#include <iosfwd>

namespace vorn::cli {

void WriteLogText(std::ostream& out, const InstallLog& log);
void WriteLogJson(std::ostream& out, const InstallLog& log);

} // namespace vorn::cli
