#include "controlpaneltestsupport.h"

#include "formats/hy3file.h"
#include "platform/cp932.h"

#include <QFile>

namespace paneltest
{

void writeRoute(const QString& folder, const QString& routeNo, const std::vector<Stop>& stops)
{
    std::vector<hy3::Record> records;
    for (const Stop& stop : stops) {
        hy3::Record record;
        record.name = platform::toCp932(stop.name);
        record.ticketNo = stop.ticketNo;
        for (const auto& [column, value] : stop.columns)
            record.columns.at(size_t(column - 1)) = value;
        records.push_back(record);
    }
    QFile file(folder + QLatin1Char('/') + routeNo + QStringLiteral(".hy3"));
    file.open(QIODevice::WriteOnly);
    file.write(hy3::encode(records).value());
}

std::vector<Stop> numberedStops(int count)
{
    std::vector<Stop> stops;
    for (int k = 1; k <= count; ++k) {
        Stop stop{QStringLiteral("停留所%1").arg(k), qint16(k), {}};
        for (int i = 1; i <= 12; ++i)
            stop.columns[i] = qint16(100 * k + i);
        stops.push_back(stop);
    }
    return stops;
}

} // namespace paneltest
