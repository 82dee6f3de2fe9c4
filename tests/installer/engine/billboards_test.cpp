// Billboards and the progress bar: the percentage rule, scaling and placing, the
// pictures the engine accepts, and a script whose progress sequence runs to its end.
#include "billboard_script.h"
#include "engine_fakes.h"
#include "installer/engine/billboards.h"
#include "installer/engine/engine_display.h"
#include "installer/engine/install_context.h"
#include "installer/engine/message_box_layout.h"
#include "installer/engine/progress_display.h"
#include "installer/engine/script_builder.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using platform::Size;

TEST(ProgressPercent, FollowsTheChosenCounterAndRounding) {
    struct Case {
        std::uint32_t Options, Total, Copied, Offset, Base, ScriptDone, ScriptTotal;
        int Percent;
    };
    const Case cases[] = {
        {0, 1000, 500, 0, 0, 0, 0, 50},
        {0, 1000, 504, 0, 0, 0, 0, 51},          // remainder 400 >= 1000 / 200
        {0, 100000, 50002, 0, 0, 0, 0, 50},      // remainder 200 < 500
        {0, 100000, 50005, 0, 0, 0, 0, 51},      // remainder 500 rounds up
        {0, 1000, 100, 1300, 1000, 0, 0, 40},    // counter + archive offset - base
        {0, 1000, 0, 10, 500, 0, 0, 0},          // below the base counts as nothing
        {0x10000, 1000, 300, 9999, 0, 0, 0, 30}, // bit 16: the counter alone
        {0x40, 1000, 900, 0, 0, 25, 100, 25},    // bit 6: the script position
        {0, 50000000, 25000000, 0, 0, 0, 0, 50}, // both divided while done > 2,000,000
        {0, 0, 0, 0, 0, 0, 0, 0},                // no total: nothing done, not 1 %
        {0, 150, 1, 0, 0, 0, 0, 1},              // below 200 any remainder rounds up
        {0, 1000, 999, 0, 0, 0, 0, 100},         // 99 and a remainder
        {0, 1000, 5000, 0, 0, 0, 0, 100},        // more than announced: a full bar
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProgressPercent({c.Options, c.Total, c.Copied, c.Offset, c.Base, c.ScriptDone,
                                   c.ScriptTotal}),
                  c.Percent)
            << c.Total << " " << c.Copied;
    }
}

TEST(ShortenedPathText, DropsMiddleDirectoriesThenTheStart) {
    auto width = [](std::string_view text) { return static_cast<int>(text.size()); };
    EXPECT_EQ(ShortenedPathText("C:\\APP\\X.DLL", 20, width), "C:\\APP\\X.DLL");
    EXPECT_EQ(ShortenedPathText("C:\\PROGRAM\\PLANDRA\\BIN\\VIEWER.EXE", 24, width),
              "C:\\...\\BIN\\VIEWER.EXE");
    EXPECT_EQ(ShortenedPathText("C:\\A\\AVERYLONGFILENAME.TXT", 12, width), "...ENAME.TXT");
}

TEST(Billboards, ScaleAndPlaceOnTheScreen) {
    struct Case {
        std::uint16_t Flags, X, Y;
        Size Screen;
        Size Drawn;
        platform::Point At;
    };
    const std::uint16_t scale = graphic::ScaleToScreen;
    const std::uint16_t centre = graphic::CentreHorizontally | graphic::CentreVertically;
    const Case cases[] = {
        {scale, 0, 0, {800, 600}, {400, 300}, {0, 0}},
        {scale, 0, 0, {1024, 768}, {512, 384}, {0, 0}},
        {scale, 0, 0, {1280, 600}, {400, 300}, {0, 0}}, // the narrower side decides
        {0, 320, 240, {800, 600}, {320, 240}, {400, 300}},
        {scale | centre, 0, 0, {800, 600}, {400, 300}, {200, 150}},
        {0, graphic::FarEdge, graphic::FarEdge, {800, 600}, {320, 240}, {480, 360}},
        {0, graphic::InSequence | 64, 48, {640, 480}, {320, 240}, {64, 48}},
    };
    for (const Case& c : cases) {
        Size drawn = ScaledSize({320, 240}, c.Screen, (c.Flags & scale) != 0);
        EXPECT_EQ(drawn, c.Drawn);
        EXPECT_EQ(PlaceGraphic(c.Flags, c.X, c.Y, drawn, c.Screen), c.At);
    }
    EXPECT_EQ(RemovalCount(0x0004), 1);
    EXPECT_EQ(RemovalCount(0x3804), 15);
}

std::vector<std::uint8_t> Bitmap(std::uint32_t width, std::uint16_t bitCount = 8) {
    return testing::TestBitmap(width, 2, bitCount);
}

std::vector<std::uint8_t> Metafile(std::uint16_t type, std::uint16_t width) {
    std::vector<std::uint8_t> data = {
        static_cast<std::uint8_t>(type),  0, 9,  0, 0, 3, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        static_cast<std::uint8_t>(width), 0, 50, 0};
    return data;
}

TEST(Billboards, ReadPicturesOrSayWhyNot) {
    std::vector<std::uint8_t> cut = Bitmap(4);
    cut.pop_back();
    std::vector<std::uint8_t> wideTable = Bitmap(4);
    wideTable[32] = 0;
    wideTable[33] = 2; // 512 colours
    std::vector<std::uint8_t> huge = Bitmap(4);
    huge[6] = 0x7F;
    struct Case {
        std::vector<std::uint8_t> Data;
        bool Metafile;
        const char* Error; // null: read
    };
    const std::vector<Case> cases = {
        {Bitmap(4), false, nullptr},
        {Metafile(1, 80), true, nullptr},
        {{}, false, "too short"},
        {std::vector<std::uint8_t>(60, 0x41), false, "not a bitmap"},
        {cut, false, "cut short"},
        {Bitmap(4, 3), false, "pixel format"},
        {wideTable, false, "colour table"},
        {huge, false, "out of range"},
        {Metafile(7, 80), true, "not a metafile"},
        {Metafile(1, 0), true, "no size"},
        {{1, 0, 9, 0}, true, "shorter"},
    };
    for (const Case& c : cases) {
        auto read = ReadImageInfo(c.Data, c.Metafile);
        if (c.Error == nullptr) {
            ASSERT_TRUE(std::holds_alternative<ImageInfo>(read)) << std::get<std::string>(read);
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(read)) << c.Error;
            EXPECT_NE(std::get<std::string>(read).find(c.Error), std::string::npos)
                << std::get<std::string>(read);
        }
    }
    EXPECT_EQ(std::get<ImageInfo>(ReadImageInfo(Metafile(1, 80), true)).Width, 80);
}

TEST(Billboards, RemovingMoreThanShownRemovesWhatIsThere) {
    GraphicTable table;
    GraphicSlot slot;
    slot.Data = {1};
    table.Add(slot, 0);
    EXPECT_EQ(table.RemoveTop(RemovalCount(0x000C)).size(), 1u);
    EXPECT_EQ(table.ShownCount(), 0u);
}

// After every record: the screen is updated, and the widths of the graphics shown.
class SequenceHost final : public EngineHost {
public:
    bool RunStopped() const override { return false; }
    void SetAbortFlag() override {}
    bool Silent() const override { return false; }
    std::uintptr_t MainWindow() const override { return 0; }
    std::uintptr_t DefaultBoxOwner() const override { return 0; }
    void AfterRecord() override {
        Display->UpdateScreen(false);
        std::vector<int> widths;
        for (std::size_t i = 0; i < Display->Graphics().ShownCount(); ++i) {
            widths.push_back(Display->Graphics().Slot(i).Image.Width);
        }
        if (Screens.empty() || Screens.back() != widths) {
            Screens.push_back(widths);
        }
    }
    void CloseProgressWindow() override {}

    EngineDisplay* Display = nullptr;
    std::vector<std::vector<int>> Screens;
};

TEST(Billboards, ProgressSequenceShowsQueuedPicturesInTurn) {
    testing::BillboardScript script;
    script.Graphic(graphic::RemoveAll | graphic::ScaleToScreen, 0, 10, Bitmap(64));
    for (std::uint32_t width : {5, 6, 7}) {
        script.Graphic(0, graphic::InSequence | 10, 10, Bitmap(width));
    }
    script.Graphic(0, 10, 10, std::vector<std::uint8_t>(60, 0x42)); // not a bitmap
    script.Graphic(0, graphic::PositionMask, 10, Bitmap(9));        // beyond the screen
    for (int i = 0; i < 40; ++i) {
        script.Builder.AddToLog("step");
    }
    std::vector<std::uint8_t> bytes = script.Build();

    testing::RecordingLog log;
    testing::FakeTempFiles temp;
    platform::HeadlessMessageBox boxes;
    StandardBoxPresenter presenter(boxes);
    platform::HeadlessLibraryService libraries;
    SequenceHost host;
    InstallContext context;
    context.ScreenWidth = 800;
    context.ScreenHeight = 600;
    context.OptionFlags = 0x40; // progress by the script position
    script.Attach(context);
    Engine engine(Script(bytes, 1, 0), EngineServices{host, libraries, presenter, log, temp,
                                                      nullptr, nullptr, &context});
    EngineDisplay display(engine, context, nullptr, nullptr);
    display.Configure({0, 0, 0, static_cast<std::uint32_t>(bytes.size()), 0, false});
    engine.Display = &display;
    host.Display = &display;
    RegisterDisplayActions(engine);

    EXPECT_EQ(RunActions(engine), run::Finished);
    // The background alone, then each sequence picture in its turn in the same place.
    const std::vector<std::vector<int>> expected = {{64}, {64, 5}, {64, 6}, {64, 7}};
    EXPECT_EQ(host.Screens, expected);
    EXPECT_EQ(display.Graphics().QueuedCount(), 0u);
    EXPECT_EQ(display.Graphics().Threshold(), GraphicTable::NoThreshold);
    EXPECT_EQ(display.Graphics().Slot(0).Scaled, (Size{80, 2}));
}

std::vector<std::int32_t> UpdateCalls;

std::intptr_t PLATFORM_WINAPI FakeUpdate(std::int32_t call, std::int32_t, void*, const char*,
                                         std::int32_t, std::int32_t) {
    UpdateCalls.push_back(call);
    return call == 1 ? 1 : 0; // the user wants to cancel
}

TEST(UpdateDisplayLibrary, IsToldStartProgressHideAndEndAndItsCancelIsConfirmed) {
    for (int answer : {platform::id::No, platform::id::Yes}) {
        UpdateCalls.clear();
        testing::EngineHarness harness({op::EndOfScript});
        harness.Boxes.Answers.push_back(answer);
        InstallContext context;
        EngineDisplay display(*harness.Machine, context, nullptr, nullptr);
        display.UseUpdateLibrary(reinterpret_cast<platform::ProcAddress>(&FakeUpdate));
        display.UpdateScreen(false);
        EXPECT_EQ(harness.Host.AbortFlag, answer == platform::id::Yes);
        display.EndRun();
        EXPECT_EQ(UpdateCalls, (std::vector<std::int32_t>{0, 1, 2, 3}));
    }
}

TEST(MessageBoxLayout, WidensForLongTextsAndKeepsTheButtonsCentred) {
    // A 300 x 100 box: text 16..276 x 10..40, buttons of 60 x 20 at y 60.
    const BoxTemplate box{{300, 100}, {16, 10, 276, 40}, {0, 60, 60, 80}};
    struct Case {
        Size Measured;
        int Buttons;
        bool Icon;
        Size Dialog;
        std::vector<int> Lefts;
        int TextLeft, ButtonTop;
    };
    const Case cases[] = {
        {{100, 13}, 1, false, {300, 100}, {120}, 16, 60},
        {{100, 13}, 2, false, {300, 100}, {70, 170}, 16, 60},
        {{100, 13}, 3, false, {300, 100}, {25, 120, 215}, 16, 60}, // outer ones 20 further out
        {{100, 13}, 1, true, {324, 100}, {132}, 40, 60},           // the icon's 24 pixels
        {{460, 52}, 2, false, {500, 122}, {136, 303}, 16, 82},     // a long text widens the box
    };
    for (const Case& c : cases) {
        BoxLayout layout = LayOutMessageBox(box, c.Measured, c.Buttons, c.Icon);
        EXPECT_EQ(layout.Dialog, c.Dialog);
        EXPECT_EQ(layout.Text.left, c.TextLeft);
        std::vector<int> lefts;
        for (const platform::Rect& button : layout.Buttons) {
            lefts.push_back(button.left);
            EXPECT_EQ(button.top, c.ButtonTop);
        }
        EXPECT_EQ(lefts, c.Lefts);
    }
}

} // namespace
} // namespace vorn
