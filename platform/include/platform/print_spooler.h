// The print queues of the machine: a finished document file handed to a named queue.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class PrintSpooler {
public:
    virtual ~PrintSpooler() = default;

    /// Sends the PDF file `fileName` to the queue `printer` as a job called `title`. The
    /// job's number, or 0 when the queue refused it or could not be reached (LastError
    /// says why). The file is read before the call returns.
    virtual int PrintFile(std::string_view printer, std::string_view fileName,
                          std::string_view title) = 0;
    /// Why the last PrintFile gave 0, in words for the user.
    virtual std::string LastError() const = 0;
};

} // namespace platform
