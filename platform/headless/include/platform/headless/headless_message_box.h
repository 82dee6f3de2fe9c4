// Message boxes without a display: records what was shown and answers from a queue.
#pragma once

#include "platform/message_box.h"

#include <deque>
#include <string>
#include <vector>

namespace platform {

class HeadlessMessageBox final : public MessageBoxService {
public:
    struct Shown {
        std::string Text;
        std::string Caption;
        unsigned Type;
    };

    /// Answers the next box with the first queued answer, or with OK (Yes for a
    /// Yes/No box) when the queue is empty.
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override;

    std::vector<Shown> Boxes;
    std::deque<int> Answers;
};

} // namespace platform
