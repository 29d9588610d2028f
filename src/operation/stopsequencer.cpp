#include "stopsequencer.h"

#include "core/options.h"
#include "core/routesession.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace stops
{

namespace
{

// An element position from a list position; 0 when the list has nothing selected.
int elementAt(int cellPosition)
{
    return cellPosition >= 0 && cellPosition < FareElementCount ? cellPosition + 1 : 0;
}

int columnAt(int columnPosition)
{
    return columnPosition >= 0 && columnPosition < core::FareColumnCount ? columnPosition + 1 : 0;
}

} // namespace

QString withTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

QString appendDigit(const QString& display, int digit, int limit)
{
    if (display.size() >= limit || digit < 0 || digit > 9)
        return display;
    return display + QString::number(digit);
}

qint16 nightFare(qint16 value, bool night)
{
    if (!night || value == -1)
        return value;
    const qint32 doubled = 2 * static_cast<qint32>(value);
    return static_cast<qint16>(std::clamp<qint32>(doubled, std::numeric_limits<qint16>::min(),
                                                  std::numeric_limits<qint16>::max()));
}

QString ticketDateText(const QDate& date)
{
    return date.toString(QStringLiteral("MM-dd-yyyy"));
}

QString ticketTimeText(const QTime& time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString currentTicketDate(const core::Options& options, const QString& keptDate, const QDate& today)
{
    switch (options.ticketDateMode()) {
    case core::TicketDateMode::EachPrint:
        return ticketDateText(today);
    case core::TicketDateMode::AtRouteSet:
        return keptDate;
    case core::TicketDateMode::Fixed:
        return options.fixedDate();
    }
    return QString();
}

QString routeSetTicketDate(const core::Options& options, const QDate& today)
{
    return options.ticketDateMode() == core::TicketDateMode::Fixed ? options.fixedDate()
                                                                   : ticketDateText(today);
}

QString stepSound(const core::Options& options, const core::FareRecord& row)
{
    if (!options.stepSoundByColumn())
        return options.stepSoundFile();
    const int column = columnAt(options.stepSoundColumn());
    if (column == 0)
        return QString();
    return options.stepSound(row.column(column));
}

std::vector<ElementWrite> stopElementWrites(const core::FareRecord& row, int n, int section,
                                            bool night, const core::Options& options,
                                            const QString& routeText)
{
    std::vector<ElementWrite> writes;
    for (int i = std::max(section, 1); i <= FareElementCount; ++i)
        writes.push_back({i, ElementValue(static_cast<int>(nightFare(row.column(i), night)))});

    if (core::isOn(options.infoStopOrderOn())) {
        if (const int element = elementAt(options.infoStopOrderCell()))
            writes.push_back(
                {element, ElementValue(core::isOn(options.infoStopOrderFromZero()) ? n - 1 : n)});
    }
    if (core::isOn(options.infoTicketOn())) {
        if (const int element = elementAt(options.infoTicketCell()))
            writes.push_back({element, ElementValue(static_cast<int>(row.ticketNo))});
    }
    if (core::isOn(options.infoRouteOn())) {
        if (const int element = elementAt(options.infoRouteCell()))
            writes.push_back({element, ElementValue(routeText)});
    }
    if (core::isOn(options.infoColumnOn())) {
        const int element = elementAt(options.infoColumnCell());
        const int column = columnAt(options.infoColumn());
        if (element != 0 && column != 0)
            writes.push_back({element, ElementValue(static_cast<int>(row.column(column)))});
    }
    return writes;
}

qint32 routeNumber(const QString& routeText)
{
    const std::optional<double> value = parseNumber(routeText);
    if (!value || !std::isfinite(*value))
        return 0;
    const double rounded = std::nearbyint(*value);
    if (rounded > std::numeric_limits<qint32>::max() ||
        rounded < std::numeric_limits<qint32>::min())
        return 0;
    return static_cast<qint32>(rounded);
}

} // namespace stops
