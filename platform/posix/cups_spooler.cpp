// CUPS print queues through libcups, loaded at run time.
#include "platform/posix/cups_spooler.h"

#include <string>

namespace platform {

bool CupsSpooler::Load() {
    if (Cups) {
        return true;
    }
    UniqueLibrary cups(Libraries.LoadLibraryA("libcups.so.2"), LibraryTraits{&Libraries});
    if (!cups) {
        Error = "CUPS is not installed (libcups.so.2 could not be loaded)";
        return false;
    }
    // The library's C entries, as its header declares them: cupsPrintFile(name,
    // filename, title, num_options, options), cupsLastErrorString(void) and
    // cupsGetDefault(void).
    CupsPrintFile =
        reinterpret_cast<PrintFileEntry>(Libraries.GetProcAddress(cups.Get(), "cupsPrintFile"));
    CupsLastErrorString =
        reinterpret_cast<TextEntry>(Libraries.GetProcAddress(cups.Get(), "cupsLastErrorString"));
    CupsGetDefault =
        reinterpret_cast<TextEntry>(Libraries.GetProcAddress(cups.Get(), "cupsGetDefault"));
    if (CupsPrintFile == nullptr || CupsLastErrorString == nullptr || CupsGetDefault == nullptr) {
        Error = "libcups.so.2 lacks cupsPrintFile, cupsLastErrorString or cupsGetDefault";
        return false;
    }
    Cups = std::move(cups);
    return true;
}

int CupsSpooler::PrintFile(std::string_view printer, std::string_view fileName,
                           std::string_view title) {
    Error.clear();
    if (!Load()) {
        return 0;
    }
    std::string name(printer);
    if (name.empty()) {
        const char* fallback = CupsGetDefault();
        if (fallback == nullptr || fallback[0] == 0) {
            Error = "there is no default printer";
            return 0;
        }
        name = fallback;
    }
    std::string file(fileName);
    std::string job(title);
    int number = CupsPrintFile(name.c_str(), file.c_str(), job.c_str(), 0, nullptr);
    if (number == 0) {
        const char* reason = CupsLastErrorString();
        Error = reason != nullptr && reason[0] != 0 ? reason : "the print queue refused the job";
    }
    return number;
}

} // namespace platform
