#include "tickets/ticketlabels.h"

#include "elements/faredisplay.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"

namespace
{

constexpr int LabelCount = 12;
// Runtime error for a label that the window does not have.
constexpr int NoSuchControlElement = 340;

QString formatTicketNumber(int n, int zeroFill)
{
    return zeroFill != 0 ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))
                         : QString::number(n);
}

} // namespace

QString ticketLabelPrefix(int mode)
{
    switch (mode) {
    case 2:
    case 3:
        return QStringLiteral("な し");
    case 4:
    case 5:
        return QStringLiteral("無 券");
    case 6:
    case 7:
        return QStringLiteral("券なし");
    case 8:
    case 9:
        return QStringLiteral("券無し");
    default:
        return QString();
    }
}

TicketLabelNumbering ticketLabelNumbering(int mode, int zeroFill)
{
    TicketLabelNumbering result;
    if (mode < 2) {
        result.firstLabelFace = platform::NumC1Face;
    } else {
        // Label 1 carries a prefix instead of a number; unknown modes leave it empty.
        result.firstLabelFace = platform::PGothicFace;
        result.captions[0] = ticketLabelPrefix(mode);
    }

    // Modes 0 and 1 number every label; prefixed modes start at label 2.
    int first = 0;
    int offset = 0;
    if (mode == 0) {
        first = 1;
    } else if (mode == 1) {
        first = 1;
        offset = -1;
    } else if (mode >= 2 && mode <= 11) {
        first = 2;
        offset = (mode % 2 == 0) ? -1 : 0;
    }
    if (first == 0)
        return result;
    for (int i = first; i <= LabelCount; ++i)
        result.captions[i - 1] = formatTicketNumber(i + offset, zeroFill);
    return result;
}

QString numberingErrorText(int number, const QString& description)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("エラーです！") + crlf + crlf + QStringLiteral("コード：") +
           QString::number(number) + crlf + crlf + QStringLiteral("内容：") + description + crlf +
           crlf + QStringLiteral("モジュール：IniIO-SeirikenNumSet( )");
}

void numberTicketLabels(FareDisplay& display, int mode, int zeroFill, platform::MessageBoxes& boxes)
{
    const TicketLabelNumbering numbering = ticketLabelNumbering(mode, zeroFill);
    const std::optional<int> missing = display.setTicketLabels(
        numbering.captions, platform::mappedFamily(numbering.firstLabelFace));
    if (!missing)
        return;
    const QString description =
        QStringLiteral("コントロール配列の要素 %1 が存在しません。").arg(*missing);
    boxes.show(numberingErrorText(NoSuchControlElement, description),
               platform::MessageBox::Critical, QStringLiteral("エラー！"));
}
