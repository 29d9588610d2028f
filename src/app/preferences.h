#pragma once

#include "core/options.h"
#include "speech/speechengine.h"

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
// The keys, ranges and defaults of the voice and the zoom are those of core::Options' table.
class Preferences
{
public:
    // The preferences file of a settings file: its ".in4" becomes ".ini"; any other name gets
    // ".ini" appended.
    static QString pathFor(const QString& settingsPath);

    explicit Preferences(const QString& path);

    const QString& path() const { return path_; }

    // Reads the file. Anything missing, out of range or unreadable keeps its default; a file
    // that is not a regular file or is larger than any of ours is not read at all.
    void load();

    // Writes the file (through a temporary file that replaces it). Returns false when it
    // could not be written, with the runtime error number in errorNumber.
    bool save(int* errorNumber = nullptr) const;

    // True when the file holds something the settings file alone would lose: an exact path or
    // a preference (voice, zoom) set apart from its default.
    bool holdsMoreThanTheSettingsFile() const;

    // Speed 80..450, pitch 0..99, volume 0..100; values out of range are brought into it.
    speech::SpeechSettings speechSettings() const;
    void setSpeechSettings(const speech::SpeechSettings& settings);

    // The fare display's zoom, 1..4; another value is refused (false) and changes nothing.
    int displayZoom() const { return values_.displayZoom(); }
    bool setDisplayZoom(int zoom);

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
    core::Options values_;              // only the options kept in this file are used
    QMap<QString, QString> exactPaths_; // field name → path
};
