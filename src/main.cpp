#include "app/checksettings.h"
#include "app/commandline.h"
#include "app/desktop.h"
#include "app/program.h"
#include "app/sessionbus.h"
#include "app/settingslocation.h"

#include <QApplication>
#include <chrono>
#include <cstdio>

namespace
{

// Every exit saves first; whatever holds the process after that is given this long before
// the process ends regardless, so that it ends within three seconds of what ended it.
constexpr std::chrono::milliseconds ExitDeadline{2000};

} // namespace

int main(int argc, char* argv[])
{
    // Answered before any window exists, so that --help works without a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
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
    platform::DialogMessageBoxes messageBoxes;
    desktop::setUpDesktop(app, messageBoxes);

    platform::SystemClock clock;
    Program program(command.settingsPath.isEmpty() ? settingsPathForThisRun()
                                                   : command.settingsPath,
                    clock, messageBoxes);
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
