#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QIODevice;

// "fare remote": drives a running fare over the session bus from the command line.

// What "fare remote ..." asks.
struct RemoteCommand {
    enum class Action { Call, Status, Watch, ShowHelp, Fail };
    Action action = Action::Fail;
    QString method;         // Call: the method of jp.faretto.Fare1
    QVariantList arguments; // Call: its arguments, typed as the interface takes them
    QString settingsPath;   // --settings FILE, absolute; empty: the usual settings file
    QString message;        // the help, or what is wrong (ends in a newline)
};

// Parses the arguments that follow "fare remote" (the program's name first, "remote" second).
// Needs no application object.
RemoteCommand parseRemoteCommand(const QStringList& arguments);

// Exit statuses, as hy3tool's: done, the call failed or nothing runs, a usage error.
inline constexpr int RemoteDone = 0;
inline constexpr int RemoteFailed = 1;
inline constexpr int RemoteUsage = 2;

// How long a call may take: a route setting's lamp test and a stop sound waited to its end
// fit many times over. A message box never holds a call: it answers with an error at once.
inline constexpr int RemoteCallTimeoutMs = 120000;

// Carries the command out against the fare owning busName on bus: the call's errors (their
// text) to err, status as JSON and watch's lines ("index<TAB>name", one per stop shown, until
// the program ends) to out. Never starts a program. Returns the exit status.
int runRemoteCommand(const RemoteCommand& command, QDBusConnection bus, const QString& busName,
                     QIODevice& out, QIODevice& err);
