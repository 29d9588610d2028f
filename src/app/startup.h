#pragma once

class FareDisplay;

// Blanks the twelve fare elements (no lamp test).
void ResetAllDegits(FareDisplay& display);

// Shows the built-in panel held in imgRes(0) and makes it the picture of imgRes(1) and (2).
void showBuiltInPanel(FareDisplay& display);
