#pragma once

#include <QString>

namespace platform
{

// The installed sample data (routes, broadcast data, sounds, plug-ins) as seen from the folder
// of an installed executable; an empty string when there is none there, as in a build tree.
QString installedSamplesFolder(const QString& executableFolder);

// The same, seen from the running executable.
QString installedSamplesFolder();

} // namespace platform
