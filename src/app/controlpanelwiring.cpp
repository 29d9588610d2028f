#include "controlpanelwiring.h"

#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/samplesfolder.h"

#include <QDir>

namespace
{

// A check value of 1 (or the greyed 2 a settings file may hold) switches an option on.
bool isOn(int checkValue)
{
    return checkValue != 0;
}

} // namespace

OptionsReader::OptionsReader(const core::Options& options)
    : OptionsReader(options, platform::installedSamplesFolder())
{
}

DataFolders OptionsReader::dataFolders() const
{
    return chooseDataFolders({options_.fareDataFolder(), options_.broadcastDataFolder()},
                             QDir::currentPath(), samplesFolder_);
}

QString OptionsReader::fareDataFolder() const
{
    return dataFolders().fare;
}

QString OptionsReader::broadcastDataFolder() const
{
    return dataFolders().broadcast;
}

QString OptionsReader::routeSetSound() const
{
    return options_.routeSetSound();
}

QString OptionsReader::resetSound() const
{
    return options_.resetSound();
}

bool OptionsReader::stepSoundByColumn() const
{
    return options_.stepSoundByColumn();
}

QString OptionsReader::stepSoundFile() const
{
    return options_.stepSoundFile();
}

int OptionsReader::stepSoundColumn() const
{
    return options_.stepSoundColumn();
}

QString OptionsReader::stepSound(int k) const
{
    switch (k) {
    case 1:
        return options_.stepSound1();
    case 2:
        return options_.stepSound2();
    case 3:
        return options_.stepSound3();
    default:
        return QString();
    }
}

bool OptionsReader::stepSoundWait() const
{
    return options_.stepSoundWait();
}

bool OptionsReader::infoStopOrderOn() const
{
    return isOn(options_.infoStopOrderOn());
}

int OptionsReader::infoStopOrderCell() const
{
    return options_.infoStopOrderCell();
}

bool OptionsReader::infoStopOrderFromZero() const
{
    return isOn(options_.infoStopOrderFromZero());
}

bool OptionsReader::infoTicketOn() const
{
    return isOn(options_.infoTicketOn());
}

int OptionsReader::infoTicketCell() const
{
    return options_.infoTicketCell();
}

bool OptionsReader::infoRouteOn() const
{
    return isOn(options_.infoRouteOn());
}

int OptionsReader::infoRouteCell() const
{
    return options_.infoRouteCell();
}

bool OptionsReader::infoColumnOn() const
{
    return isOn(options_.infoColumnOn());
}

int OptionsReader::infoColumn() const
{
    return options_.infoColumn();
}

int OptionsReader::infoColumnCell() const
{
    return options_.infoColumnCell();
}

TicketDateMode OptionsReader::ticketDateMode() const
{
    if (options_.dateFixed())
        return TicketDateMode::Fixed;
    if (options_.dateAtRouteSet())
        return TicketDateMode::AtRouteSet;
    return TicketDateMode::EachPrint;
}

QString OptionsReader::fixedDate() const
{
    return options_.fixedDate();
}

bool OptionsReader::useTicketPreview() const
{
    return isOn(options_.useTicketPreview());
}

QString OptionsReader::ticketPluginPath() const
{
    return options_.ticketPluginPath();
}

int OptionsReader::nextStopMode() const
{
    return options_.nextStopMode();
}

platform::BgrColor OptionsReader::ticketColor(int state) const
{
    switch (state) {
    case 1:
        return options_.ticketColorOn1();
    case 2:
        return options_.ticketColorOn2();
    default:
        return options_.ticketColorOff();
    }
}

bool OptionsReader::panelIndividual() const
{
    return options_.panelIndividual();
}

bool OptionsReader::panelUser(int state) const
{
    switch (state) {
    case 1:
        return options_.panelOn1User();
    case 2:
        return options_.panelOn2User();
    default:
        return options_.panelOffUser();
    }
}

QString OptionsReader::panelPicture(int state) const
{
    switch (state) {
    case 1:
        return options_.panelOn1Picture();
    case 2:
        return options_.panelOn2Picture();
    default:
        return options_.panelOffPicture();
    }
}

bool OptionsReader::preBroadcastAlways() const
{
    return options_.preBroadcastAlways();
}

QString OptionsReader::preBroadcastFile() const
{
    return options_.preBroadcastFile();
}

QString OptionsReader::preBroadcastSound(int flag) const
{
    switch (flag) {
    case 1:
        return options_.preBroadcastSound1();
    case 2:
        return options_.preBroadcastSound2();
    case 3:
        return options_.preBroadcastSound3();
    default:
        return QString();
    }
}

bool OptionsReader::preBroadcastWait() const
{
    return options_.preBroadcastWait();
}

ControlPanelWiring::ControlPanelWiring(FareDisplay& display, core::Options& options,
                                       sound::SoundPlayer& sounds, audio::StartGate* startGate)
    : reader_(options), tape_(announcements_, sounds, &reader_, startGate),
      plugin_(std::make_shared<tickets::TicketPluginCache>()),
      panel_(std::make_unique<ControlPanel>(&display, &reader_, &tape_, &route_, &sounds))
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
    dialog.setBacklight(static_cast<core::Backlight>(panel->selectedBacklight()));
    QObject::connect(panel, &ControlPanel::backlightChanged, &dialog, &OptionsDialog::setBacklight);
    QObject::connect(&dialog, &OptionsDialog::backlightLookChanged, panel,
                     &ControlPanel::reapplyBacklight);
}
