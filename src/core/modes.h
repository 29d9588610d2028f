#pragma once

#include <QObject>

// The modes the running bus is in, shared by the models and the windows that show them.
namespace core
{
Q_NAMESPACE

// The backlight of the fare display: the panel picture and the ticket-number colour follow it.
enum class Backlight {
    Off,
    On1,
    On2,
};
Q_ENUM_NS(Backlight)

// Which way a step through the route's stops goes: "データ戻し" back, "データ送り" forward.
enum class StepDirection {
    Back,
    Forward,
};
Q_ENUM_NS(StepDirection)

// How the numbered ticket gets its date.
enum class TicketDateMode {
    EachPrint,  // today's date at every drawing
    AtRouteSet, // the date kept from the last route setting
    Fixed,      // the fixed date of the options
};
Q_ENUM_NS(TicketDateMode)

} // namespace core
