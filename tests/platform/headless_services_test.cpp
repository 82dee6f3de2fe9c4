#include "platform/headless/headless_message_box.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(HeadlessMessageBox, RecordsEveryBoxAndAnswersFromTheQueue) {
    HeadlessMessageBox boxes;
    boxes.Answers = {id::No, id::Cancel};
    EXPECT_EQ(boxes.MessageBoxA("Quit?", "Setup", mb::YesNo), id::No);
    EXPECT_EQ(boxes.MessageBoxA("Go on?", "Setup", mb::OkCancel), id::Cancel);
    EXPECT_EQ(boxes.MessageBoxA("Sure?", "Setup", mb::YesNo | mb::IconExclamation), id::Yes);
    EXPECT_EQ(boxes.MessageBoxA("Done", "", mb::Ok), id::Ok);
    ASSERT_EQ(boxes.Boxes.size(), 4u);
    EXPECT_EQ(boxes.Boxes[0].Text, "Quit?");
    EXPECT_EQ(boxes.Boxes[0].Caption, "Setup");
    EXPECT_EQ(boxes.Boxes[2].Type, mb::YesNo | mb::IconExclamation);
}

} // namespace
} // namespace platform
