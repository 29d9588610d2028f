#include "testsupport.h"

#include "platform/cp932.h"
#include "tickets/ticketplugin.h"

#include <QFile>

QString writePlugin(const QDir& dir, const QString& name, const std::map<int, int>& info)
{
    static const char* keys[] = {
        "Reserved",         "PreviewWidth",     "PreviewHeight",   "CanPrintDate", "CanPrintTime",
        "CanPrintRoute",    "CanPrintStopName", "CanPrintBarcode", "BarcodeCount", "RouteMax",
        "BarcodeRouteMode", "StopRangeFrom",    "StopRangeTo",     "CompanySwitch"};
    const auto value = [&](int i) {
        const auto it = info.find(i);
        return it == info.end() ? 0 : it->second;
    };
    QString text = QStringLiteral("4SP-TICKET-PLUGIN 1\r\n[Info]\r\n");
    for (int i = 0; i < 14; ++i) {
        int v = value(i);
        if (i == PluginInfo::PreviewWidth && v == 0)
            v = 3300;
        if (i == PluginInfo::PreviewHeight && v == 0)
            v = 1395;
        text += QStringLiteral("%1=%2\r\n").arg(QLatin1String(keys[i])).arg(v);
    }
    text += QStringLiteral("[Comment]\r\n試験用プラグイン %1\r\n").arg(name);
    const auto field = [&](const char* kind, int left) {
        text += QStringLiteral("[Field]\r\nField=%1\r\nRect=%2,0,300,300\r\n")
                    .arg(QLatin1String(kind))
                    .arg(left);
    };
    field("TicketNo", 0);
    if (value(PluginInfo::CanPrintDate) == 1)
        field("Date", 300);
    if (value(PluginInfo::CanPrintTime) == 1)
        field("Time", 600);
    if (value(PluginInfo::CanPrintRoute) == 1)
        field("Route", 900);
    if (value(PluginInfo::CanPrintStopName) == 1)
        field("StopName", 1200);
    if (value(PluginInfo::CompanySwitch) >= 1) {
        field("Company", 1500);
        text += QStringLiteral("[Companies]\r\n東西交通\r\n南北バス\r\n中央観光\r\n");
    }
    if (value(PluginInfo::CanPrintBarcode) == 1) {
        for (int b = 0; b < value(PluginInfo::BarcodeCount); ++b)
            text += QStringLiteral("[Barcode]\r\nRect=%1,600,600,300\r\n").arg(b * 600);
    }
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(platform::toCp932(text));
    return path;
}

QString writeGarbage(const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    // Starts like an executable; the size comes from the literal, which holds a NUL byte.
    static const char garbage[] = "MZ\x90\x00 this is no ticket plug-in";
    if (file.open(QIODevice::WriteOnly))
        file.write(garbage, sizeof garbage - 1);
    return path;
}
