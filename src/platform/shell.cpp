#include "platform/shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace platform
{

bool openFolderInFileManager(const QString& folder)
{
    // An empty or missing folder would only make the file manager show an error of its own.
    if (folder.trimmed().isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace platform
