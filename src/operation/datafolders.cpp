#include "datafolders.h"

#include "core/options.h"

#include <QDir>
#include <utility>

namespace
{

// Any fare or broadcast data, in any letter case.
bool holdsRouteData(const QString& folder)
{
    const QStringList patterns = {QStringLiteral("*.hy3"), QStringLiteral("*tp.csv")};
    return !QDir(folder).entryList(patterns, QDir::Files).isEmpty();
}

} // namespace

DataFolders chooseDataFolders(const DataFolders& configured, const QString& workingFolder,
                              const QString& samplesFolder)
{
    // Both folders come from one place, so that a route's fares and announcements match.
    if (samplesFolder.isEmpty() || !configured.fare.isEmpty() || !configured.broadcast.isEmpty())
        return configured;
    if (holdsRouteData(workingFolder))
        return configured;
    return {samplesFolder, samplesFolder};
}

DataFolderSource::DataFolderSource(const core::Options& options, QString samplesFolder)
    : options_(&options), samplesFolder_(std::move(samplesFolder))
{
}

DataFolders DataFolderSource::current() const
{
    return chooseDataFolders({options_->fareDataFolder(), options_->broadcastDataFolder()},
                             QDir::currentPath(), samplesFolder_);
}
