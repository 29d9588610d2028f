#include "app/form1.h"
#include "app/startup.h"
#include "elements/chimeictl_c2.h"
#include "tickets/seirikennumset.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fare"));

    Form1 form;
    ResetAllDegits(form);
    SeirikenNumSet(form, 0, 0);
    showBuiltInPanel(form);
    form.move(0, 0);
    form.show();
    form.shapeWindow();
    form.update();

    // Until the control panel drives the board, show a stop so it is not empty.
    form.ChimeiCtl()->setTsugiwaMode(1);
    form.ChimeiCtl()->SetChimei(QStringLiteral("市役所前"));
    return app.exec();
}
