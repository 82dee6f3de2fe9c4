// A DXF control placed on a headless host: recording surfaces, a container whose
// design mode tests can switch, and an event sink that keeps what it received.
#pragma once

#include "control/interface/dxf_control.h"
#include "platform/headless/headless_child_window.h"
#include "platform/headless/headless_message_box.h"
#include "platform/headless/headless_registry.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/headless_shell.h"
#include "platform/headless/recording_gdi.h"
#include "platform/headless/recording_picture_box.h"
#include "platform/headless/scripted_dialogs.h"

#include <memory>
#include <string>
#include <vector>

namespace plandra::test {

class RecordingContainer final : public ControlContainer {
public:
    bool UserMode() const override { return IsRunning; }
    void PropertyChanged(std::string_view key) override { Changed.emplace_back(key); }

    bool IsRunning = true;
    std::vector<std::string> Changed;
};

class RecordingEvents final : public DXFEvents {
public:
    void MouseDown(Integer& Button, Integer& Shift, float& X, float& Y) override {
        Record("MouseDown", Button, Shift, X, Y);
    }
    void MouseMove(Integer& Button, Integer& Shift, float& X, float& Y) override {
        Record("MouseMove", Button, Shift, X, Y);
    }
    void MouseUp(Integer& Button, Integer& Shift, float& X, float& Y) override {
        Record("MouseUp", Button, Shift, X, Y);
    }

    std::vector<std::string> Received;

private:
    void Record(const char* name, Integer button, Integer shift, float x, float y) {
        Received.push_back(std::string(name) + " " + std::to_string(button) + " " +
                           std::to_string(shift) + " " + std::to_string(static_cast<int>(x)) + " " +
                           std::to_string(static_cast<int>(y)));
    }
};

/// The parts of a host, each built before the control that refers to them.
struct HeadlessHost {
    HeadlessHost() { Surface.Dc = Gdi.CreateCompatibleDC(nullptr); }

    DXFSurfaces Surfaces() {
        return {Screen,
                Gdi,
                Surface,
                SurfaceWindow,
                StatusBar,
                StatusBarWindow,
                {&Handles[0], &Handles[1], &Handles[2], &Handles[3]}};
    }
    DXFHost Host() { return {Container, &Events, Dialogs, MessageBox, Registry, Shell}; }

    platform::RecordingGdi Gdi;
    platform::RecordingPictureBox Surface{100, 100};
    platform::HeadlessChildWindow SurfaceWindow{100, 100};
    platform::RecordingPictureBox StatusBar{100, 20};
    platform::HeadlessChildWindow StatusBarWindow{100, 20, false};
    platform::HeadlessChildWindow Handles[4] = {
        {7, 7, false}, {7, 7, false}, {7, 7, false}, {7, 7, false}};
    platform::HeadlessScreen Screen;
    RecordingContainer Container;
    RecordingEvents Events;
    platform::ScriptedDialogs Dialogs;
    platform::HeadlessMessageBox MessageBox;
    platform::HeadlessRegistry Registry;
    platform::HeadlessShell Shell;
};

} // namespace plandra::test
