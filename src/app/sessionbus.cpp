#include "app/sessionbus.h"

#include <QFileInfo>
#include <QtGlobal>

QByteArray sessionBusAddressToSet(const QByteArray& given, bool busSocketExists)
{
    if (!given.isEmpty() || busSocketExists)
        return {};
    // An address libdbus cannot open: connecting fails at once, and nothing is started.
    return QByteArrayLiteral("disabled:");
}

void doWithoutAutolaunchedSessionBus()
{
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    const bool busSocket =
        !runtimeDir.isEmpty() && QFileInfo::exists(QString::fromLocal8Bit(runtimeDir + "/bus"));
    const QByteArray address =
        sessionBusAddressToSet(qgetenv("DBUS_SESSION_BUS_ADDRESS"), busSocket);
    if (!address.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
}
