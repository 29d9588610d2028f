#pragma once

#include <QByteArray>

// The D-Bus session bus address this process is to use. Qt and the sound library connect to
// the session bus on their own threads; where the session has none, libdbus would fork
// dbus-launch to start one: a child forked from a busy multi-threaded process, and a bus
// daemon of ours that outlives the program. Without a bus in sight the program does without.
//   given: DBUS_SESSION_BUS_ADDRESS as set (empty when unset);
//   busSocketExists: whether $XDG_RUNTIME_DIR/bus is there, where libdbus looks next.
// Returns the address to set, or an empty array to leave the environment as it is.
QByteArray sessionBusAddressToSet(const QByteArray& given, bool busSocketExists);

// Applies sessionBusAddressToSet to this process's environment; before any thread starts.
void doWithoutAutolaunchedSessionBus();
