#pragma once

class FareDisplay;

// Blanks the twelve fare elements (no lamp test).
void blankFareElements(FareDisplay& display);

// Shows the built-in OFF panel and makes it the panel of ON1 and ON2 as well.
void showBuiltInPanel(FareDisplay& display);
