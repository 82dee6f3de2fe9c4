// A metafile billboard painted by the engine on the Linux GDI: played by our own player,
// scaled into the billboard's place on the screen.
#include "billboard_script.h"
#include "engine_fakes.h"
#include "installer/engine/engine_display.h"
#include "platform/gdi_objects.h"
#include "platform/install_display.h"
#include "platform/metafile/wmf_recorder.h"
#include "platform/posix/cairo_gdi.h"

#include <array>
#include <gtest/gtest.h>

namespace vorn {
namespace {

// A screen that only paints: no windows, no waiting.
class CairoScreen final : public platform::InstallDisplayService {
public:
    platform::GdiService& Gdi() override { return Pictures; }
    std::uintptr_t OpenProgressWindow(std::uintptr_t, std::string_view, std::string_view,
                                      platform::ProgressWindowEvents&) override {
        return 0;
    }
    void CloseProgressWindow() override {}
    void SetProgressText(std::string_view) override {}
    int ProgressTextRoom() override { return 50; }
    int ProgressTextWidth(std::string_view text) override { return static_cast<int>(text.size()); }
    void InvalidateProgressBar() override {}
    void InvalidateRect(std::uintptr_t, const platform::Rect*) override {}
    void UpdateWindow(std::uintptr_t) override {}
    void WaitForTick(std::uintptr_t, unsigned, unsigned, volatile std::int32_t& waiting) override {
        waiting = 0;
    }
    void Pause(unsigned) override {}
    void ShowTerminalProgress(std::string_view, int) override {}
    void EndTerminalProgress() override {}
    platform::ColorRef ButtonFaceColour() override { return platform::Rgb(192, 192, 192); }
    void PlayVideoWindow(std::uintptr_t, platform::Point) override {}
    void CloseHelpFile(std::uintptr_t, std::string_view) override {}
    void FailCriticalErrors() override {}
    void Notice(std::string_view) override {}

    platform::CairoGdi Pictures;
};

// A metafile of a red 80 x 50 rectangle without an outline, its size after it.
std::vector<std::uint8_t> RedMetafile() {
    platform::metafile::WmfRecorder recorder;
    recorder.Select(recorder.Create(platform::metafile::BrushDefinition{0x0000FF}));
    recorder.SelectStock(8); // the null pen
    const std::array<platform::Point, 4> corners = {
        platform::Point{0, 0}, {80, 0}, {80, 50}, {0, 50}};
    recorder.Polygon(corners);
    std::vector<std::uint8_t> bytes = recorder.Finish();
    bytes.insert(bytes.end(), {80, 0, 50, 0});
    return bytes;
}

TEST(CairoBillboard, MetafileIsPlayedScaledIntoItsSlot) {
    testing::BillboardScript script;
    script.Graphic(graphic::RemoveAll | graphic::Metafile | graphic::ScaleToScreen, 320, 240,
                   RedMetafile());
    testing::EngineHarness run(script.Build());
    InstallContext context;
    context.ScreenWidth = 800;
    context.ScreenHeight = 600;
    script.Attach(context);
    run.Machine->Services.Context = &context;
    CairoScreen screen;
    EngineDisplay display(*run.Machine, context, &screen, nullptr);
    run.Machine->Display = &display;
    RegisterDisplayActions(*run.Machine);
    ASSERT_EQ(run.Run(), run::Finished);

    platform::GdiService& gdi = screen.Gdi();
    auto bitmap = platform::OwnObject(gdi, gdi.CreateDIBSection(nullptr, 800, 600));
    auto dc = platform::OwnDc(gdi, gdi.CreateCompatibleDC(nullptr));
    platform::HGDIOBJ old = gdi.SelectObject(dc.Get(), bitmap.Get());
    display.PaintGraphics(dc.Get());
    // 80 x 50 grows to 100 x 62 at (400, 300); the screen around it stays black.
    EXPECT_EQ(gdi.GetPixel(dc.Get(), 402, 302), 0x0000FFu);
    EXPECT_EQ(gdi.GetPixel(dc.Get(), 497, 359), 0x0000FFu);
    EXPECT_EQ(gdi.GetPixel(dc.Get(), 505, 302), 0u);
    gdi.SelectObject(dc.Get(), old);
}

} // namespace
} // namespace vorn
