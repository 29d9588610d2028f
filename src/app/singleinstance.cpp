#include "app/singleinstance.h"

#include "app/remoteservice.h"

#include <QCryptographicHash>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QThread>

QString canonicalSettingsPath(const QString& settingsPath)
{
    const QFileInfo file(settingsPath);
    const QString folder = file.absoluteDir().canonicalPath();
    if (folder.isEmpty())
        return file.absoluteFilePath();
    return folder + QLatin1Char('/') + file.fileName();
}

QString busNameForSettings(const QString& settingsPath, const QString& defaultSettingsPath)
{
    const QString base = QStringLiteral(FARE_APP_ID);
    const QString path = canonicalSettingsPath(settingsPath);
    if (path == canonicalSettingsPath(defaultSettingsPath))
        return base;
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1);
    return base + QStringLiteral(".s") + QString::fromLatin1(hash.toHex().left(16));
}

QString lockPathForSettings(const QString& settingsPath)
{
    return settingsPath + QStringLiteral(".lock");
}

QString alreadyRunningMessage(const QString& settingsPath)
{
    return QStringLiteral("この設定ファイルを使うファレットがもう動いています。\n"
                          "同じ設定ファイルでは一つしか起動できません。\n"
                          "設定ファイル: %1")
        .arg(QDir::toNativeSeparators(settingsPath));
}

SingleInstance::SingleInstance(const QString& settingsPath, QDBusConnection bus, QString busName)
    : lock_(std::make_unique<QLockFile>(lockPathForSettings(settingsPath))), bus_(std::move(bus)),
      busName_(std::move(busName))
{
    // Only a lock whose process is gone is stale, however old it is.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::claim(int waitMs)
{
    if (lock_->tryLock(0))
        return Outcome::First;
    if (lock_->error() != QLockFile::LockFailedError) {
        // A folder that takes no lock file: the bus still keeps a second copy out.
        return bus_.isConnected() && askTheOtherToRaise(0) ? Outcome::RaisedTheOther
                                                           : Outcome::First;
    }
    return bus_.isConnected() && askTheOtherToRaise(waitMs) ? Outcome::RaisedTheOther
                                                            : Outcome::Refused;
}

bool SingleInstance::askTheOtherToRaise(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    QDBusConnectionInterface* bus = bus_.interface();
    while (!bus->isServiceRegistered(busName_).value()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    QDBusMessage raise = QDBusMessage::createMethodCall(
        busName_, QLatin1String(RemoteService::ObjectPath),
        QLatin1String(RemoteService::InterfaceName), QStringLiteral("Raise"));
    // Only a running copy is asked: the service file must not start one.
    raise.setAutoStartService(false);
    return bus_.call(raise, QDBus::Block, 10000).type() == QDBusMessage::ReplyMessage;
}
