#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform
{

FolderOpening openFolderInFileManager(const QString& folder)
{
    // An empty or missing folder would only make the file manager show an error of its own.
    if (folder.trimmed().isEmpty())
        return FolderOpening::NoFolderGiven;
    const QFileInfo info(folder);
    if (!info.isDir())
        return FolderOpening::FolderMissing;
    // False when no program on the desktop takes folders (no xdg-open, no handler).
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())))
        return FolderOpening::NoFileManager;
    return FolderOpening::Opened;
}

QString folderOpeningMessage(FolderOpening result, const QString& folder)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    switch (result) {
    case FolderOpening::Opened:
        break;
    case FolderOpening::NoFolderGiven:
        return QStringLiteral("フォルダーが指定されていません。");
    case FolderOpening::FolderMissing:
        return QStringLiteral("フォルダーが見つかりません。\n\n") + shown;
    case FolderOpening::NoFileManager:
        return QStringLiteral("フォルダーを開くファイルマネージャーが見つかりません。\n"
                              "ファイルマネージャーで次のフォルダーを開いてください。\n\n") +
               shown;
    }
    return QString();
}

} // namespace platform
