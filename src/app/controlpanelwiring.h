#pragma once

#include "core/announcements.h"
#include "core/options.h"
#include "core/routesession.h"
#include "operation/datafolders.h"
#include "platform/msgbox.h"
#include "sound/tape.h"
#include "tickets/pluginchoice.h"

#include <memory>

class FareDisplay;
class ControlPanel;
class OptionsDialog;

namespace audio
{
class StartGate;
}

namespace sound
{
class SoundPlayer;
}

// The control panel with everything it drives: the fare display window, the program's one
// broadcast tape with its announcements and the ticket plug-in the options name, which it owns
// and which outlive the panel. The options dialog, created when first opened, is connected
// to the panel by connectOptionsDialog: the panel's backlight to the dialog, the dialog's
// backlight re-apply to the panel. The panel and the tape read the options model; with both
// data folders empty and no data in the working folder, the panel reads the installed samples
// (DataFolderSource). The program then shows the panel.
class ControlPanelWiring
{
public:
    // options, sounds and boxes outlive the wiring; the panel's pauses wait on the sounds'
    // clock, its messages go to boxes; the speech engine waits for startGate (nullptr: at
    // once).
    ControlPanelWiring(FareDisplay& display, core::Options& options, sound::SoundPlayer& sounds,
                       platform::MessageBoxes& boxes, audio::StartGate* startGate = nullptr);
    ~ControlPanelWiring();

    ControlPanel& panel() { return *panel_; }
    // Where route settings read their data from now.
    const DataFolderSource& dataFolders() const { return dataFolders_; }
    sound::BroadcastTape& tape() { return tape_; }
    core::RouteSession& routeSession() { return route_; }
    core::Announcements& announcements() { return announcements_; }
    // The ticket plug-in the options name, as the settings or the dialog loaded it; the panel
    // takes its preview size and company names.
    tickets::PluginChoice& pluginChoice() { return plugin_; }

    // Connects an options dialog to the panel (the dialog outlives neither).
    void connectOptionsDialog(OptionsDialog& dialog);

private:
    DataFolderSource dataFolders_;
    core::Announcements announcements_;
    sound::BroadcastTape tape_;
    core::RouteSession route_;
    tickets::PluginChoice plugin_;
    std::unique_ptr<ControlPanel> panel_;
};
