#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace bustest
{

// A session bus of the test's own: a dbus-daemon child that listens on a socket in a
// temporary folder, lets everyone own any name and starts no services. Gone with the object.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isRunning() const { return !address_.isEmpty(); }
    // What DBUS_SESSION_BUS_ADDRESS is to hold.
    QString address() const { return address_; }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
};

} // namespace bustest
