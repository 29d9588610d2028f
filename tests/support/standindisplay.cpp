#include "support/standindisplay.h"

#include "elements/digitelement.h"
#include "platform/cp932.h"

#include <QApplication>
#include <QLabel>

namespace testsupport
{

QApplication& application()
{
    static int argc = 1;
    static char name[] = "fare";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: widgets in static fixtures may outlive main().
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

bool RecordingBoard::drawName(const QByteArray& cp932Name)
{
    shown.push_back({platform::fromCp932(cp932Name), prefixMode()});
    return NextStopNameBoard::drawName(cp932Name);
}

StandInDisplay::StandInDisplay()
{
    application();
    window_.resize(498, 248);
    for (size_t i = 0; i < fareElements_.size(); ++i) {
        fareElements_[i] = new DigitElement(&window_);
        fareElements_[i]->setDigitCount(3);
        fareElements_[i]->setSizeClass(2);
        ticketLabels_[i] = new QLabel(QString::number(i + 1), &window_);
    }
    for (DigitElement*& clock : clockElements_) {
        clock = new DigitElement(&window_);
        clock->setDigitCount(2);
        clock->setVisible(false);
    }
    board_ = new RecordingBoard(&window_);
    board_->resize(432, 56);
    clockTimer_.setInterval(1000);
    QPixmap builtIn(498, 248);
    builtIn.fill(Qt::black);
    backlightPictures_ = {builtIn, builtIn, builtIn};
    currentPicture_ = builtIn;
}

StandInDisplay::~StandInDisplay() = default;

DigitElement* StandInDisplay::fareElement(int i)
{
    return fareElements_.at(size_t(i - 1));
}

QLabel* StandInDisplay::ticketLabel(int i)
{
    return ticketLabels_.at(size_t(i - 1));
}

DigitElement* StandInDisplay::clockElement(int i)
{
    return clockElements_.at(size_t(i));
}

QPixmap StandInDisplay::backlightPicture(int i) const
{
    return backlightPictures_.at(size_t(i));
}

void StandInDisplay::setBacklightPicture(int i, const QPixmap& picture)
{
    backlightPictures_.at(size_t(i)) = picture;
}

QString StandInDisplay::value(int i)
{
    return fareElement(i)->value().toString();
}

} // namespace testsupport
