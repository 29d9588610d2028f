#include "options/displaylookoptions.h"

#include "platform/colorconversion.h"

namespace
{

QColor ticketColorFor(const OptionPanel& panel, int backlight)
{
    switch (backlight) {
    case 0:
        return platform::toQColor(panel.TicketColorOff);
    case 1:
        return platform::toQColor(panel.TicketColorOn1);
    case 2:
        return platform::toQColor(panel.TicketColorOn2);
    default:
        return platform::toQColor(0);
    }
}

} // namespace

DisplayLook displayLookFrom(const OptionInfo& options, int backlight)
{
    using platform::toQColor;
    const OptionDigits& d = options.Digits;
    const OptionStopName& s = options.StopName;
    DisplayLook look;
    look.digits = {toQColor(d.DigitBackColor), toQColor(d.DigitUnlitColor),
                   toQColor(d.DigitLitColor)};
    look.stopName.back = toQColor(s.StopNameBackColor);
    look.stopName.fore = toQColor(s.StopNameForeColor);
    look.stopName.typeface = static_cast<BoardTypeface>(s.StopNameFontMode);
    // A check box's grey state (2) is not bold.
    look.stopName.bold = s.StopNameBold == 1;
    look.stopName.prefix = static_cast<NextStopPrefix>(s.NextStopMode);
    look.stopName.prefixColor = toQColor(s.NextStopColor);
    look.stopName.prefixTypeface = static_cast<PrefixTypeface>(s.NextStopFontMode);
    look.stopName.prefixBold = s.NextStopBold == 1;
    look.ticketLabelsShown = options.Panel.AutoTicketNumbers != 0;
    look.ticketLabelColor = ticketColorFor(options.Panel, backlight);
    return look;
}
