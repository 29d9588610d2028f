#pragma once

#include "core/modes.h"
#include "core/options.h"
#include "elements/displaylook.h"
#include "platform/msgbox.h"

class FareDisplay;

// The display's look from the options and the backlight state (0 OFF, 1 ON1, 2 ON2; any
// other state draws the ticket numbers black). The one place the look is computed.
DisplayLook displayLookFrom(const core::Options& options, int backlight);

// Applies the display options to the display: its look with the backlight, and the
// ticket-number labels' numbering (a label missing is told in boxes). What "OK" of the
// options and a settings load both do.
void applyDisplayLook(FareDisplay& display, const core::Options& options, core::Backlight backlight,
                      platform::MessageBoxes& boxes);
