// The engine's own message box: captions from the message table, the Cancel button
// that asks the confirm-exit question, and silent runs that answer OK unseen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class MessageBoxService;
}

namespace vorn {

class Engine;

/// Style bits of EngineMessageBox.
namespace box {
/// Yes and No buttons instead of OK.
inline constexpr int YesNo = 0x01;
/// No Cancel button.
inline constexpr int NoCancel = 0x02;
inline constexpr int IconMask = 0x1C;
inline constexpr int IconInformation = 0x04;
inline constexpr int IconExclamation = 0x08;
inline constexpr int IconQuestion = 0x0C;
inline constexpr int IconStop = 0x10;
/// The alternative captions (38 to 40); Cancel returns at once.
inline constexpr int AlternativeCaptions = 0x40;
/// Cancel returns at once, without the confirm-exit question.
inline constexpr int CancelAtOnce = 0x80;
} // namespace box

/// Answers of EngineMessageBox.
namespace answer {
/// OK or Yes.
inline constexpr int Ok = 1;
/// The user cancelled (and confirmed it): the caller aborts the run.
inline constexpr int Cancelled = 2;
inline constexpr int No = 3;
} // namespace answer

enum class BoxIcon { None, Information, Exclamation, Question, Stop };
enum class BoxButton { First, Second, Cancel };

/// One box to show. An empty caption means the button is not there.
struct BoxRequest {
    std::uintptr_t Owner = 0;
    std::string Text;
    std::string Title;
    std::string FirstCaption;
    std::string SecondCaption;
    std::string CancelCaption;
    BoxIcon Icon = BoxIcon::None;
};

/// Shows a box and tells which button closed it. The engine's dialogs implement this
/// with their own layout and font; StandardBoxPresenter uses the system's box.
class BoxPresenter {
public:
    virtual ~BoxPresenter() = default;
    virtual BoxButton Present(const BoxRequest& request) = 0;
};

/// The system's message box (MessageBoxA): the buttons carry the system's captions,
/// and a box that could not be shown counts as cancelled.
class StandardBoxPresenter final : public BoxPresenter {
public:
    explicit StandardBoxPresenter(platform::MessageBoxService& boxes) : Boxes(boxes) {}
    BoxButton Present(const BoxRequest& request) override;

private:
    platform::MessageBoxService& Boxes;
};

/// Shows `text` under `title` with a box:: style; owner 0 means the default owner.
/// Returns answer::Ok, answer::No or answer::Cancelled. Cancel asks the confirm-exit
/// question (message 31) unless the style says it returns at once; No there shows the
/// box again. A silent run answers answer::Ok without showing anything.
int EngineMessageBox(Engine& engine, std::uintptr_t owner, std::string_view text,
                     std::string_view title, int style);

/// The engine's error reporter: keeps the text as the abort reason (255 characters at
/// most) and shows it with OK only under the error title (message 17).
void ReportError(Engine& engine, std::string_view text);

} // namespace vorn
