#include "settingsfile.h"

#include "app/faredisplaywindow.h"
#include "dialogs/pickers.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace
{

void showSettingsError(int number, const QString& description)
{
    platform::showMessageBox(QStringLiteral("エラー Code:") + QString::number(number) +
                                 QStringLiteral("\r\n内容:") + description,
                             platform::MessageBox::OKOnly);
}

void showSettingsError(const platform::RuntimeError& error)
{
    showSettingsError(error.number(), error.description());
}

// The runtime error for a failed QFile/QSaveFile operation.
platform::RuntimeError fileError(int savedErrno)
{
    return platform::RuntimeError(
        platform::errorNumberFromErrno(savedErrno != 0 ? savedErrno : EIO));
}

void collectRecords(const SettingsWindows& w, SettingsRecords& r)
{
    for (int i = 1; i <= SettingsElementCount; ++i) {
        DigitElement* element = w.display->fareElement(i);
        r.digitRules[i - 1] = {element->shift(), element->zeroMode(), element->fillZero()};
    }
    r.options = w.options->optionInfo();
    r.controlPanel = w.controlPanel->panelState();
    r.displayPosition = w.display->windowPosition();
    r.customColors = customColors();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw fileError(errno);
    if (file.write(bytes) != bytes.size()) {
        const int err = errno;
        file.cancelWriting();
        throw fileError(err);
    }
    errno = 0;
    if (!file.commit())
        throw fileError(errno);
}

// Every fare element gets its rules and the option colours and is left blank.
void applyToDigitElements(const SettingsWindows& w, const SettingsRecords& r)
{
    const OptionDigits& d = r.options.Digits;
    for (int i = 1; i <= SettingsElementCount; ++i) {
        DigitElement* element = w.display->fareElement(i);
        const DigitRules& rules = r.digitRules[i - 1];
        element->setZeroMode(rules.zeroMode);
        element->setShift(rules.shift);
        element->setFillZero(rules.fillZero);
        element->setBackColor(d.DigitBackColor);
        element->setUnlitColor(d.DigitUnlitColor);
        element->setLitColor(d.DigitLitColor);
        element->setValue(ElementValue(QStringLiteral(" ")));
    }
    for (int i = 0; i <= 1; ++i) {
        DigitElement* clock = w.display->clockElement(i);
        clock->setBackColor(d.DigitBackColor);
        clock->setUnlitColor(d.DigitUnlitColor);
        clock->setLitColor(d.DigitLitColor);
    }
}

void applyToStopNameBoard(const SettingsWindows& w, const SettingsRecords& r)
{
    const OptionStopName& s = r.options.StopName;
    NextStopNameBoard* board = w.display->stopNameBoard();
    board->setBackColor(s.StopNameBackColor);
    board->setForeColor(s.StopNameForeColor);
    board->setPrefixMode(s.NextStopMode);
    board->setPrefixColor(s.NextStopColor);
    board->setPrefixBold(s.NextStopBold != 0);
    board->setPrefixFontMode(s.NextStopFontMode);
}

} // namespace

QString settingsFilePath()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    QString folder = exe.absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + exe.completeBaseName() + QStringLiteral(".in4");
}

SettingsRecords& settingsRecords()
{
    static SettingsRecords records;
    return records;
}

bool writeSettingsFile(const SettingsWindows& windows, const QString& path)
{
    try {
        SettingsRecords& records = settingsRecords();
        collectRecords(windows, records);
        writeFile(path, encodeSettings(records));
        return true;
    } catch (const platform::RuntimeError& error) {
        showSettingsError(error);
        return false;
    }
}

bool readSettingsFile(const SettingsWindows& windows, const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false; // the first run: the built-in defaults stay
    try {
        if (info.isDir())
            throw platform::RuntimeError(platform::ErrorNumber::PathFileAccess);
        QFile file(path);
        errno = 0;
        if (!file.open(QIODevice::ReadOnly))
            throw fileError(errno);
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw fileError(errno);
        file.close();

        SettingsRecords& records = settingsRecords();
        decodeSettings(bytes, records);
        customColors() = records.customColors;

        applyToDigitElements(windows, records);
        applyToStopNameBoard(windows, records);
        windows.options->applyOptionInfo(records.options);
        windows.controlPanel->restorePanelState(records.controlPanel);
        windows.display->restoreWindowPosition(records.displayPosition);
        windows.options->applyDisplayOptions();
        return true;
    } catch (const platform::RuntimeError& error) {
        showSettingsError(error);
        return false;
    }
}
