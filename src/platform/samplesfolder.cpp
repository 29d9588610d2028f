#include "samplesfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform
{

QString installedSamplesFolder(const QString& executableFolder)
{
    // Relative to the executable, so that any prefix the package or the user chose works.
    const QString folder = QDir::cleanPath(executableFolder + QLatin1Char('/') +
                                           QStringLiteral(FARE_SAMPLES_DIR_FROM_BINDIR));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString installedSamplesFolder()
{
    return installedSamplesFolder(QCoreApplication::applicationDirPath());
}

} // namespace platform
