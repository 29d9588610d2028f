#pragma once

class FareDisplay;

// Blanks the twelve fare elements (no lamp test).
void blankFareElements(FareDisplay& display);

// Shows the built-in panel held in backlightPicture(0) and makes it the picture of
// backlightPicture(1) and (2).
void showBuiltInPanel(FareDisplay& display);
