#pragma once

#include <QString>

namespace platform
{

// The file to open for `path` when names may come from Windows, where letter case does not
// count ("12.HY3" for "12.hy3"): `path` itself when it exists; otherwise the first, in sorted
// order, of the files in its folder whose names differ from its name only in letter case;
// otherwise `path` unchanged, so that opening it reports the missing file.
QString findFileIgnoringCase(const QString& path);

// True when `path` names a file (not a folder); false for an empty path.
bool fileExists(const QString& path);

} // namespace platform
