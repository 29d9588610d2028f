#pragma once

#include <QString>

namespace platform
{

// How opening a folder in the file manager went.
enum class FolderOpening {
    Opened,
    NoFolderGiven, // the folder text is empty
    FolderMissing, // no folder by that name
    NoFileManager, // the desktop has nothing that opens folders
};

// Opens a folder in the desktop's file manager, like the shell's "Open" verb on a folder.
FolderOpening openFolderInFileManager(const QString& folder);

// What to tell the operator when a folder did not open; empty for Opened.
QString folderOpeningMessage(FolderOpening result, const QString& folder);

} // namespace platform
