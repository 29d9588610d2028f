#pragma once

#include <QString>

namespace platform
{

// Opens a folder in the desktop's file manager, like the shell's "Open" verb on a folder.
// Returns false when the folder does not exist or no file manager took it; callers that
// do not care may ignore the result.
bool openFolderInFileManager(const QString& folder);

} // namespace platform
