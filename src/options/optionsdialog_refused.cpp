// Settings values that the dialog's check boxes and lists cannot take.
#include "options/optionsdialog.h"

#include <QComboBox>

std::vector<RefusedOption> OptionsDialog::replaceRefusedOptions(OptionInfo& info) const
{
    const OptionInfo present = optionInfo();
    std::vector<RefusedOption> refused;
    // The rule of applyOptionInfo(): a check box takes 0..2, a list -1 .. its count - 1.
    auto keep = [&refused](const char* name, qint16& value, qint16 presentValue,
                           const QComboBox* list = nullptr) {
        const int lowest = list ? -1 : 0;
        const int highest = list ? list->count() - 1 : 2;
        if (value >= lowest && value <= highest)
            return;
        refused.push_back({QString::fromLatin1(name), value});
        value = presentValue;
    };

    OptionPanel& panel = info.Panel;
    keep("AutoTicketNumbers", panel.AutoTicketNumbers, present.Panel.AutoTicketNumbers);
    keep("TicketNumberMode", panel.TicketNumberMode, present.Panel.TicketNumberMode,
         ticketNumberModeList_);
    keep("TicketZeroPad", panel.TicketZeroPad, present.Panel.TicketZeroPad);

    OptionDigits& digits = info.Digits;
    const OptionDigits& presentDigits = present.Digits;
    keep("InfoStopOrderOn", digits.InfoStopOrderOn, presentDigits.InfoStopOrderOn);
    keep("InfoStopOrderCell", digits.InfoStopOrderCell, presentDigits.InfoStopOrderCell,
         infoStopOrderCellList_);
    keep("InfoStopOrderFromZero", digits.InfoStopOrderFromZero,
         presentDigits.InfoStopOrderFromZero);
    keep("InfoTicketOn", digits.InfoTicketOn, presentDigits.InfoTicketOn);
    keep("InfoTicketCell", digits.InfoTicketCell, presentDigits.InfoTicketCell,
         infoTicketCellList_);
    keep("InfoRouteOn", digits.InfoRouteOn, presentDigits.InfoRouteOn);
    keep("InfoRouteCell", digits.InfoRouteCell, presentDigits.InfoRouteCell, infoRouteCellList_);
    keep("InfoColumnOn", digits.InfoColumnOn, presentDigits.InfoColumnOn);
    keep("InfoColumn", digits.InfoColumn, presentDigits.InfoColumn, infoColumnList_);
    keep("InfoColumnCell", digits.InfoColumnCell, presentDigits.InfoColumnCell,
         infoColumnCellList_);

    OptionStopName& stopName = info.StopName;
    const OptionStopName& presentStopName = present.StopName;
    keep("StopNameFontMode", stopName.StopNameFontMode, presentStopName.StopNameFontMode,
         stopNameFontList_);
    keep("StopNameBold", stopName.StopNameBold, presentStopName.StopNameBold);
    keep("NextStopMode", stopName.NextStopMode, presentStopName.NextStopMode, nextStopModeList_);
    keep("NextStopFontMode", stopName.NextStopFontMode, presentStopName.NextStopFontMode,
         nextStopFontList_);
    keep("NextStopBold", stopName.NextStopBold, presentStopName.NextStopBold);

    keep("StepSoundColumn", info.Sounds.StepSoundColumn, present.Sounds.StepSoundColumn,
         stepSoundColumnList_);
    keep("UseTicketPreview", info.Ticket.UseTicketPreview, present.Ticket.UseTicketPreview);
    return refused;
}
