#include "app/desktop.h"
#include "app/program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fare"));
    // Only the control panel's exit ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    desktop::setUpDesktop(app);

    Program program;
    program.handleTerminationSignals();
    program.start();
    return app.exec();
}
