#pragma once

#include "core/options.h"

#include <QMap>
#include <QString>

// What the user set that the settings file cannot carry, kept in a small INI file beside it
// (fare.in4 → fare.ini): the paths that CP932 cannot hold exactly, and the voice's speed,
// pitch and volume. The settings file stays as it always was; this file only adds to it, so
// a missing, unreadable or damaged one changes nothing but these extras. Keys it does not
// know (a newer version's) are kept when it is written again.
//
// [Paths]
// FareDataFolder=/home/user/données
// [Speech]
// Rate=175
// Pitch=50
// Volume=100
// [Display]
// Zoom=1
// The voice and the zoom are read into and written from the program's options model; their keys,
// ranges and defaults are those of core::Options' table, so an option kept here needs nothing
// of this class.
class Preferences
{
public:
    // The preferences file of a settings file: its ".in4" becomes ".ini"; any other name gets
    // ".ini" appended.
    static QString pathFor(const QString& settingsPath);

    // options is the program's model (not owned) whose preferences this file keeps.
    Preferences(const QString& path, core::Options& options);

    const QString& path() const { return path_; }

    // Reads the file into the options. Anything missing, out of range or unreadable is set to
    // its default; a file that is not a regular file or is larger than any of ours is not read
    // at all. The options the settings file keeps are left alone.
    void load();

    // Writes the file with the options' present preferences (through a temporary file that
    // replaces it). Returns false when it could not be written, with the runtime error number
    // in errorNumber.
    bool save(int* errorNumber = nullptr) const;

    // True when the file holds something the settings file alone would lose: an exact path or
    // a preference (voice, zoom) set apart from its default.
    bool holdsMoreThanTheSettingsFile() const;

    // Remembers the path options that do not come back unchanged from CP932, exactly, and
    // forgets any other (the settings file holds those exactly itself).
    void keepExactPaths(const core::OptionFileValues& options);

    // Puts the exact paths into options read from the settings file, each where the settings
    // file holds its CP932 form; where it holds another path (edited elsewhere), that stays.
    void restoreExactPaths(core::OptionFileValues& options) const;

    const QMap<QString, QString>& exactPaths() const { return exactPaths_; }

private:
    bool holdsPreferenceApartFromItsDefault() const;

    QString path_;
    core::Options& options_;
    QMap<QString, QString> exactPaths_; // field name → path
};
