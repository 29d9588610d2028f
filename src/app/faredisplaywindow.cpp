#include "app/faredisplaywindow.h"

#include "app/faredisplaylayout.h"
#include "app/panelpicture.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "platform/fontmap.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWindow>

namespace
{

constexpr int ClockIntervalMs = 1000;
constexpr int FareDigitCount = 3;
constexpr int FareSizeClass = 2;
constexpr int ClockDigitCount = 2;
constexpr int TicketLabelPointSize = 12;
constexpr int DialogAccepted = 1;

// Re-enables the control panel however the dialog ends.
class PanelDisabled
{
public:
    explicit PanelDisabled(QWidget* panel) : panel_(panel)
    {
        if (panel_)
            panel_->setEnabled(false);
    }
    ~PanelDisabled()
    {
        if (panel_)
            panel_->setEnabled(true);
    }
    PanelDisabled(const PanelDisabled&) = delete;
    PanelDisabled& operator=(const PanelDisabled&) = delete;

private:
    QPointer<QWidget> panel_;
};

} // namespace

FareDisplayWindow::FareDisplayWindow(QWidget* parent)
    : FareDisplayWindow(platform::systemClock(), parent)
{
}

FareDisplayWindow::FareDisplayWindow(platform::WaitClock& clock, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("ファレット"));
    setFixedSize(displaylayout::ClientWidth, displaylayout::ClientHeight);
    createStopNameBoard(clock);
    createFareElementsAndLabels();
    createClock();
    backlightPictures_[0] = QPixmap::fromImage(drawPanelPicture());
}

FareDisplayWindow::~FareDisplayWindow() = default;

void FareDisplayWindow::createStopNameBoard(platform::WaitClock& clock)
{
    stopNameBoard_ = new NextStopNameBoard(clock, this);
    stopNameBoard_->setObjectName(QStringLiteral("stopNameBoard"));
    stopNameBoard_->setGeometry(displaylayout::toPixels(displaylayout::stopNameBoardRect()));
    stopNameBoard_->setForeColor(QColor(255, 192, 128));
}

void FareDisplayWindow::createFareElementsAndLabels()
{
    using displaylayout::toPixels;

    QFont labelFont = platform::mappedFont(platform::NumC1Face, TicketLabelPointSize, true);
    QPalette labelPalette;
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    for (int i = 1; i <= displaylayout::FareElementCount; ++i) {
        auto* element = new DigitElement(this);
        element->setObjectName(QStringLiteral("fareElement%1").arg(i));
        element->move(toPixels(displaylayout::fareElementRect(i)).topLeft());
        element->setDigitCount(FareDigitCount);
        element->setSizeClass(FareSizeClass);
        connect(element, &DigitElement::doubleClicked, this,
                [this, i] { onFareElementDoubleClicked(i); });
        fareElements_[i - 1] = element;

        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("ticketLabel%1").arg(i));
        label->setGeometry(toPixels(displaylayout::ticketLabelRect(i)));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(labelFont);
        label->setPalette(labelPalette);
        ticketLabels_[i - 1] = label;
    }
}

void FareDisplayWindow::createClock()
{
    for (int i = 0; i < 2; ++i) {
        auto* clock = new DigitElement(this);
        clock->setObjectName(QStringLiteral("clockElement%1").arg(i));
        const QRect place = displaylayout::toPixels(displaylayout::clockElementRect(i));
        clock->move(place.topLeft());
        clock->setDigitCount(ClockDigitCount);
        clock->resize(place.size());
        clock->setVisible(false);
        clockElements_[i] = clock;
    }

    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(ClockIntervalMs);
    connect(clockTimer_, &QTimer::timeout, this, [this] { showTimeOfDay(QTime::currentTime()); });
}

void FareDisplayWindow::setDigitSettingsDialog(const DigitSettingsHandler& ask)
{
    for (DigitElement* element : fareElements_)
        element->setSettingsDialog(ask);
}

DigitElement* FareDisplayWindow::fareElement(int i)
{
    return i >= 1 && i <= displaylayout::FareElementCount ? fareElements_[i - 1] : nullptr;
}

QLabel* FareDisplayWindow::ticketLabel(int i)
{
    return i >= 1 && i <= displaylayout::FareElementCount ? ticketLabels_[i - 1] : nullptr;
}

DigitElement* FareDisplayWindow::clockElement(int i)
{
    return i == 0 || i == 1 ? clockElements_[i] : nullptr;
}

QPixmap FareDisplayWindow::backlightPicture(int i) const
{
    const bool held = i >= 0 && i < static_cast<int>(backlightPictures_.size());
    return held ? backlightPictures_[i] : QPixmap();
}

void FareDisplayWindow::setBacklightPicture(int i, const QPixmap& picture)
{
    if (i >= 0 && i < static_cast<int>(backlightPictures_.size()))
        backlightPictures_[i] = picture;
}

void FareDisplayWindow::setCurrentPicture(const QPixmap& picture)
{
    currentPicture_ = picture;
    update();
}

// The client area's place both ways: a window manager's frame, if it gives this window one,
// is not known yet when the place is restored at start-up.
WindowPosition FareDisplayWindow::windowPosition() const
{
    const QPoint topLeft = geometry().topLeft();
    return WindowPosition{platform::pixelsToTwips(topLeft.x()),
                          platform::pixelsToTwips(topLeft.y())};
}

void FareDisplayWindow::restoreWindowPosition(const WindowPosition& position)
{
    const QPoint topLeft(platform::twipsToPixels(position.left),
                         platform::twipsToPixels(position.top));
    if (topLeft != geometry().topLeft())
        setGeometry(QRect(topLeft, size()));
}

void FareDisplayWindow::shapeWindow()
{
    // A round rectangle with one-pixel corners covers the whole client area.
    setMask(QRegion(rect()));
}

void FareDisplayWindow::showTimeOfDay(const QTime& now)
{
    const QString text = now.toString(QStringLiteral("HH:mm:ss"));
    const int hours = text.mid(0, 2).toInt();
    const int minutes = text.mid(3, 2).toInt();
    clockElements_[0]->setValue(ElementValue(hours));
    clockElements_[1]->setValue(ElementValue(minutes));
}

void FareDisplayWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!currentPicture_.isNull())
        painter.drawPixmap(0, 0, currentPicture_);
}

void FareDisplayWindow::mousePressEvent(QMouseEvent* event)
{
    // Only a left press on the panel itself moves the window; its elements keep their clicks.
    const bool onSurface = childAt(event->position().toPoint()) == nullptr;
    if (event->button() != Qt::LeftButton || !onSurface) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Without a window manager that moves windows, follow the mouse ourselves.
    if (!beginSystemMove())
        dragGrip_ = event->globalPosition().toPoint() - pos();
}

void FareDisplayWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragGrip_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *dragGrip_);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void FareDisplayWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragGrip_.reset();
    QWidget::mouseReleaseEvent(event);
}

void FareDisplayWindow::keyPressEvent(QKeyEvent* event)
{
    if (controlPanel_ && controlPanel_->isEnabled()) {
        QCoreApplication::sendEvent(controlPanel_, event);
        return;
    }
    QWidget::keyPressEvent(event);
}

void FareDisplayWindow::closeEvent(QCloseEvent* event)
{
    // Closing it from the program (as Qt does for every window once the program ends) goes
    // ahead; only the desktop's request is turned into the exit question.
    if (!event->spontaneous()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    // Not while the panel is held by a dialog of its own; the question comes after this
    // event, not nested inside the desktop's request.
    if (controlPanel_ && controlPanel_->isEnabled())
        QMetaObject::invokeMethod(controlPanel_, &QWidget::close, Qt::QueuedConnection);
}

bool FareDisplayWindow::beginSystemMove()
{
    QWindow* handle = windowHandle();
    return handle != nullptr && handle->startSystemMove();
}

void FareDisplayWindow::onFareElementDoubleClicked(int i)
{
    DigitElement* source = fareElement(i);
    if (source == nullptr || !source->isUserSettable())
        return;
    PanelDisabled panelDisabled(controlPanel_);
    if (source->showSettingsDialog() != DialogAccepted)
        return;
    const int zeroMode = source->zeroMode();
    const int shift = source->shift();
    const int fillZero = source->fillZero();
    for (DigitElement* digit : fareElements_) {
        const ElementValue shown = digit->value();
        digit->setShift(shift);
        digit->setFillZero(fillZero);
        digit->setZeroMode(zeroMode);
        digit->setValue(shown);
    }
}
