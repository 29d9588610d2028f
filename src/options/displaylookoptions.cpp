#include "options/displaylookoptions.h"

#include "elements/faredisplay.h"
#include "platform/colorconversion.h"
#include "tickets/ticketlabels.h"

namespace
{

// The ticket numbers' colour in a backlight state; black in no state at all.
QColor ticketColorFor(const core::Options& options, int backlight)
{
    if (backlight < 0 || backlight > 2)
        return QColor(Qt::black);
    return platform::toQColor(options.ticketColor(static_cast<core::Backlight>(backlight)));
}

} // namespace

DisplayLook displayLookFrom(const core::Options& options, int backlight)
{
    using platform::toQColor;
    DisplayLook look;
    look.digits = {toQColor(options.digitBackColor()), toQColor(options.digitUnlitColor()),
                   toQColor(options.digitLitColor())};
    look.stopName.back = toQColor(options.stopNameBackColor());
    look.stopName.fore = toQColor(options.stopNameForeColor());
    look.stopName.typeface = static_cast<BoardTypeface>(options.stopNameFontMode());
    // A check box's grey state (2) is not bold.
    look.stopName.bold = options.stopNameBold() == 1;
    look.stopName.prefix = static_cast<NextStopPrefix>(options.nextStopMode());
    look.stopName.prefixColor = toQColor(options.nextStopColor());
    look.stopName.prefixTypeface = static_cast<PrefixTypeface>(options.nextStopFontMode());
    look.stopName.prefixBold = options.nextStopBold() == 1;
    look.ticketLabelsShown = options.autoTicketNumbers() != 0;
    look.ticketLabelColor = ticketColorFor(options, backlight);
    return look;
}

void applyDisplayLook(FareDisplay& display, const core::Options& options, core::Backlight backlight,
                      platform::MessageBoxes& boxes)
{
    display.applyLook(displayLookFrom(options, static_cast<int>(backlight)));
    numberTicketLabels(display, options.ticketNumberMode(), options.ticketZeroPad(), boxes);
}
