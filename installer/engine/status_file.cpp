// The status file.
#include "status_file.h"

#include "engine.h"
#include "platform/files.h"
#include "script_header.h"

namespace vorn {

bool WriteStatusFile(Engine& engine, platform::FileService& files, const ScriptHeader& header,
                     std::string_view windowsDirectory, const LocalDateTime& now,
                     const RunOutcome& outcome) {
    VariableTable& variables = engine.Variables;
    std::string name = variables.Expand(header.StatusFileName, PathSize);
    if (name.empty()) {
        return true;
    }
    variables.SetVariable("1", variables.Expand(header.Manufacturer, PathSize));
    variables.SetVariable("2", variables.Expand(header.Product, PathSize));
    variables.SetVariable("3", variables.Expand(header.VersionNumber, PathSize));
    variables.SetVariable("4", variables.Expand(header.SerialNumber, PathSize));
    variables.SetVariable("5", DateTimeText(now));
    variables.SetVariable("6", outcome.Success ? "Success" : "Failed");
    variables.SetVariable("7", outcome.Message);
    std::string content = variables.Expand(header.StatusFileTemplate, LongTextSize);

    std::string path = std::string(windowsDirectory) + "\\" + name;
    platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericWrite, 0,
                                                platform::file::CreateAlways,
                                                platform::file::AttributeNormal),
                              platform::FileCloser{&files});
    if (!file) {
        return false;
    }
    std::uint32_t written = 0;
    return files.WriteFile(file.Get(), std::span<const char>(content), written) &&
           written == content.size();
}

} // namespace vorn
