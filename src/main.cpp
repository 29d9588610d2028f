#include "app/checksettings.h"
#include "app/commandline.h"
#include "app/desktop.h"
#include "app/observedmessageboxes.h"
#include "app/program.h"
#include "app/remoteclient.h"
#include "app/remoteservice.h"
#include "app/sessionbus.h"
#include "app/settingslocation.h"
#include "app/singleinstance.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace
{

// Every exit saves first; whatever holds the process after that is given this long before
// the process ends regardless, so that it ends within three seconds of what ended it.
constexpr std::chrono::milliseconds ExitDeadline{2000};

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// "fare remote ...": no window, no display needed.
int runRemote(int argc, char* argv[])
{
    const RemoteCommand command = parseRemoteCommand(argumentsOf(argc, argv));
    if (command.action == RemoteCommand::Action::ShowHelp) {
        std::fputs(command.message.toLocal8Bit().constData(), stdout);
        return RemoteDone;
    }
    if (command.action == RemoteCommand::Action::Fail) {
        std::fputs(command.message.toLocal8Bit().constData(), stderr);
        return RemoteUsage;
    }
    doWithoutAutolaunchedSessionBus();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fare"));
    const QString usual = usualSettingsPath();
    const QString settings = command.settingsPath.isEmpty() ? usual : command.settingsPath;
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return runRemoteCommand(command, QDBusConnection::sessionBus(),
                            busNameForSettings(settings, usual), out, err);
}

// Where a window can be shown: not the platforms that draw into memory.
bool hasDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc >= 2 && std::strcmp(argv[1], "remote") == 0)
        return runRemote(argc, argv);
    // Answered before any window exists, so that --help works without a display.
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLine command = parseCommandLine(arguments);
    switch (command.action) {
    case CommandLine::Action::ShowHelp:
    case CommandLine::Action::ShowVersion:
        std::fputs(command.message.toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Fail:
        std::fputs(command.message.toLocal8Bit().constData(), stderr);
        return 2;
    case CommandLine::Action::CheckSettings: {
        const SettingsCheck check = checkSettingsFile(command.settingsPath);
        std::fputs((check.message + QLatin1Char('\n')).toLocal8Bit().constData(),
                   check.loads ? stdout : stderr);
        return check.loads ? 0 : 1;
    }
    case CommandLine::Action::Run:
        break;
    }

    // On X11, Qt's shared-memory window images cost a round trip to the server before every
    // repaint, which wakes two threads three times for each dot the scrolling board moves.
    // The board's repaints are small, so sending them over the socket is the cheaper way.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    doWithoutAutolaunchedSessionBus();

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fare"));
    // Only the control panel's exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::DialogMessageBoxes dialogs;
    desktop::setUpDesktop(app, dialogs);

    // One program per settings file: a second start raises the first one's windows.
    const QString usualSettings = usualSettingsPath();
    const QString settingsPath =
        command.settingsPath.isEmpty() ? settingsPathForThisRun() : command.settingsPath;
    const QString busName = busNameForSettings(settingsPath, usualSettings);
    QDBusConnection bus = QDBusConnection::sessionBus();
    SingleInstance instance(settingsPath, bus, busName);
    switch (instance.claim()) {
    case SingleInstance::Outcome::RaisedTheOther:
        return 0;
    case SingleInstance::Outcome::Refused: {
        const QString message = alreadyRunningMessage(settingsPath);
        std::fputs(
            (QStringLiteral("fare: ") + message + QLatin1Char('\n')).toLocal8Bit().constData(),
            stderr);
        if (hasDisplay())
            dialogs.show(message, platform::MessageBox::OKOnly | platform::MessageBox::Exclamation);
        return 1;
    }
    case SingleInstance::Outcome::First:
        break;
    }

    ObservedMessageBoxes messageBoxes(dialogs);
    platform::SystemClock clock;
    Program program(settingsPath, clock, messageBoxes);
    RemoteService remote(program, messageBoxes);
    // Without a session bus the lock alone keeps a second copy out.
    if (bus.isConnected() && !remote.registerOn(bus, busName))
        std::fputs(QStringLiteral("fare: セッションバスに %1 を登録できませんでした。\n")
                       .arg(busName)
                       .toLocal8Bit()
                       .constData(),
                   stderr);
    QObject::connect(&program, &Program::finished, &app, [] { QCoreApplication::exit(0); });
    program.handleSessionEnd();
    program.boundTheExit(ExitDeadline);
    if (!command.dataFolder.isEmpty())
        program.useDataFolderForThisRun(command.dataFolder);
    program.start();
    if (program.hasEnded())
        return 0;
    return app.exec();
}
