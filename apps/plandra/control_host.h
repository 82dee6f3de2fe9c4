// The host side of a DXF control in the command-line tool: a container at run time
// and services without a desktop. The drawing surfaces come from each command.
#pragma once

#include "control/interface/dxf_control.h"
#include "platform/headless/headless_child_window.h"
#include "platform/headless/headless_message_box.h"
#include "platform/headless/headless_registry.h"
#include "platform/headless/headless_shell.h"
#include "platform/headless/scripted_dialogs.h"
#include "private_temp_folder.h"

#include <array>

namespace plandra::cli {

struct ControlHost {
    ControlHost(int width, int height, int statusBarHeight)
        : picPlandraWindow(width, height), picStatusBarWindow(width, statusBarHeight, false) {}

    DXFSurfaces Surfaces(platform::Screen& screen, platform::GdiService& gdi,
                         platform::PictureBox& picPlandra, platform::PictureBox& picStatusBar,
                         platform::MetafileService* metafiles = nullptr,
                         platform::Printer* printer = nullptr,
                         platform::ClipboardService* clipboard = nullptr) {
        return {screen,
                gdi,
                picPlandra,
                picPlandraWindow,
                picStatusBar,
                picStatusBarWindow,
                {&picHandle[0], &picHandle[1], &picHandle[2], &picHandle[3]},
                metafiles,
                printer,
                clipboard};
    }
    DXFHost Host() { return {Container, nullptr, Dialogs, MessageBox, Registry, Shell}; }

    platform::HeadlessChildWindow picPlandraWindow;
    platform::HeadlessChildWindow picStatusBarWindow;
    std::array<platform::HeadlessChildWindow, 4> picHandle{
        {{7, 7, false}, {7, 7, false}, {7, 7, false}, {7, 7, false}}};
    RunTimeContainer Container;
    platform::ScriptedDialogs Dialogs;
    platform::HeadlessMessageBox MessageBox;
    platform::HeadlessRegistry Registry;
    platform::HeadlessShell Shell;
    /// Where the control writes its block scratch files.
    PrivateTempFolder ScratchFolder;
};

} // namespace plandra::cli
