#pragma once

#include "core/announcements.h"
#include "core/options.h"
#include "core/routesession.h"
#include "operation/datafolders.h"
#include "operation/operationoptions.h"
#include "sound/tape.h"
#include "sound/tapeoptions.h"
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

// The options as the control panel and the broadcast tape read them: straight from the
// options model at each call. With both data folders empty and no data in the
// working folder, the data folders are the installed samples (chooseDataFolders).
class OptionsReader : public OperationOptions, public sound::TapeOptions
{
public:
    explicit OptionsReader(const core::Options& options);
    // samplesFolder: the installed samples, empty for none.
    OptionsReader(const core::Options& options, const QString& samplesFolder)
        : options_(options), samplesFolder_(samplesFolder)
    {
    }

    QString fareDataFolder() const override;
    QString broadcastDataFolder() const override;
    QString routeSetSound() const override;
    QString resetSound() const override;
    bool stepSoundByColumn() const override;
    QString stepSoundFile() const override;
    int stepSoundColumn() const override;
    QString stepSound(int k) const override;
    bool stepSoundWait() const override;
    bool infoStopOrderOn() const override;
    int infoStopOrderCell() const override;
    bool infoStopOrderFromZero() const override;
    bool infoTicketOn() const override;
    int infoTicketCell() const override;
    bool infoRouteOn() const override;
    int infoRouteCell() const override;
    bool infoColumnOn() const override;
    int infoColumn() const override;
    int infoColumnCell() const override;
    TicketDateMode ticketDateMode() const override;
    QString fixedDate() const override;
    bool useTicketPreview() const override;
    QString ticketPluginPath() const override;
    int nextStopMode() const override;
    platform::BgrColor ticketColor(int state) const override;
    bool panelIndividual() const override;
    bool panelUser(int state) const override;
    QString panelPicture(int state) const override;

    bool preBroadcastAlways() const override;
    QString preBroadcastFile() const override;
    QString preBroadcastSound(int flag) const override;
    bool preBroadcastWait() const override;

private:
    DataFolders dataFolders() const;

    const core::Options& options_;
    QString samplesFolder_;
};

// The control panel with everything it drives: the fare display window, the program's one
// broadcast tape with its announcements and the ticket plug-in the options name, which it owns
// and which outlive the panel. The options dialog, created when first opened, is connected
// to the panel by connectOptionsDialog: the panel's backlight to the dialog, the dialog's
// backlight re-apply to the panel. The program then shows the panel.
class ControlPanelWiring
{
public:
    // options and sounds outlive the wiring; the speech engine waits for startGate (nullptr:
    // at once).
    ControlPanelWiring(FareDisplay& display, core::Options& options, sound::SoundPlayer& sounds,
                       audio::StartGate* startGate = nullptr);
    ~ControlPanelWiring();

    ControlPanel& panel() { return *panel_; }
    OptionsReader& optionsReader() { return reader_; }
    sound::BroadcastTape& tape() { return tape_; }
    core::RouteSession& routeSession() { return route_; }
    core::Announcements& announcements() { return announcements_; }
    // The ticket plug-in the options name, as the settings or the dialog loaded it; the panel
    // takes its preview size and company names.
    tickets::PluginChoice& pluginChoice() { return plugin_; }

    // Connects an options dialog to the panel (the dialog outlives neither).
    void connectOptionsDialog(OptionsDialog& dialog);

private:
    OptionsReader reader_;
    core::Announcements announcements_;
    sound::BroadcastTape tape_;
    core::RouteSession route_;
    tickets::PluginChoice plugin_;
    std::unique_ptr<ControlPanel> panel_;
};
