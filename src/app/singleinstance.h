#pragma once

#include <QDBusConnection>
#include <QLockFile>
#include <QString>
#include <memory>

// One program per settings file. A lock file beside the settings file ("fare.in4.lock") is
// held for the whole run, so that two copies never write the same file, bus or no bus; on
// the session bus each settings file has a name of its own, through which a second start asks
// the first to raise its windows. Different settings files run side by side.

// The settings file's path with its folder's links resolved (the file need not exist yet).
QString canonicalSettingsPath(const QString& settingsPath);

// The bus name of the program running on a settings file: "jp.faretto.Fare" for the usual
// settings file (defaultSettingsPath, what settingsPathForThisRun() gives), else
// "jp.faretto.Fare.s" and 16 hexadecimal digits of the SHA-1 of the canonical path.
QString busNameForSettings(const QString& settingsPath, const QString& defaultSettingsPath);

// The lock file of a settings file.
QString lockPathForSettings(const QString& settingsPath);

// The text of the refusal when another copy holds the lock and no bus can reach it.
QString alreadyRunningMessage(const QString& settingsPath);

class SingleInstance
{
public:
    enum class Outcome {
        First,          // this copy runs: the lock is held (when the folder takes one)
        RaisedTheOther, // the running copy was asked to raise its windows: end with 0
        Refused,        // another copy holds the lock and could not be reached
    };

    // bus: the session bus connection (may be unconnected); busName as busNameForSettings.
    SingleInstance(const QString& settingsPath, QDBusConnection bus, QString busName);
    ~SingleInstance();

    // Takes the lock, or asks the copy holding it to raise its windows. A copy that holds
    // the lock but has not yet taken its bus name (both started at once) is waited for up
    // to waitMs.
    Outcome claim(int waitMs = 10000);

private:
    bool askTheOtherToRaise(int waitMs);

    std::unique_ptr<QLockFile> lock_;
    QDBusConnection bus_;
    QString busName_;
};
