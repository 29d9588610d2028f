#pragma once

#include "app/settingscodec.h"
#include "app/settingsstorage.h"

#include <QString>

class FareDisplayWindow;
class ControlPanel;
class OptionsDialog;

// The process-wide set of records, filled from the windows before saving and pushed into
// them after loading.
SettingsRecords& settingsRecords();

// The three windows whose state the settings file carries.
struct SettingsWindows {
    FareDisplayWindow* display = nullptr;
    OptionsDialog* options = nullptr;
    ControlPanel* controlPanel = nullptr;
};

// The settings file in use: read once at start-up, written at the exit and whenever a
// change is worth keeping, always with the same bytes for the same state.
class SettingsFile
{
public:
    SettingsFile(const SettingsWindows& windows, const QString& path);

    const QString& path() const { return writer_.path(); }

    // Reads the file and applies it to the windows.
    // - No file: nothing is applied and nothing is said (the first run).
    // - A file that cannot be read (a pipe, a device, a folder, too large, unreadable): the
    //   load message with the path in its details; the defaults stay.
    // - Every field is applied on its own: a value that its control cannot take keeps its
    //   default, and one message names the fields skipped, with the path in its details.
    // - A short file applies what it holds; the fields it does not reach keep their defaults.
    // After a failed or partial load the first save keeps the user's file as <path>.bak.
    void load();

    enum class Report { MessageBox, StandardError, Silent };
    // Collects every setting from the windows and writes the file safely (SettingsWriter).
    // A failure is reported with the file's path as a write error; the previous file stays.
    bool save(Report report = Report::MessageBox);

    // The fare and broadcast data folders for this run only: used and shown in the options
    // from the load on, while the file keeps the folders it had (unless the user picks
    // others in the options meanwhile).
    void setDataFoldersForThisRun(const QString& folder) { dataFolderForThisRun_ = folder; }

    SettingsWriter& writer() { return writer_; }

private:
    SettingsRecords collect() const;
    bool applyLoaded(const SettingsRecords& records);
    void applyDataFoldersForThisRun();

    SettingsWindows windows_;
    SettingsWriter writer_;
    QString dataFolderForThisRun_;
    OptionFolders foldersInFile_;
};
