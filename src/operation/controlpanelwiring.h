#pragma once

#include "operation/operationoptions.h"
#include "sound/tapeoptions.h"

#include <memory>

class FareDisplay;
class frmCtl;
class frmOption;

// The options as the control panel and the broadcast tape read them: straight from the
// options dialog's controls at each call.
class FrmOptionReader : public OperationOptions, public sound::TapeOptions
{
public:
    explicit FrmOptionReader(const frmOption& dialog) : dialog_(dialog) {}

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
    platform::VbColor ticketColor(int state) const override;
    bool panelIndividual() const override;
    bool panelUser(int state) const override;
    QString panelPicture(int state) const override;

    bool preBroadcastAlways() const override;
    QString preBroadcastFile() const override;
    QString preBroadcastSound(int flag) const override;
    bool preBroadcastWait() const override;

private:
    const frmOption& dialog_;
};

// The control panel with everything it drives: the fare display window, the options dialog
// and the one broadcast tape. Creating it connects the panel and the options both ways and
// gives the tape its options; the program then shows the panel.
class ControlPanelWiring
{
public:
    ControlPanelWiring(FareDisplay& display, frmOption& options);
    ~ControlPanelWiring();

    frmCtl& panel() { return *panel_; }
    FrmOptionReader& optionReader() { return reader_; }

private:
    frmOption& options_;
    FrmOptionReader reader_;
    std::unique_ptr<frmCtl> panel_;
};
