#include "controlpaneltestsupport.h"

#include "operation/hy3file.h"
#include "platform/cp932.h"

#include <QApplication>
#include <QFile>

namespace paneltest
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "fare";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

bool RecordingBoard::drawName(const QByteArray& cp932Name)
{
    shown.push_back({platform::fromCp932(cp932Name), prefixMode()});
    return NextStopNameBoard::drawName(cp932Name);
}

TestDisplay::TestDisplay()
{
    window_.resize(498, 248);
    for (int i = 0; i < 12; ++i) {
        fareElements_[size_t(i)] = new DigitElement(&window_);
        fareElements_[size_t(i)]->setDigitCount(3);
        ticketLabels_[size_t(i)] = new QLabel(QString::number(i + 1), &window_);
    }
    for (int i = 0; i < 2; ++i) {
        clockElements_[size_t(i)] = new DigitElement(&window_);
        clockElements_[size_t(i)]->setDigitCount(2);
        clockElements_[size_t(i)]->setVisible(false);
    }
    board_ = new RecordingBoard(&window_);
    timer_.setInterval(1000);
    QPixmap builtin(498, 248);
    builtin.fill(Qt::black);
    backlightPictures_ = {builtin, builtin, builtin};
    picture_ = builtin;
}

TestDisplay::~TestDisplay() = default;

QString TestDisplay::value(int i)
{
    return fareElement(i)->value().toString();
}

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
    file.write(hy3::encode(records));
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
