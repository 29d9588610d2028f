#include "app/startup.h"

#include "elements/faredisplay.h"
#include "elements/mdegit.h"

void ResetAllDegits(FareDisplay& display)
{
    for (int i = 1; i <= 12; ++i)
        display.Degit(i)->ResetDegit(false);
}

void showBuiltInPanel(FareDisplay& display)
{
    const QPixmap builtIn = display.imgRes(0);
    display.setPicture(builtIn);
    display.setImgRes(1, builtIn);
    display.setImgRes(2, builtIn);
}
