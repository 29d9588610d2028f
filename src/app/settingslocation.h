#pragma once

#include <QString>

// Where the settings file lives when the command line names none.
//
// A copy that a user unpacked or built keeps it beside the executable, whether or not it
// exists yet: the executable's folder + its base name + ".in4". An installed copy, whose
// folder the user cannot write or which sits in the system's folders (/usr, /opt), keeps it
// in the user's configuration folder under the same name; on its first run there, a file
// beside the executable (and its preferences file) is copied over so that no setting is lost.

// The executable's folder + its base name + ".in4".
QString settingsPathBesideExecutable(const QString& executablePath);

// The pure choice, for given facts. configFolder is QStandardPaths::AppConfigLocation.
// Makes the configuration folder and the first-run copy when it chooses that folder.
QString locateSettingsFile(const QString& executablePath, const QString& configFolder,
                           bool executableFolderIsUsers);

// True when the folder is writable and outside the system's program folders.
bool isUsersOwnFolder(const QString& folder);

// The choice for this process (needs the application object and its name).
QString settingsPathForThisRun();

// The path settingsPathForThisRun() gives, without making the folder or copying anything:
// for telling whether a settings file named on the command line is the usual one.
QString usualSettingsPath();
