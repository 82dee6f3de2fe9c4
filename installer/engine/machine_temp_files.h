// New temporary files on the machine, through its GetTempFileNameA.
#pragma once

#include "engine_services.h"

namespace platform {
class FileService;
}

namespace vorn {

class MachineTempFiles final : public TempFileMaker {
public:
    explicit MachineTempFiles(platform::FileService& files) : Files(files) {}
    std::string CreateTempFile(std::string_view directory, std::string_view prefix) override;

private:
    platform::FileService& Files;
};

} // namespace vorn
