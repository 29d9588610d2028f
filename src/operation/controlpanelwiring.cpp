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

OptionsDialogReader::OptionsDialogReader(const OptionsDialog& dialog)
    : OptionsDialogReader(dialog, platform::installedSamplesFolder())
{
}

DataFolders OptionsDialogReader::dataFolders() const
{
    return chooseDataFolders({dialog_.fareDataFolder(), dialog_.broadcastDataFolder()},
                             QDir::currentPath(), samplesFolder_);
}

QString OptionsDialogReader::fareDataFolder() const
{
    return dataFolders().fare;
}

QString OptionsDialogReader::broadcastDataFolder() const
{
    return dataFolders().broadcast;
}

QString OptionsDialogReader::routeSetSound() const
{
    return dialog_.routeSetSound();
}

QString OptionsDialogReader::resetSound() const
{
    return dialog_.resetSound();
}

bool OptionsDialogReader::stepSoundByColumn() const
{
    return dialog_.stepSoundByColumn();
}

QString OptionsDialogReader::stepSoundFile() const
{
    return dialog_.stepSoundFile();
}

int OptionsDialogReader::stepSoundColumn() const
{
    return dialog_.stepSoundColumn();
}

QString OptionsDialogReader::stepSound(int k) const
{
    switch (k) {
    case 1:
        return dialog_.stepSound1();
    case 2:
        return dialog_.stepSound2();
    case 3:
        return dialog_.stepSound3();
    default:
        return QString();
    }
}

bool OptionsDialogReader::stepSoundWait() const
{
    return dialog_.stepSoundWait();
}

bool OptionsDialogReader::infoStopOrderOn() const
{
    return isOn(dialog_.infoStopOrderOn());
}

int OptionsDialogReader::infoStopOrderCell() const
{
    return dialog_.infoStopOrderCell();
}

bool OptionsDialogReader::infoStopOrderFromZero() const
{
    return isOn(dialog_.infoStopOrderFromZero());
}

bool OptionsDialogReader::infoTicketOn() const
{
    return isOn(dialog_.infoTicketOn());
}

int OptionsDialogReader::infoTicketCell() const
{
    return dialog_.infoTicketCell();
}

bool OptionsDialogReader::infoRouteOn() const
{
    return isOn(dialog_.infoRouteOn());
}

int OptionsDialogReader::infoRouteCell() const
{
    return dialog_.infoRouteCell();
}

bool OptionsDialogReader::infoColumnOn() const
{
    return isOn(dialog_.infoColumnOn());
}

int OptionsDialogReader::infoColumn() const
{
    return dialog_.infoColumn();
}

int OptionsDialogReader::infoColumnCell() const
{
    return dialog_.infoColumnCell();
}

TicketDateMode OptionsDialogReader::ticketDateMode() const
{
    if (dialog_.dateFixed())
        return TicketDateMode::Fixed;
    if (dialog_.dateAtRouteSet())
        return TicketDateMode::AtRouteSet;
    return TicketDateMode::EachPrint;
}

QString OptionsDialogReader::fixedDate() const
{
    return dialog_.fixedDate();
}

bool OptionsDialogReader::useTicketPreview() const
{
    return isOn(dialog_.useTicketPreview());
}

QString OptionsDialogReader::ticketPluginPath() const
{
    return dialog_.ticketPluginPath();
}

int OptionsDialogReader::nextStopMode() const
{
    return dialog_.nextStopMode();
}

platform::BgrColor OptionsDialogReader::ticketColor(int state) const
{
    switch (state) {
    case 1:
        return dialog_.ticketColorOn1();
    case 2:
        return dialog_.ticketColorOn2();
    default:
        return dialog_.ticketColorOff();
    }
}

bool OptionsDialogReader::panelIndividual() const
{
    return dialog_.panelIndividual();
}

bool OptionsDialogReader::panelUser(int state) const
{
    switch (state) {
    case 1:
        return dialog_.panelOn1User();
    case 2:
        return dialog_.panelOn2User();
    default:
        return dialog_.panelOffUser();
    }
}

QString OptionsDialogReader::panelPicture(int state) const
{
    switch (state) {
    case 1:
        return dialog_.panelOn1Picture();
    case 2:
        return dialog_.panelOn2Picture();
    default:
        return dialog_.panelOffPicture();
    }
}

bool OptionsDialogReader::preBroadcastAlways() const
{
    return dialog_.preBroadcastAlways();
}

QString OptionsDialogReader::preBroadcastFile() const
{
    return dialog_.preBroadcastFile();
}

QString OptionsDialogReader::preBroadcastSound(int flag) const
{
    switch (flag) {
    case 1:
        return dialog_.preBroadcastSound1();
    case 2:
        return dialog_.preBroadcastSound2();
    case 3:
        return dialog_.preBroadcastSound3();
    default:
        return QString();
    }
}

bool OptionsDialogReader::preBroadcastWait() const
{
    return dialog_.preBroadcastWait();
}

ControlPanelWiring::ControlPanelWiring(FareDisplay& display, OptionsDialog& options)
    : options_(options), reader_(options),
      panel_(std::make_unique<ControlPanel>(&display, &reader_, &tape_, &route_))
{
    panel_->setOptionsDialog(&options);
    panel_->setTicketPlugins(options.ticketPlugins());
    options.setControlPanelLink(panel_.get());
    sound::setTapeOptions(&reader_);
}

ControlPanelWiring::~ControlPanelWiring()
{
    sound::setTapeOptions(nullptr);
    options_.setControlPanelLink(nullptr);
}
