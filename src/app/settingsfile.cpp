#include "settingsfile.h"

#include "app/faredisplaywindow.h"
#include "app/windowplacement.h"
#include "dialogs/pickers.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"

#include <cstdio>

using platform::RuntimeError;

namespace
{

// The settings routines' message: "エラー Code:" number, CR LF, "内容:" description.
QString errorText(int number, const QString& description)
{
    return QStringLiteral("エラー Code:") + QString::number(number) + QStringLiteral("\r\n内容:") +
           description;
}

void showLoadError(const RuntimeError& error, const QString& path)
{
    platform::showMessageBox(errorText(error.number(), error.description()),
                             platform::MessageBox::OKOnly, QString(), nullptr, path);
}

// One message for every field skipped: their names after the description, the file and the
// values that were refused in the details.
void showRefusedOptions(const std::vector<RefusedOption>& refused, const QString& path)
{
    QStringList names;
    QString details = path;
    for (const RefusedOption& option : refused) {
        names.append(option.field);
        details += QStringLiteral("\n%1 = %2").arg(option.field).arg(option.value);
    }
    const RuntimeError error(platform::ErrorNumber::InvalidPropertyValue);
    const QString description =
        error.description() + QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
    platform::showMessageBox(errorText(error.number(), description), platform::MessageBox::OKOnly,
                             QString(), nullptr, details);
}

QString writeFailure(const QString& path)
{
    return QStringLiteral("設定ファイル「") + path + QStringLiteral("」に書き込めませんでした。");
}

void reportWriteError(const RuntimeError& error, const QString& path, SettingsFile::Report report)
{
    switch (report) {
    case SettingsFile::Report::MessageBox:
        platform::showMessageBox(errorText(error.number(), error.description()) +
                                 QStringLiteral("\r\n") + writeFailure(path));
        break;
    case SettingsFile::Report::StandardError:
        std::fputs(
            qPrintable(
                QStringLiteral("fare: ") + writeFailure(path) +
                QStringLiteral(" (Code:%1 %2)\n").arg(error.number()).arg(error.description())),
            stderr);
        break;
    case SettingsFile::Report::Silent:
        break;
    }
}

SettingsRecords collectFrom(const SettingsWindows& w)
{
    SettingsRecords r;
    for (int i = 1; i <= SettingsElementCount; ++i) {
        DigitElement* element = w.display->fareElement(i);
        r.digitRules[i - 1] = {element->shift(), element->zeroMode(), element->fillZero()};
    }
    r.options = w.options->optionInfo();
    r.controlPanel = w.controlPanel->panelState();
    r.displayPosition = w.display->windowPosition();
    r.customColors = customColors();
    return r;
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

SettingsRecords& settingsRecords()
{
    static SettingsRecords records;
    return records;
}

SettingsFile::SettingsFile(const SettingsWindows& windows, const QString& path)
    : windows_(windows), writer_(path)
{
}

void SettingsFile::load()
{
    const SettingsFileRead read = readSettingsBytes(path());
    if (read.status == SettingsFileRead::Status::Failed) {
        showLoadError(RuntimeError(read.errorNumber), path());
        writer_.keepOriginalOnNextWrite();
    } else if (read.status == SettingsFileRead::Status::Read) {
        SettingsRecords& records = settingsRecords();
        // Start from the windows' defaults: a field the file does not reach keeps its own.
        records = collectFrom(windows_);
        const bool complete = decodeSettings(read.bytes, records);
        const std::vector<RefusedOption> refused =
            windows_.options->replaceRefusedOptions(records.options);
        const bool applied = applyLoaded(records);
        if (!refused.empty())
            showRefusedOptions(refused, path());
        if (!complete || !refused.empty() || !applied)
            writer_.keepOriginalOnNextWrite();
    }
    foldersInFile_ = {windows_.options->fareDataFolder(), windows_.options->broadcastDataFolder()};
    applyDataFoldersForThisRun();
}

// The order of the load: elements, stop-name board, options, control panel, display window,
// then the display options. Each step goes on whatever an earlier one met.
bool SettingsFile::applyLoaded(const SettingsRecords& records)
{
    customColors() = records.customColors;
    applyToDigitElements(windows_, records);
    applyToStopNameBoard(windows_, records);
    bool applied = true;
    try {
        windows_.options->applyOptionInfo(records.options);
    } catch (const RuntimeError& error) {
        showLoadError(error, path());
        applied = false;
    }
    windows_.controlPanel->restorePanelState(records.controlPanel);
    keepWindowOnScreen(*windows_.controlPanel);
    windows_.display->restoreWindowPosition(records.displayPosition);
    keepWindowOnScreen(*windows_.display);
    windows_.options->applyDisplayOptions();
    return applied;
}

void SettingsFile::applyDataFoldersForThisRun()
{
    if (dataFolderForThisRun_.isEmpty())
        return;
    windows_.options->setFareDataFolder(dataFolderForThisRun_);
    windows_.options->setBroadcastDataFolder(dataFolderForThisRun_);
}

SettingsRecords SettingsFile::collect() const
{
    SettingsRecords records = collectFrom(windows_);
    if (!dataFolderForThisRun_.isEmpty()) {
        OptionFolders& folders = records.options.Folders;
        if (folders.FareDataFolder == dataFolderForThisRun_)
            folders.FareDataFolder = foldersInFile_.FareDataFolder;
        if (folders.BroadcastDataFolder == dataFolderForThisRun_)
            folders.BroadcastDataFolder = foldersInFile_.BroadcastDataFolder;
    }
    return records;
}

bool SettingsFile::save(Report report)
{
    SettingsRecords& records = settingsRecords();
    records = collect();
    try {
        writer_.write(encodeSettings(records));
        return true;
    } catch (const RuntimeError& error) {
        reportWriteError(error, path(), report);
        return false;
    }
}
