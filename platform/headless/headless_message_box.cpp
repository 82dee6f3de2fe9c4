// Message boxes without a display.
#include "platform/headless/headless_message_box.h"

namespace platform {

int HeadlessMessageBox::MessageBoxA(std::string_view text, std::string_view caption,
                                    unsigned type) {
    Boxes.push_back({std::string(text), std::string(caption), type});
    if (!Answers.empty()) {
        int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    constexpr unsigned ButtonMask = 0xF;
    return (type & ButtonMask) == mb::YesNo ? id::Yes : id::Ok;
}

} // namespace platform
