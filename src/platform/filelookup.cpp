#include "platform/filelookup.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace platform
{

QString findFileIgnoringCase(const QString& path)
{
    const QFileInfo wanted(path);
    if (path.isEmpty() || wanted.exists())
        return path;
    const QString name = wanted.fileName();
    QStringList matches;
    // Only files: a folder or a pipe that happens to match is no data file.
    for (const QString& entry : wanted.dir().entryList(QDir::Files | QDir::Hidden)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            matches.append(entry);
    }
    if (matches.isEmpty())
        return path;
    // Plain code-unit order, the same on every machine whatever its locale.
    std::sort(matches.begin(), matches.end());
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.left(slash + 1) + matches.first();
}

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace platform
