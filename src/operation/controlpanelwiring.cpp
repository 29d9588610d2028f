#include "controlpanelwiring.h"

#include "operation/frmctl.h"
#include "options/frmoption.h"
#include "sound/tape.h"

namespace
{

// A check value of 1 (or the greyed 2 a settings file may hold) switches an option on.
bool isOn(int checkValue)
{
    return checkValue != 0;
}

} // namespace

QString FrmOptionReader::fareDataFolder() const
{
    return dialog_.fareDataFolder();
}

QString FrmOptionReader::broadcastDataFolder() const
{
    return dialog_.broadcastDataFolder();
}

QString FrmOptionReader::routeSetSound() const
{
    return dialog_.routeSetSound();
}

QString FrmOptionReader::resetSound() const
{
    return dialog_.resetSound();
}

bool FrmOptionReader::stepSoundByColumn() const
{
    return dialog_.stepSoundByColumn();
}

QString FrmOptionReader::stepSoundFile() const
{
    return dialog_.stepSoundFile();
}

int FrmOptionReader::stepSoundColumn() const
{
    return dialog_.stepSoundColumn();
}

QString FrmOptionReader::stepSound(int k) const
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

bool FrmOptionReader::stepSoundWait() const
{
    return dialog_.stepSoundWait();
}

bool FrmOptionReader::infoStopOrderOn() const
{
    return isOn(dialog_.infoStopOrderOn());
}

int FrmOptionReader::infoStopOrderCell() const
{
    return dialog_.infoStopOrderCell();
}

bool FrmOptionReader::infoStopOrderFromZero() const
{
    return isOn(dialog_.infoStopOrderFromZero());
}

bool FrmOptionReader::infoTicketOn() const
{
    return isOn(dialog_.infoTicketOn());
}

int FrmOptionReader::infoTicketCell() const
{
    return dialog_.infoTicketCell();
}

bool FrmOptionReader::infoRouteOn() const
{
    return isOn(dialog_.infoRouteOn());
}

int FrmOptionReader::infoRouteCell() const
{
    return dialog_.infoRouteCell();
}

bool FrmOptionReader::infoColumnOn() const
{
    return isOn(dialog_.infoColumnOn());
}

int FrmOptionReader::infoColumn() const
{
    return dialog_.infoColumn();
}

int FrmOptionReader::infoColumnCell() const
{
    return dialog_.infoColumnCell();
}

TicketDateMode FrmOptionReader::ticketDateMode() const
{
    if (dialog_.dateFixed())
        return TicketDateMode::Fixed;
    if (dialog_.dateAtRouteSet())
        return TicketDateMode::AtRouteSet;
    return TicketDateMode::EachPrint;
}

QString FrmOptionReader::fixedDate() const
{
    return dialog_.fixedDate();
}

bool FrmOptionReader::useTicketPreview() const
{
    return isOn(dialog_.useTicketPreview());
}

QString FrmOptionReader::ticketPluginPath() const
{
    return dialog_.ticketPluginPath();
}

int FrmOptionReader::nextStopMode() const
{
    return dialog_.nextStopMode();
}

platform::VbColor FrmOptionReader::ticketColor(int state) const
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

bool FrmOptionReader::panelIndividual() const
{
    return dialog_.panelIndividual();
}

bool FrmOptionReader::panelUser(int state) const
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

QString FrmOptionReader::panelPicture(int state) const
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

bool FrmOptionReader::preBroadcastAlways() const
{
    return dialog_.preBroadcastAlways();
}

QString FrmOptionReader::preBroadcastFile() const
{
    return dialog_.preBroadcastFile();
}

QString FrmOptionReader::preBroadcastSound(int flag) const
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

bool FrmOptionReader::preBroadcastWait() const
{
    return dialog_.preBroadcastWait();
}

ControlPanelWiring::ControlPanelWiring(FareDisplay& display, frmOption& options)
    : options_(options), reader_(options),
      panel_(std::make_unique<frmCtl>(&display, &reader_, &sound::theTape()))
{
    panel_->setOptionsDialog(&options);
    options.setControlPanelLink(panel_.get());
    sound::setTapeOptions(&reader_);
}

ControlPanelWiring::~ControlPanelWiring()
{
    sound::setTapeOptions(nullptr);
    options_.setControlPanelLink(nullptr);
}
