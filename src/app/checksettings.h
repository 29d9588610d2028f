#pragma once

#include <QString>

// Whether a settings file loads as the program reads it at start-up: the same reader (a
// regular file within the size limit) and every field present. For scripts that check what
// an interrupted run left behind.
struct SettingsCheck {
    bool loads = false;
    QString message; // one line naming the file and the verdict, or why it does not load
};

SettingsCheck checkSettingsFile(const QString& path);
