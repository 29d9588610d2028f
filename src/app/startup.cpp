#include "app/startup.h"

#include "elements/digitelement.h"
#include "elements/faredisplay.h"

void blankFareElements(FareDisplay& display)
{
    for (int i = 1; i <= 12; ++i)
        display.fareElement(i)->resetDigits(false);
}

void showBuiltInPanel(FareDisplay& display)
{
    const QPixmap builtIn = display.backlightPicture(0);
    display.setCurrentPicture(builtIn);
    display.setBacklightPicture(1, builtIn);
    display.setBacklightPicture(2, builtIn);
}
