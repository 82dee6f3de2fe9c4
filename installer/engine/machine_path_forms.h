// Long and short forms of paths on the machine: the short form from GetShortPathNameA,
// the long form by looking up each name of the path in its folder.
#pragma once

#include "engine_services.h"

namespace platform {
class FileService;
}

namespace vorn {

class MachinePathForms final : public PathForms {
public:
    explicit MachinePathForms(platform::FileService& files) : Files(files) {}
    std::string LongPathForm(std::string_view path) override;
    std::string ShortPathForm(std::string_view path) override;

private:
    platform::FileService& Files;
};

} // namespace vorn
