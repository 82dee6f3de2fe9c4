// The status (MIF) file: a DMTF component with the product's identity and the job's
// outcome.
#include "status_file.h"

#include "log_model.h"
#include "platform/files.h"
#include "platform/system_info.h"

namespace rescind {

namespace {

std::string Attribute(std::string_view name, int id, std::string_view value) {
    return "      START ATTRIBUTE\r\n        NAME = \"" + std::string(name) +
           "\"\r\n        ID = " + std::to_string(id) +
           "\r\n        ACCESS = READ-ONLY\r\n        STORAGE = SPECIFIC\r\n"
           "        TYPE = STRING(255)\r\n        VALUE = \"" +
           std::string(value) + "\"\r\n      END ATTRIBUTE\r\n";
}

std::string BuiltInTemplate() {
    return "START COMPONENT\r\n  NAME = \"WORKSTATION\"\r\n"
           "    START GROUP\r\n      NAME = \"ComponentID\"\r\n      ID = 1\r\n"
           "      CLASS = \"DMTF|ComponentID|1.0\"\r\n" +
           Attribute("Manufacturer", 1, "%1%") + Attribute("Product", 2, "%2%") +
           Attribute("Version", 3, "%3%") + Attribute("Serial Number", 4, "%4%") +
           Attribute("%5%", 5, "%6%") +
           "    END GROUP\r\n    START GROUP\r\n      NAME = \"%5%Status\"\r\n      ID = 2\r\n"
           "      CLASS = \"MICROSOFT|JOBSTATUS|1.0\"\r\n" +
           Attribute("Status", 1, "%7%") + Attribute("Description", 2, "%8%") +
           "    END GROUP\r\nEND COMPONENT\r\n";
}

} // namespace

std::string StatusFileText(const ItemLists& lists, const RemovalReport& report,
                           const StringTable& strings, std::string_view dateTime) {
    std::string text = strings.Text(text::StatusTemplate);
    text = text.empty() ? BuiltInTemplate() : ReplaceAll(std::move(text), "^", "\r\n");
    const bool failed = report.Cancelled || report.Aborted;
    const std::string values[] = {lists.Info.Manufacturer,
                                  lists.Info.Product,
                                  lists.Info.VersionNumber,
                                  lists.Info.SerialNumber,
                                  report.RolledBack ? "Rollback" : "Uninstall",
                                  std::string(dateTime),
                                  failed ? "Failed" : "Success",
                                  failed ? "Canceled by user" : ""};
    // One pass, so a value that holds "%5%" is not replaced again.
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '8' &&
            text[i + 2] == '%') {
            result += values[text[i + 1] - '1'];
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

bool WriteStatusFile(const ItemLists& lists, const RemovalReport& report,
                     const UninstallServices& services, const StringTable& strings,
                     std::string_view dateTime) {
    const std::string& name = lists.Info.Mif;
    if (name.empty()) {
        return false;
    }
    const std::string windows = platform::ReadSystemText(
        [&](std::span<char> buffer) { return services.System.GetWindowsDirectoryA(buffer); });
    const std::string path = windows + (windows.ends_with("\\") ? "" : "\\") + std::string(name);
    if (name.find_first_of("\\/:*?") != std::string::npos || !IsSafeMachinePath(path)) {
        return false;
    }
    const std::string text = StatusFileText(lists, report, strings, dateTime);
    platform::UniqueFile file(services.Files.CreateFileA(path, platform::file::GenericWrite, 0,
                                                         platform::file::CreateAlways, 0),
                              {&services.Files});
    std::uint32_t written = 0;
    return file && services.Files.WriteFile(file.Get(), text, written) && written == text.size();
}

} // namespace rescind
