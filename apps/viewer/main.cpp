// plandra-viewer: views DXF drawings in a window, the DXF control hosted on a GTK
// desktop.
#include "viewer_window.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Usage = R"(Usage: plandra-viewer [OPTIONS] [FILE]

Shows the ASCII DXF drawing FILE in a window, as the DXF control draws it, and lets
you zoom (a dragged window, drill-down clicks, the mouse wheel about the cursor),
pan, go back to the previous views and to the extents, switch layers on and off,
find texts, and add, select, delete and restore redline markup, then save a copy
of the drawing with the markup. Without FILE the drawing open when the viewer was
last closed is opened again. The control's properties are kept between runs in
plandra/viewer.properties under the user's configuration folder.

Keys: W window zoom, D drill-down, P pan, Backspace previous view, E extents,
L R C T redline line, rectangle, circle, text, S select, Delete delete the
selection, F3 and Shift+F3 find the next and previous text, Ctrl+O open,
Ctrl+S save with markup, Ctrl+, the appearance settings, Ctrl+Q quit.

Options:
  --size WIDTHxHEIGHT   The drawing surface at start, in pixels (100 to 4096 each;
                        default 800x560).
  --capture PREFIX      F12 writes PREFIX-drawing.png (the drawing surface as the
                        screen shows it) and PREFIX-window.png (the whole window).
  --report              Print where the drawing surface and the layer switches
                        are on the screen once a drawing is shown, how long the
                        open took to the first picture, and each zoom (with its
                        time) and layer change, for tests that drive the window.
  --timings             Print how long each open took (the read, the first drawing
                        pass, the first picture on the screen) and each redraw
                        (also when PLANDRA_VIEWER_TIMINGS is set to 1).
  --no-settings         Neither read nor write the stored properties.
  --help                Show this text.
)";

bool ParseSize(std::string_view text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    if (cross == std::string_view::npos) {
        return false;
    }
    auto number = [](std::string_view digits, int& value) {
        const char* end = digits.data() + digits.size();
        auto [at, error] = std::from_chars(digits.data(), end, value);
        return error == std::errc{} && at == end && value >= 100 && value <= 4096;
    };
    return number(text.substr(0, cross), width) && number(text.substr(cross + 1), height);
}

int UsageError(const std::string& message) {
    std::cerr << "plandra-viewer: " << message << "\nRun 'plandra-viewer --help' for usage.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    plandra::viewer::ViewerOptions options;
    bool settings = true;
    if (const char* timings = std::getenv("PLANDRA_VIEWER_TIMINGS")) {
        options.Timings = std::string_view(timings) == "1";
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << Usage;
            return 0;
        }
        if (argument == "--size" || argument == "--capture") {
            if (i + 1 == argc) {
                return UsageError(std::string(argument) + " needs a value");
            }
            const std::string_view value = argv[++i];
            if (argument == "--capture") {
                options.CapturePrefix = value;
            } else if (!ParseSize(value, options.Width, options.Height)) {
                return UsageError("--size takes WIDTHxHEIGHT, each 100 to 4096: " +
                                  std::string(value));
            }
        } else if (argument == "--report") {
            options.Report = true;
        } else if (argument == "--timings") {
            options.Timings = true;
        } else if (argument == "--no-settings") {
            settings = false;
        } else if (argument.starts_with("-") && argument != "-") {
            return UsageError("unknown option " + std::string(argument));
        } else if (options.FileName.empty()) {
            options.FileName = argument;
        } else {
            return UsageError("one drawing at a time");
        }
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::cerr << "plandra-viewer: cannot open a display (is DISPLAY set?)\n";
        return 1;
    }
    // GTK draws with cairo too: its caches stay until the process ends.
    platform::CairoGdi::ShareCairoWithToolkit();
    if (settings) {
        options.SettingsFile =
            std::filesystem::path(g_get_user_config_dir()) / "plandra" / "viewer.properties";
    }
    std::string start = options.FileName;
    plandra::viewer::ViewerWindow window(options);
    if (start.empty() && !window.StoredFileName().empty() &&
        std::filesystem::exists(window.StoredFileName())) {
        start = window.StoredFileName();
    }
    if (!start.empty()) {
        window.OpenWhenShown(start);
    }
    gtk_main();
    return 0;
}
