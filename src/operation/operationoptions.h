#pragma once

#include "platform/bgrcolor.h"

#include <QString>

// How the numbered ticket gets its date.
enum class TicketDateMode {
    EachPrint,  // today's date at every drawing
    AtRouteSet, // the date kept from the last route setting
    Fixed,      // the fixed date of the options
};

// The options the control panel and its stop sequencing read, each at the moment it is used.
// The options dialog is the live store; the program reads it through this interface so that
// a changed option takes effect at the next operation. List positions are as the dialog's
// lists hold them: 0-based, -1 when nothing is selected.
class OperationOptions
{
public:
    virtual ~OperationOptions() = default;

    virtual QString fareDataFolder() const = 0;
    virtual QString broadcastDataFolder() const = 0;

    virtual QString routeSetSound() const = 0;
    virtual QString resetSound() const = 0;
    // false: every step plays stepSoundFile(); true: the value 1..3 of data column
    // stepSoundColumn() + 1 chooses stepSound(1..3).
    virtual bool stepSoundByColumn() const = 0;
    virtual QString stepSoundFile() const = 0;
    virtual int stepSoundColumn() const = 0;
    virtual QString stepSound(int k) const = 0; // k = 1..3
    virtual bool stepSoundWait() const = 0;

    // Information numbers: element = cell position + 1, column = column position + 1.
    virtual bool infoStopOrderOn() const = 0;
    virtual int infoStopOrderCell() const = 0;
    virtual bool infoStopOrderFromZero() const = 0;
    virtual bool infoTicketOn() const = 0;
    virtual int infoTicketCell() const = 0;
    virtual bool infoRouteOn() const = 0;
    virtual int infoRouteCell() const = 0;
    virtual bool infoColumnOn() const = 0;
    virtual int infoColumn() const = 0;
    virtual int infoColumnCell() const = 0;

    virtual TicketDateMode ticketDateMode() const = 0;
    virtual QString fixedDate() const = 0;
    virtual bool useTicketPreview() const = 0;
    virtual QString ticketPluginPath() const = 0;

    // The "次は" prefix mode of the stop-name board (list position).
    virtual int nextStopMode() const = 0;

    // Backlight state 0 = OFF, 1 = ON1, 2 = ON2.
    virtual platform::BgrColor ticketColor(int state) const = 0;
    virtual bool panelIndividual() const = 0;
    virtual bool panelUser(int state) const = 0;
    virtual QString panelPicture(int state) const = 0;
};
