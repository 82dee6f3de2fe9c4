#include "engine_fakes.h"

#include <gtest/gtest.h>

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
        const BoxRequest& request = b.Presenter.Requests[0];
        EXPECT_EQ(request.FirstCaption, c.First) << c.Style;
        EXPECT_EQ(request.SecondCaption, c.Second) << c.Style;
        EXPECT_EQ(request.CancelCaption, c.Cancel) << c.Style;
        EXPECT_EQ(request.Icon, c.Icon) << c.Style;
        EXPECT_EQ(request.Owner, 0x77u);
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
            const BoxRequest& confirm = b.Presenter.Requests[1];
            EXPECT_EQ(confirm.Text, "M31");
            EXPECT_EQ(confirm.Title, "M18");
            EXPECT_EQ(confirm.CancelCaption, "");
            EXPECT_EQ(confirm.Icon, BoxIcon::Question);
            EXPECT_EQ(confirm.Owner, 0x1000u);
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
    EXPECT_EQ(b.Presenter.Requests[0].Title, "Installation Aborted!");
    EXPECT_EQ(b.Presenter.Requests[0].FirstCaption, "OK");
    EXPECT_EQ(b.Presenter.Requests[0].CancelCaption, "");
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
    ASSERT_EQ(boxes.Boxes.size(), 4u);
    EXPECT_EQ(boxes.Boxes[0].Type, 0x3u | 0x20u);
    EXPECT_EQ(boxes.Boxes[1].Type, 0x1u | 0x10u);
    EXPECT_EQ(boxes.Boxes[2].Type, 0x0u | 0x40u);
    EXPECT_EQ(boxes.Boxes[3].Type, 0x4u | 0x30u);
}

} // namespace
} // namespace vorn
