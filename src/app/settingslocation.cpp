#include "settingslocation.h"

#include "app/preferences.h"
#include "app/settingsstorage.h"
#include "platform/runtimeerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <unistd.h>

namespace
{

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The preferences go along with the settings file: their bytes, not their permissions.
void copyPreferences(const QString& from, const QString& to)
{
    QFile source(from);
    if (!QFileInfo(from).isFile() || source.size() > 64 * 1024 || !source.open(QIODevice::ReadOnly))
        return;
    // Without the copy the preferences start from their defaults: nothing else depends on it.
    QSaveFile target(to);
    if (target.open(QIODevice::WriteOnly) && target.write(source.readAll()) >= 0)
        target.commit();
}

} // namespace

QString settingsPathBesideExecutable(const QString& executablePath)
{
    const QFileInfo exe(executablePath);
    return withSlash(exe.absolutePath()) + exe.completeBaseName() + QStringLiteral(".in4");
}

QString locateSettingsFile(const QString& executablePath, const QString& configFolder,
                           bool executableFolderIsUsers)
{
    const QString beside = settingsPathBesideExecutable(executablePath);
    if (executableFolderIsUsers || configFolder.isEmpty())
        return beside;
    const QString inConfig = withSlash(configFolder) + QFileInfo(beside).fileName();
    if (QFileInfo::exists(inConfig))
        return inConfig;
    QDir().mkpath(configFolder);
    // The first run of an installed copy: what an earlier copy kept beside it carries over.
    // Its bytes are copied, not its read-only permissions.
    const SettingsFileRead earlier = readSettingsBytes(beside);
    if (earlier.status == SettingsFileRead::Status::Read) {
        try {
            SettingsWriter(inConfig).write(earlier.bytes);
            copyPreferences(Preferences::pathFor(beside), Preferences::pathFor(inConfig));
        } catch (const platform::RuntimeError&) {
            // No copy: this run starts from the defaults, and its first save says why.
        }
    }
    return inConfig;
}

bool isUsersOwnFolder(const QString& folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    for (const char* system : {"/usr/", "/opt/", "/bin/", "/sbin/"}) {
        if (withSlash(canonical).startsWith(QLatin1String(system)))
            return false;
    }
    return !canonical.isEmpty() && ::access(QFile::encodeName(canonical).constData(), W_OK) == 0;
}

QString settingsPathForThisRun()
{
    const QString exe = QCoreApplication::applicationFilePath();
    return locateSettingsFile(exe,
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                              isUsersOwnFolder(QFileInfo(exe).absolutePath()));
}

QString usualSettingsPath()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (isUsersOwnFolder(QFileInfo(exe).absolutePath()) || configFolder.isEmpty())
        return settingsPathBesideExecutable(exe);
    return withSlash(configFolder) + QFileInfo(settingsPathBesideExecutable(exe)).fileName();
}
