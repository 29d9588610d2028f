#include "options/displaylookoptions.h"

#include "elements/faredisplay.h"
#include "platform/colorconversion.h"
#include "tickets/ticketlabels.h"

namespace
{

QColor ticketColorFor(platform::BgrColor off, platform::BgrColor on1, platform::BgrColor on2,
                      int backlight)
{
    switch (backlight) {
    case 0:
        return platform::toQColor(off);
    case 1:
        return platform::toQColor(on1);
    case 2:
        return platform::toQColor(on2);
    default:
        return platform::toQColor(0);
    }
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
    look.ticketLabelColor = ticketColorFor(options.ticketColorOff(), options.ticketColorOn1(),
                                           options.ticketColorOn2(), backlight);
    return look;
}

void applyDisplayLook(FareDisplay& display, const core::Options& options, core::Backlight backlight)
{
    display.applyLook(displayLookFrom(options, static_cast<int>(backlight)));
    numberTicketLabels(display, options.ticketNumberMode(), options.ticketZeroPad());
}
