#pragma once

#include <QString>

// The two folders a route's data is read from: fare data (*.hy3) and broadcast data (*tp.csv).
// An empty folder means the working folder.
struct DataFolders {
    QString fare;
    QString broadcast;
};

// The folders to read from. A program started from the desktop menu, with no folders set and
// a working folder (the home folder) without fare or broadcast data, reads the installed
// samples instead; the settings keep the empty folders. Set folders, or a working folder that
// holds data, are used as they are. An empty samplesFolder means none is installed.
DataFolders chooseDataFolders(const DataFolders& configured, const QString& workingFolder,
                              const QString& samplesFolder);
