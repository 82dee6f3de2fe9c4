// A user at the Windows desktop, for tests of modal windows: a second thread that
// waits for a window by its caption and acts on it while the test's thread runs the
// window's message loop.
#pragma once

#include "win32_api.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace plandra::test {

class DesktopUser {
public:
    /// Starts waiting (up to ten seconds) for a shown top-level window captioned
    /// `caption`. If none comes, a quit message ends the test thread's modal loop so
    /// that the test fails instead of hanging; the quit is then left in its queue.
    DesktopUser(std::string caption, std::function<void(HWND)> act);
    DesktopUser(const DesktopUser&) = delete;
    DesktopUser& operator=(const DesktopUser&) = delete;
    /// Waits for the user to finish.
    ~DesktopUser();

    bool Missed() const { return HasMissed; }

private:
    std::atomic<bool> HasMissed = false;
    std::thread Thread;
};

/// The text of a window or control.
std::string WindowText(HWND window);

} // namespace plandra::test
