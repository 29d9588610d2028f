#include "testsupport.h"

#include "options/optionbinding.h"
#include "options/optionwidgets.h"
#include "platform/cp932.h"
#include "tickets/ticketplugin.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

core::OptionFileValues controlValues(const QWidget& dialog)
{
    core::OptionFileValues values;
    for (const OptionControl& control : optionControls()) {
        if (core::optionRow(control.option).store != core::OptionStore::SettingsFile)
            continue; // the desktop's preferences are not the settings file's
        const QWidget* widget = dialog.findChild<QWidget*>(QLatin1String(control.objectName));
        if (const auto* box = qobject_cast<const GreyableCheckBox*>(widget))
            values.set(control.option, box->value());
        else if (const auto* option = qobject_cast<const QRadioButton*>(widget))
            values.set(control.option, option->isChecked() ? -1 : 0);
        else if (const auto* list = qobject_cast<const QComboBox*>(widget))
            values.set(control.option, list->currentIndex());
        else if (const auto* color = qobject_cast<const ColorButton*>(widget))
            values.set(control.option, color->backColor());
        else if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
            values.set(control.option, edit->text());
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            values.set(control.option, label->text());
    }
    return values;
}

core::OptionFileValues fileValues(std::initializer_list<std::variant<qint64, QString>> values)
{
    core::OptionFileValues file;
    int id = 0;
    for (const auto& value : values) {
        const auto option = static_cast<core::OptionId>(id++);
        if (const auto* text = std::get_if<QString>(&value))
            file.set(option, *text);
        else
            file.set(option, std::get<qint64>(value));
    }
    return file;
}

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
