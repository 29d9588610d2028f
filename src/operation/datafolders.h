#pragma once

#include <QString>

namespace core
{
class Options;
}

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

// The folders a route setting reads, asked of the options at that moment so that a folder
// changed in the options counts at the next route setting.
class DataFolderSource
{
public:
    // options outlives the source; samplesFolder: the installed samples, empty for none.
    explicit DataFolderSource(const core::Options& options, QString samplesFolder = QString());

    // The options' folders as chooseDataFolders() takes them, against the working folder.
    DataFolders current() const;

private:
    const core::Options* options_;
    QString samplesFolder_;
};
