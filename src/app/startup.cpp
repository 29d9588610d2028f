#include "app/startup.h"

#include "elements/faredisplay.h"

void blankFareElements(FareDisplay& display)
{
    display.blankFares();
}

void showBuiltInPanel(FareDisplay& display)
{
    display.useOffPanelForEveryState();
}
