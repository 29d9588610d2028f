#pragma once

#include "app/preferences.h"
#include "app/settingsstorage.h"
#include "dialogs/pickers.h"
#include "formats/settingscodec.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"

#include <QString>
#include <optional>

class FareDisplayWindow;
class ControlPanel;

namespace tickets
{
class PluginChoice;
}

// What the settings file carries the state of: the two windows, the options with the colour
// picker's custom colours, and the ticket plug-in the options name (loaded with them).
struct SettingsWindows {
    FareDisplayWindow* display = nullptr;
    core::Options* options = nullptr;
    CustomColorTable* customColors = nullptr;
    tickets::PluginChoice* plugin = nullptr;
    ControlPanel* controlPanel = nullptr;
};

// The settings file in use: read once at start-up, written at the exit and whenever a
// change is worth keeping, always with the same bytes for the same state.
class SettingsFile
{
public:
    // What the load met and what a save could not write go to boxes (or standard error).
    SettingsFile(const SettingsWindows& windows, const QString& path,
                 platform::MessageBoxes& boxes);

    const QString& path() const { return writer_.path(); }

    // Puts right what an interrupted save left (SettingsWriter::removeLeftovers), reads the
    // file and the preferences beside it and applies them to the windows.
    // - No file: nothing is applied and nothing is said (the first run).
    // - A file that cannot be read (a pipe, a device, a folder, too large, unreadable): the
    //   load message with the path in its details; the defaults stay. A regular one is
    //   renamed to <path>.bak (SettingsWriter::keepUsersFile) before anything is written.
    // - Every field is applied on its own: a value that its control cannot take keeps its
    //   default. A short file applies what it holds; the fields it does not reach keep their
    //   defaults. Bytes after the record are left unread.
    // - A path the preferences hold exactly replaces the file's where the file holds its
    //   CP932 form (Preferences::restoreExactPaths).
    // Whenever the file was not used whole, it is kept for the user as <path>.bak (or the
    // next free name, or in the state folder) before anything else, and one message says what
    // was met and where the user's file is.
    void load();

    enum class Report { MessageBox, StandardError, Silent };
    // Collects every setting from the windows and writes the file safely (SettingsWriter),
    // then the preferences. A failure is reported with the file's path as a write error; the
    // previous file stays. The preferences' failure is reported only when they hold
    // something the settings file does not.
    bool save(Report report = Report::MessageBox);

    // The fare and broadcast data folders for this run only: used and shown in the options
    // from the load on, while the file keeps the folders it had (unless the user picks
    // others in the options meanwhile).
    void setDataFoldersForThisRun(const QString& folder) { dataFolderForThisRun_ = folder; }

    SettingsWriter& writer() { return writer_; }

    // The exact paths and the preferences of the options, loaded and saved with the file.
    Preferences& preferences() { return preferences_; }

private:
    SettingsRecords collect() const;
    void reportFailedRead(const SettingsFileRead& read);
    void applyRead(const SettingsFileRead& read);
    void applyLoaded(const SettingsRecords& records);
    bool savePreferences(const core::OptionFileValues& options, Report report);
    void applyDataFoldersForThisRun();

    SettingsWindows windows_;
    platform::MessageBoxes& boxes_;
    SettingsWriter writer_;
    Preferences preferences_;
    QString dataFolderForThisRun_;
    QString fareFolderInFile_;
    QString broadcastFolderInFile_;
};
