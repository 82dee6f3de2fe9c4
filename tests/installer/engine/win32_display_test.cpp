// The display on Windows: billboards drawn through StretchDIBits, the progress bar's
// colours, the progress window from its dialog template owning the main window, and
// the engine's timer tick. VORN_DISPLAY_SECONDS keeps the windows up that long.
#include "billboard_script.h"
#include "engine_fakes.h"
#include "installer/engine/box_dialog_presenter.h"
#include "installer/engine/engine_display.h"
#include "installer/engine/progress_display.h"
#include "platform/win32/win32_install_display.h"
#include "screen_capture.h"

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <cstdlib>
#include <windows.h>

namespace vorn {
namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

// The setup program's part: a main window that paints the billboards and ends the
// engine's tick wait.
InstallContext* MainContext = nullptr;
EngineDisplay* MainDisplay = nullptr;

LRESULT CALLBACK MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
        FillRect(dc, &paint.rcPaint, teal);
        DeleteObject(teal);
        if (MainDisplay != nullptr) {
            MainDisplay->PaintGraphics(reinterpret_cast<platform::HDC>(dc));
        }
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_TIMER && wParam == EngineTimerId && MainContext != nullptr) {
        KillTimer(window, EngineTimerId);
        MainContext->TimerWait = 0;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct DisplayRun {
    DisplayRun() {
        script.Graphic(graphic::ScaleToScreen | (3 << graphic::EffectShift), 64, 48,
                       testing::TestBitmap(160, 120, 8, 40));
        bytes = script.Build();
        context.ScreenWidth = 800;
        context.ScreenHeight = 600;
        script.Attach(context);
        engine = std::make_unique<Engine>(
            Script(bytes, 1, 0),
            EngineServices{host, libraries, presenter, log, temp, nullptr, nullptr, &context});
        display = std::make_unique<EngineDisplay>(*engine, context, &screen, nullptr);
        engine->Display = display.get();
        RegisterDisplayActions(*engine);
    }

    testing::BillboardScript script;
    std::vector<std::uint8_t> bytes;
    InstallContext context;
    testing::FakeHost host;
    testing::RecordingLog log;
    testing::FakeTempFiles temp;
    platform::HeadlessMessageBox boxes;
    StandardBoxPresenter presenter{boxes};
    platform::HeadlessLibraryService libraries;
    platform::Win32InstallDisplay screen;
    std::unique_ptr<Engine> engine;
    std::unique_ptr<EngineDisplay> display;
};

struct MemoryPicture {
    explicit MemoryPicture(platform::GdiService& gdi) : Gdi(gdi) {
        Dc = gdi.CreateCompatibleDC(nullptr);
        Old = gdi.SelectObject(Dc, gdi.CreateDIBSection(Dc, 800, 600));
    }
    ~MemoryPicture() {
        Gdi.DeleteObject(Gdi.SelectObject(Dc, Old));
        Gdi.DeleteDC(Dc);
    }
    platform::GdiService& Gdi;
    platform::HDC Dc;
    platform::HGDIOBJ Old;
};

TEST(Win32Display, BillboardAndBarPaintTheirColours) {
    DisplayRun run;
    ASSERT_EQ(RunActions(*run.engine), run::Finished);
    platform::GdiService& gdi = run.screen.Gdi();
    MemoryPicture picture(gdi);
    run.display->PaintGraphics(picture.Dc);
    // 160 x 120 grows to 200 x 150 at (80, 60); its squares of 40 become 50.
    struct Probe {
        int X, Y;
        COLORREF Colour;
    };
    for (const Probe& probe :
         {Probe{85, 65, Red}, Probe{135, 65, Blue}, Probe{85, 115, Blue}, Probe{275, 205, Blue},
          Probe{10, 10, RGB(0, 0, 0)}, Probe{285, 65, RGB(0, 0, 0)}}) {
        EXPECT_EQ(gdi.GetPixel(picture.Dc, probe.X, probe.Y), probe.Colour)
            << probe.X << "," << probe.Y;
    }
    const platform::ColorRef face = GetSysColor(COLOR_BTNFACE);
    PaintProgressBar(gdi, picture.Dc, {300, 300, 500, 320}, 50, face, true);
    EXPECT_EQ(gdi.GetPixel(picture.Dc, 300, 300), RGB(0, 0, 0));
    EXPECT_EQ(gdi.GetPixel(picture.Dc, 303, 302), ProgressDoneColour);
    EXPECT_EQ(gdi.GetPixel(picture.Dc, 496, 302), face);
}

// A metafile of a red 80 x 50 rectangle, with its size after it as the script stores it.
std::vector<std::uint8_t> RedMetafile() {
    HDC recorder = CreateMetaFileA(nullptr);
    HBRUSH red = CreateSolidBrush(Red);
    HGDIOBJ old = SelectObject(recorder, red);
    SelectObject(recorder, GetStockObject(NULL_PEN));
    Rectangle(recorder, 0, 0, 81, 51);
    SelectObject(recorder, old);
    DeleteObject(red);
    HMETAFILE metafile = CloseMetaFile(recorder);
    std::vector<std::uint8_t> bytes(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(bytes.size()), bytes.data());
    DeleteMetaFile(metafile);
    bytes.insert(bytes.end(), {80, 0, 50, 0});
    return bytes;
}

TEST(Win32Display, MetafileIsPlayedScaledIntoItsSlot) {
    DisplayRun run;
    run.script.Graphic(graphic::RemoveAll | graphic::Metafile | graphic::ScaleToScreen, 320, 240,
                       RedMetafile());
    run.bytes = run.script.Build();
    run.engine->Program = Script(run.bytes, 1, 0);
    ASSERT_EQ(RunActions(*run.engine), run::Finished);
    ASSERT_EQ(run.display->Graphics().ShownCount(), 1u);
    MemoryPicture picture(run.screen.Gdi());
    run.display->PaintGraphics(picture.Dc);
    // 80 x 50 grows to 100 x 62 at (400, 300).
    EXPECT_EQ(run.screen.Gdi().GetPixel(picture.Dc, 402, 302), Red);
    EXPECT_EQ(run.screen.Gdi().GetPixel(picture.Dc, 497, 359), Red);
    EXPECT_EQ(run.screen.Gdi().GetPixel(picture.Dc, 505, 302), RGB(0, 0, 0));
}

TEST(Win32Display, ProgressWindowOwnsTheMainWindowAndTheTickEnds) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MainProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VornDisplayTestMain";
    RegisterClassA(&windowClass);
    HWND main =
        CreateWindowExA(0, windowClass.lpszClassName, "Plandra Setup", WS_POPUP | WS_VISIBLE, 0, 0,
                        800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(main, nullptr);
    DisplayRun run;
    run.context.MainWindow = reinterpret_cast<std::uintptr_t>(main);
    run.context.BytesCopied = 420;
    MainContext = &run.context;
    MainDisplay = run.display.get();
    run.display->Configure({1000, 0, 0, 0, 0, true});
    ASSERT_EQ(RunActions(*run.engine), run::Finished);

    run.display->ShowProgress(
        "Copying Plandra:\nC:\\PROGRAM FILES\\PLANDRA\\SYSTEM\\DRIVERS\\VERY LONG NAMES\\"
        "Plandra.ocx");
    const HWND progress = reinterpret_cast<HWND>(run.display->ProgressWindow());
    ASSERT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindowEnabled(main));
    char text[256] = {};
    GetDlgItemTextA(progress, 3829, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("Copying Plandra:\nC:\\...", 0), 0u) << text;
    testing::CaptureScreen("progress");

    // The wait dialog over the progress window leaves the main window as it found it.
    const HWND wait = reinterpret_cast<HWND>(run.screen.OpenWaitDialog(
        reinterpret_cast<std::uintptr_t>(main), "Searching for PLANDRA.INI"));
    ASSERT_NE(wait, nullptr);
    GetDlgItemTextA(wait, 1005, text, sizeof text);
    EXPECT_STREQ(text, "Searching for PLANDRA.INI");
    GetWindowTextA(wait, text, sizeof text);
    EXPECT_STREQ(text, "Plandra Setup");
    testing::CaptureScreen("wait");
    run.screen.CloseWaitDialog(reinterpret_cast<std::uintptr_t>(wait));
    EXPECT_FALSE(IsWindow(wait));
    EXPECT_FALSE(IsWindowEnabled(main));

    run.display->UpdateScreen(true);
    EXPECT_EQ(run.context.TimerWait, 0);

    if (const char* seconds = std::getenv("VORN_DISPLAY_SECONDS")) {
        const DWORD until = GetTickCount() + 1000 * static_cast<DWORD>(std::atoi(seconds));
        while (GetTickCount() < until) {
            run.display->UpdateScreen(true);
        }
    }
    run.display->EndRun();
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_TRUE(IsWindowEnabled(main));
    MainDisplay = nullptr;
    MainContext = nullptr;
    DestroyWindow(main);
}

// What the box looked like when it was answered: its client width, its buttons' centres
// and visibility, the text control's width.
struct SeenBox {
    int Width = 0;
    int TextWidth = 0;
    std::vector<int> Centres;
    bool CancelShown = true;
};
SeenBox Seen;

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA(nullptr, "Plandra Box");
    if (box == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    RECT client{};
    GetClientRect(box, &client);
    Seen.Width = client.right;
    RECT area{};
    GetWindowRect(GetDlgItem(box, 1005), &area);
    Seen.TextWidth = area.right - area.left;
    for (int id : {1, 3}) {
        GetWindowRect(GetDlgItem(box, id), &area);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&area), 2);
        Seen.Centres.push_back((area.left + area.right) / 2);
    }
    Seen.CancelShown = IsWindowVisible(GetDlgItem(box, 2)) != 0;
    PostMessageA(box, WM_COMMAND, 3, 0);
}

// The box from its template: a long text widens it, two buttons sit at a third and two
// thirds of its width, the missing Cancel is hidden, and No answers 3.
TEST(Win32Display, MessageBoxDialogIsLaidOutForItsText) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    platform::Win32InstallDisplay screen;
    platform::HeadlessMessageBox fallback;
    TemplateBoxPresenter presenter(fallback, &screen);
    presenter.UseFont("Arial", 0, 10, true);
    BoxRequest request;
    request.Owner = reinterpret_cast<std::uintptr_t>(owner);
    request.Title = "Plandra Box";
    request.Text = std::string(40, 'W') + " " + std::string(40, 'W');
    request.FirstCaption = "Yes";
    request.SecondCaption = "No";
    request.Icon = BoxIcon::Question;
    const char* seconds = std::getenv("VORN_DISPLAY_SECONDS");
    SetTimer(nullptr, 0, seconds != nullptr ? 1000 * static_cast<UINT>(std::atoi(seconds)) : 100,
             &AnswerBox);
    EXPECT_EQ(presenter.Present(request), BoxButton::Second);
    EXPECT_TRUE(fallback.Boxes.empty()) << "the system's box was shown instead";
    EXPECT_GT(Seen.TextWidth, 300);
    ASSERT_EQ(Seen.Centres.size(), 2u);
    EXPECT_NEAR(Seen.Centres[0], Seen.Width / 3, 1);
    EXPECT_NEAR(Seen.Centres[1], Seen.Width * 2 / 3, 1);
    EXPECT_FALSE(Seen.CancelShown);
    DestroyWindow(owner);
}

} // namespace
} // namespace vorn
