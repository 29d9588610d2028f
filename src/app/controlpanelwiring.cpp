#include "controlpanelwiring.h"

#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/samplesfolder.h"

ControlPanelWiring::ControlPanelWiring(FareDisplay& display, core::Options& options,
                                       sound::SoundPlayer& sounds, platform::MessageBoxes& boxes,
                                       audio::StartGate* startGate)
    : dataFolders_(options, platform::installedSamplesFolder()),
      tape_(announcements_, sounds, options, startGate),
      plugin_(std::make_shared<tickets::TicketPluginCache>()),
      panel_(std::make_unique<ControlPanel>(&display, options, dataFolders_, &tape_, &route_,
                                            &sounds, sounds.media().clock(), boxes))
{
    panel_->setTicketPlugins(plugin_.plugins());
    QObject::connect(&plugin_, &tickets::PluginChoice::previewSizeChanged, panel_.get(),
                     &ControlPanel::setTicketPreviewSize);
    QObject::connect(&plugin_, &tickets::PluginChoice::companyNamesChanged, panel_.get(),
                     &ControlPanel::setCompanyNames);
}

ControlPanelWiring::~ControlPanelWiring() = default;

void ControlPanelWiring::connectOptionsDialog(OptionsDialog& dialog)
{
    ControlPanel* panel = panel_.get();
    dialog.setBacklight(panel->selectedBacklight());
    QObject::connect(panel, &ControlPanel::backlightChanged, &dialog, &OptionsDialog::setBacklight);
    QObject::connect(&dialog, &OptionsDialog::backlightLookChanged, panel,
                     &ControlPanel::reapplyBacklight);
}
