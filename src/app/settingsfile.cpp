#include "settingsfile.h"

#include "app/form1.h"
#include "elements/chimeictl_c2.h"
#include "elements/mdegit.h"
#include "operation/frmctl.h"
#include "options/frmoption.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "dialogs/pickers.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace
{

void showSettingsError(int number, const QString& description)
{
    platform::MsgBox(QStringLiteral("エラー Code:") + QString::number(number) +
                         QStringLiteral("\r\n内容:") + description,
                     platform::Mb::OKOnly);
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

void collect(const SettingsWindows& w, SettingsRecords& r)
{
    for (int i = 1; i <= 12; ++i) {
        M_Degit* degit = w.display->Degit(i);
        r.Degits[i - 1] = {degit->Shift(), degit->ZeroMode(), degit->FillZero()};
    }
    r.Options = w.options->GetOptionInfo();
    r.Ctrl = w.controlPanel->GetCtrlDataInfo();
    r.Form = w.display->GetFormInfo();
    r.CustomColors = customColors();
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

void applyToDigits(const SettingsWindows& w, const SettingsRecords& r)
{
    const OptionDigits& d = r.Options.Digits;
    for (int i = 1; i <= 12; ++i) {
        M_Degit* degit = w.display->Degit(i);
        const DegitInfo& info = r.Degits[i - 1];
        degit->setZeroMode(info.ZeroMode);
        degit->setShift(info.Shift);
        degit->setFillZero(info.FillZero);
        degit->setBackColor(d.DigitBackColor);
        degit->setBaseForeColor(d.DigitUnlitColor);
        degit->setDegitForeColor(d.DigitLitColor);
        degit->setValue(VbValue(QStringLiteral(" ")));
    }
    for (int i = 0; i <= 1; ++i) {
        M_Degit* clock = w.display->TimeDegit(i);
        clock->setBackColor(d.DigitBackColor);
        clock->setBaseForeColor(d.DigitUnlitColor);
        clock->setDegitForeColor(d.DigitLitColor);
    }
}

void applyToStopName(const SettingsWindows& w, const SettingsRecords& r)
{
    const OptionStopName& s = r.Options.StopName;
    ChimeiCtl_C2* board = w.display->ChimeiCtl();
    board->setBackColor(s.StopNameBackColor);
    board->setForeColor(s.StopNameForeColor);
    board->setTsugiwaMode(s.NextStopMode);
    board->setTsugiwaColor(s.NextStopColor);
    board->setTsugiwaBold(s.NextStopBold != 0);
    board->setTsugiwaFontMode(s.NextStopFontMode);
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

bool SaveSettings(const SettingsWindows& windows, const QString& path)
{
    try {
        SettingsRecords& records = settingsRecords();
        collect(windows, records);
        writeFile(path, encodeSettings(records));
        return true;
    } catch (const platform::RuntimeError& error) {
        showSettingsError(error);
        return false;
    }
}

bool LoadSettings(const SettingsWindows& windows, const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false; // the first run: the built-in defaults stay
    try {
        if (info.isDir())
            throw platform::RuntimeError(platform::RtErr::PathFileAccess);
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
        customColors() = records.CustomColors;

        applyToDigits(windows, records);
        applyToStopName(windows, records);
        windows.options->SetOptionInfo(records.Options);
        windows.controlPanel->SetCtrlDataInfo(records.Ctrl);
        windows.display->SetFormInfo(records.Form);
        windows.options->SetProp();
        return true;
    } catch (const platform::RuntimeError& error) {
        showSettingsError(error);
        return false;
    }
}
