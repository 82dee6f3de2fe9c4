// Pages printed on a print queue by way of a temporary PDF file.
#include "platform/posix/spooled_printer.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

namespace platform {

std::string MakePrivateTemporaryFile(std::string_view suffix) {
    const char* folder = std::getenv("TMPDIR");
    std::string name = folder != nullptr && folder[0] == '/' ? folder : "/tmp";
    name += "/plandra-XXXXXX";
    name += suffix;
    int descriptor = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (descriptor < 0) {
        return {};
    }
    ::close(descriptor);
    return name;
}

SpooledPrinter::SpooledPrinter(CairoGdi& gdi, PrintSpooler& spooler, std::string queue,
                               std::string title, PaperSize paper)
    : Spooler(spooler), Queue(std::move(queue)), Title(std::move(title)),
      TemporaryFile(MakePrivateTemporaryFile(".pdf")), Page(gdi, TemporaryFile, paper) {}

SpooledPrinter::~SpooledPrinter() {
    if (!TemporaryFile.empty()) {
        std::remove(TemporaryFile.c_str());
    }
}

void SpooledPrinter::EndDoc() {
    JobNumber = 0;
    Failure.clear();
    if (TemporaryFile.empty()) {
        Failure = "no temporary file could be made for the page";
        return;
    }
    Page.EndDoc();
    if (!Page.Written()) {
        Failure = "the page could not be written to " + TemporaryFile;
    } else {
        JobNumber = Spooler.PrintFile(Queue, TemporaryFile, Title);
        if (JobNumber == 0) {
            Failure = Spooler.LastError();
        }
    }
    // The queue has read the file by now; an empty file waits for the next document.
    if (std::FILE* emptied = std::fopen(TemporaryFile.c_str(), "wb")) {
        std::fclose(emptied);
    }
}

} // namespace platform
