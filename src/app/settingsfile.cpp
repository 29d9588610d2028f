#include "settingsfile.h"

#include "app/faredisplaywindow.h"
#include "app/windowplacement.h"
#include "operation/controlpanel.h"
#include "options/displaylookoptions.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "tickets/pluginchoice.h"

#include <QFileInfo>
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

QString errorText(const RuntimeError& error)
{
    return errorText(error.number(), error.description());
}

// The fields skipped, by name after the description.
QString refusedText(const std::vector<core::RefusedValue>& refused)
{
    QStringList names;
    for (const core::RefusedValue& option : refused)
        names.append(option.field);
    const RuntimeError error(platform::ErrorNumber::InvalidPropertyValue);
    return errorText(error.number(), error.description() + QStringLiteral(" (") +
                                         names.join(QStringLiteral(", ")) + u')');
}

// The file and the values that were refused, behind the details button.
QString refusedDetails(const std::vector<core::RefusedValue>& refused, const QString& path)
{
    QString details = path;
    for (const core::RefusedValue& option : refused)
        details += QStringLiteral("\n%1 = %2").arg(option.field).arg(option.value);
    return details;
}

QString shortFileText()
{
    return errorText(RuntimeError(platform::ErrorNumber::InputPastEnd)) +
           QStringLiteral(
               "\r\n設定ファイルが途中で終わっているため、足りない設定には既定の値を使います。");
}

QString bytesBeyondText(qsizetype count)
{
    return QStringLiteral(
               "設定ファイルの終わりに、このバージョンでは使わない %1 バイトがあります。")
        .arg(count);
}

// Where the user's own file is now, or that it has no place and so is never written over.
QString keptText(const QString& path, const QString& kept)
{
    if (kept.isEmpty())
        return QStringLiteral("元の設定ファイル「") + path +
               QStringLiteral("」を残せる場所がないため、このファイルには保存しません。");
    return QStringLiteral("元の設定ファイル「") + path + QStringLiteral("」は「") + kept +
           QStringLiteral("」に残してあります。");
}

// One message for everything the load met: OK button, no icon, the application's title.
void showLoadMessage(platform::MessageBoxes& boxes, const QStringList& findings,
                     const QString& details)
{
    boxes.show(findings.join(QStringLiteral("\r\n")), platform::MessageBox::OKOnly, QString(),
               nullptr, details);
}

QString writeFailure(const QString& path)
{
    return QStringLiteral("設定ファイル「") + path + QStringLiteral("」に書き込めませんでした。");
}

void reportWriteError(platform::MessageBoxes& boxes, const RuntimeError& error, const QString& path,
                      SettingsFile::Report report)
{
    switch (report) {
    case SettingsFile::Report::MessageBox:
        boxes.show(errorText(error.number(), error.description()) + QStringLiteral("\r\n") +
                   writeFailure(path));
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
        const FareDigitRules rules = w.display->fareRules(i);
        r.digitRules[i - 1] = {static_cast<qint16>(rules.shift),
                               static_cast<qint16>(rules.zeroMode),
                               static_cast<qint16>(rules.fillZero)};
    }
    r.options = w.options->fileValues();
    r.controlPanel = w.controlPanel->panelState();
    r.displayPosition = w.display->windowPosition();
    r.customColors = *w.customColors;
    return r;
}

// Every fare element gets its rules and is left blank; the display takes the loaded look.
void applyToDisplay(const SettingsWindows& w, const SettingsRecords& r)
{
    for (int i = 1; i <= SettingsElementCount; ++i) {
        const DigitRules& rules = r.digitRules[i - 1];
        w.display->setFareRules(i, {rules.shift, rules.zeroMode, rules.fillZero});
    }
    // The file's options as the options will hold them once applied.
    core::Options loaded;
    loaded.setFileValues(r.options);
    w.display->applyLook(
        displayLookFrom(loaded, static_cast<int>(w.controlPanel->selectedBacklight())));
    for (int i = 1; i <= SettingsElementCount; ++i)
        w.display->showFare(i, ElementValue(QStringLiteral(" ")));
}

} // namespace

SettingsFile::SettingsFile(const SettingsWindows& windows, const QString& path,
                           platform::MessageBoxes& boxes)
    : windows_(windows), boxes_(boxes), writer_(path),
      preferences_(Preferences::pathFor(path), *windows.options)
{
}

void SettingsFile::load()
{
    writer_.removeLeftovers({preferences_.path()}, [](const QByteArray& bytes) {
        SettingsRecords scratch;
        return decodeSettingsRecord(bytes, scratch).whole();
    });
    preferences_.load();
    const SettingsFileRead read = readSettingsBytes(path());
    if (read.status == SettingsFileRead::Status::Failed)
        reportFailedRead(read);
    else if (read.status == SettingsFileRead::Status::Read)
        applyRead(read);
    fareFolderInFile_ = windows_.options->fareDataFolder();
    broadcastFolderInFile_ = windows_.options->broadcastDataFolder();
    applyDataFoldersForThisRun();
}

// Nothing is applied. A regular file is kept for the user before anything is written over it;
// a pipe, a device or a folder is never written anyway.
void SettingsFile::reportFailedRead(const SettingsFileRead& read)
{
    QStringList findings = {errorText(RuntimeError(read.errorNumber))};
    if (QFileInfo(path()).isFile())
        findings << keptText(path(), writer_.keepUsersFile(read));
    showLoadMessage(boxes_, findings, path());
}

// Everything the file holds is applied. A file that is short, longer than the record or holds
// values the windows refuse is kept for the user first, and one message says what was met.
void SettingsFile::applyRead(const SettingsFileRead& read)
{
    // Start from the windows' defaults: a field the file does not reach keeps its own.
    SettingsRecords records = collectFrom(windows_);
    const SettingsDecoding decoding = decodeSettingsRecord(read.bytes, records);
    preferences_.restoreExactPaths(records.options);
    const std::vector<core::RefusedValue> refused =
        windows_.options->replaceRefused(records.options);

    QStringList findings;
    if (!decoding.complete)
        findings << shortFileText();
    if (!refused.empty())
        findings << refusedText(refused);
    if (decoding.bytesBeyond > 0)
        findings << bytesBeyondText(decoding.bytesBeyond);
    // Kept before the message: its loop can run a save.
    QString kept;
    if (!findings.isEmpty())
        kept = writer_.keepUsersFile(read);
    applyLoaded(records);
    if (!findings.isEmpty())
        showLoadMessage(boxes_, findings << keptText(path(), kept),
                        refusedDetails(refused, path()));
}

// The order of the load: elements, stop-name board, options, control panel, display window,
// then the display options. The options refused were left out before (replaceRefused).
void SettingsFile::applyLoaded(const SettingsRecords& records)
{
    *windows_.customColors = records.customColors;
    applyToDisplay(windows_, records);
    windows_.options->setFileValues(records.options);
    // The panel picture and the ticket-number colour with the options just loaded.
    windows_.controlPanel->reapplyBacklight();
    windows_.plugin->load(windows_.options->ticketPluginPath());
    windows_.controlPanel->restorePanelState(records.controlPanel);
    keepWindowOnScreen(*windows_.controlPanel);
    windows_.display->restoreWindowPosition(records.displayPosition);
    keepWindowOnScreen(*windows_.display);
    applyDisplayLook(*windows_.display, *windows_.options,
                     windows_.controlPanel->selectedBacklight(), boxes_);
    windows_.controlPanel->reapplyBacklight();
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
        using core::OptionId;
        core::OptionFileValues& options = records.options;
        if (options.text(OptionId::FareDataFolder) == dataFolderForThisRun_)
            options.set(OptionId::FareDataFolder, fareFolderInFile_);
        if (options.text(OptionId::BroadcastDataFolder) == dataFolderForThisRun_)
            options.set(OptionId::BroadcastDataFolder, broadcastFolderInFile_);
    }
    return records;
}

bool SettingsFile::save(Report report)
{
    const SettingsRecords records = collect();
    try {
        writer_.write(encodeSettings(records));
    } catch (const RuntimeError& error) {
        reportWriteError(boxes_, error, path(), report);
        return false;
    }
    return savePreferences(records.options, report);
}

// Written after the settings file, and only once there is something in it to keep: the
// settings file alone is the whole of the usual case.
bool SettingsFile::savePreferences(const core::OptionFileValues& options, Report report)
{
    preferences_.keepExactPaths(options);
    if (!preferences_.holdsMoreThanTheSettingsFile() && !QFileInfo::exists(preferences_.path()))
        return true;
    int errorNumber = 0;
    if (preferences_.save(&errorNumber) || !preferences_.holdsMoreThanTheSettingsFile())
        return true;
    reportWriteError(boxes_, RuntimeError(errorNumber), preferences_.path(), report);
    return false;
}
