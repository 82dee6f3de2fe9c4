// A page printed on a print queue: the queue is handed a whole PDF file under the job's
// name, and the printer reports a refused job with the queue's reason.
#include "platform/posix/spooled_printer.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace platform {
namespace {

class FakeSpooler final : public PrintSpooler {
public:
    int PrintFile(std::string_view printer, std::string_view fileName,
                  std::string_view title) override {
        Queue = printer;
        Title = title;
        File = fileName;
        std::ifstream file(File, std::ios::binary);
        std::getline(file, FirstLine);
        return Refusal.empty() ? 7 : 0;
    }
    std::string LastError() const override { return Refusal; }

    std::string Refusal, Queue, Title, File, FirstLine;
};

TEST(SpooledPrinter, HandsTheQueueAWholePdfAndReportsARefusal) {
    for (std::string refusal : {"", "the queue is stopped"}) {
        CairoGdi gdi;
        FakeSpooler spooler;
        spooler.Refusal = refusal;
        {
            SpooledPrinter printer(gdi, spooler, "office", "plan.dxf");
            printer.Print("");
            gdi.LineTo(printer.hDC(), 100, 100);
            printer.EndDoc();
            EXPECT_EQ(spooler.Queue, "office");
            EXPECT_EQ(spooler.Title, "plan.dxf");
            EXPECT_EQ(spooler.FirstLine.substr(0, 5), "%PDF-");
            EXPECT_EQ(printer.Job(), refusal.empty() ? 7 : 0);
            EXPECT_EQ(printer.Error(), refusal);
            EXPECT_EQ(std::filesystem::file_size(spooler.File), 0u); // the page is not kept
        }
        EXPECT_FALSE(std::filesystem::exists(spooler.File));
    }
}

} // namespace
} // namespace platform
