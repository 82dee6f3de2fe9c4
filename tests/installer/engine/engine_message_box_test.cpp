#include "engine_fakes.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vorn {
namespace {

using testing::EngineHarness;

/// Answers from a list and keeps every request.
class ScriptedPresenter final : public BoxPresenter {
public:
    BoxButton Present(const BoxRequest& request) override {
        Requests.push_back(request);
        BoxButton button = Buttons.empty() ? BoxButton::First : Buttons.front();
        if (!Buttons.empty()) {
            Buttons.erase(Buttons.begin());
        }
        return button;
    }
    std::vector<BoxButton> Buttons;
    std::vector<BoxRequest> Requests;
};

struct BoxHarness {
    BoxHarness() {
        EngineServices services{h.Host, h.Libraries, Presenter, h.Log, h.TempFiles, nullptr};
        Machine = std::make_unique<Engine>(Script({}, 1, 0), services);
        Machine->Messages = &Messages;
    }
    EngineHarness h{{}};
    ScriptedPresenter Presenter;
    MessageTable Messages{testing::NumberedMessages()};
    std::unique_ptr<Engine> Machine;
};

TEST(EngineMessageBox, StyleBitsChooseButtonsCaptionsAndIcon) {
    struct Case {
        int Style;
        const char* First;
        const char* Second;
        const char* Cancel;
        BoxIcon Icon;
    } cases[] = {
        {0x00, "M27", "", "M28", BoxIcon::None},
        {0x02, "M27", "", "", BoxIcon::None},
        {0x01, "M35", "M36", "M28", BoxIcon::None},
        {0x41, "M38", "M39", "M40", BoxIcon::None},
        {0x03 | 0x04, "M35", "M36", "", BoxIcon::Information},
        {0x08, "M27", "", "M28", BoxIcon::Exclamation},
        {0x0C, "M27", "", "M28", BoxIcon::Question},
        {0x12, "M27", "", "", BoxIcon::Stop},
    };
    for (const Case& c : cases) {
        BoxHarness b;
        EXPECT_EQ(EngineMessageBox(*b.Machine, 0x77, "text", "title", c.Style), answer::Ok);
        ASSERT_EQ(b.Presenter.Requests.size(), 1u);
        const BoxRequest& r = b.Presenter.Requests[0];
        EXPECT_EQ(std::tuple(r.FirstCaption, r.SecondCaption, r.CancelCaption, r.Icon, r.Owner),
                  std::tuple(c.First, c.Second, c.Cancel, c.Icon, 0x77u))
            << c.Style;
    }
}

TEST(EngineMessageBox, CancelAndTheConfirmExitQuestion) {
    using B = BoxButton;
    struct Case {
        int Style;
        std::vector<B> Buttons;
        int Answer;
        std::size_t Boxes;
    } cases[] = {
        {0x01, {B::Second}, answer::No, 1},
        {0x01, {B::Cancel, B::First}, answer::Cancelled, 2},
        {0x01, {B::Cancel, B::Second, B::Second}, answer::No, 3},
        {0x00, {B::Cancel, B::Second, B::Cancel, B::First}, answer::Cancelled, 4},
        {0x40, {B::Cancel}, answer::Cancelled, 1},
        {0x80, {B::Cancel}, answer::Cancelled, 1},
        // A box without Cancel that still reports one was closed another way.
        {0x03, {B::Cancel}, answer::No, 1},
        {0x02, {B::Cancel}, answer::Ok, 1},
    };
    for (const Case& c : cases) {
        BoxHarness b;
        b.Presenter.Buttons = c.Buttons;
        EXPECT_EQ(EngineMessageBox(*b.Machine, 0, "text", "title", c.Style), c.Answer) << c.Style;
        ASSERT_EQ(b.Presenter.Requests.size(), c.Boxes) << c.Style;
        if (c.Boxes > 1) {
            const BoxRequest& r = b.Presenter.Requests[1];
            EXPECT_EQ(std::tuple(r.Text, r.Title, r.CancelCaption, r.Icon, r.Owner),
                      std::tuple("M31", "M18", "", BoxIcon::Question, 0x1000u));
        }
    }
}

TEST(EngineMessageBox, SilentRunsAnswerOkUnseen) {
    BoxHarness b;
    b.h.Host.SilentFlag = true;
    b.Presenter.Buttons = {BoxButton::Cancel};
    EXPECT_EQ(EngineMessageBox(*b.Machine, 0, "text", "title", 0x01), answer::Ok);
    EXPECT_TRUE(b.Presenter.Requests.empty());
}

TEST(EngineMessageBox, DefaultCaptionsBeforeTheMessageTable) {
    BoxHarness b;
    b.Machine->Messages = nullptr;
    ReportError(*b.Machine, "Internal Error");
    ASSERT_EQ(b.Presenter.Requests.size(), 1u);
    const BoxRequest& r = b.Presenter.Requests[0];
    EXPECT_EQ(std::tuple(r.Title, r.FirstCaption, r.CancelCaption),
              std::tuple("Installation Aborted!", "OK", ""));
    EXPECT_EQ(b.Machine->AbortReason.View(), "Internal Error");
}

TEST(StandardBoxPresenter, MapsToMessageBoxStyles) {
    platform::HeadlessMessageBox boxes;
    StandardBoxPresenter presenter(boxes);
    boxes.Answers = {platform::id::No, platform::id::Cancel, platform::id::Ok, 0};
    EXPECT_EQ(presenter.Present({0, "t", "c", "Yes", "No", "Cancel", BoxIcon::Question}),
              BoxButton::Second);
    EXPECT_EQ(presenter.Present({0, "t", "c", "OK", "", "Cancel", BoxIcon::Stop}),
              BoxButton::Cancel);
    EXPECT_EQ(presenter.Present({0, "t", "c", "OK", "", "", BoxIcon::Information}),
              BoxButton::First);
    EXPECT_EQ(presenter.Present({0, "t", "c", "Yes", "No", "", BoxIcon::Exclamation}),
              BoxButton::Cancel);
    // Once its answers run out, the headless box says Yes to a question.
    EXPECT_EQ(presenter.Present({0, "t", "c", "Yes", "No", "", BoxIcon::None}), BoxButton::First);
    std::vector<unsigned> types;
    for (const auto& box : boxes.Boxes) {
        types.push_back(box.Type);
    }
    EXPECT_EQ(types, (std::vector<unsigned>{0x3 | 0x20, 0x1 | 0x10, 0x0 | 0x40, 0x4 | 0x30, 0x4}));
}

} // namespace
} // namespace vorn
