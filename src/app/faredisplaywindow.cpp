#include "app/faredisplaywindow.h"

#include "app/displaymenu.h"
#include "app/displaysizing.h"
#include "app/faredisplaylayout.h"
#include "app/panelpicture.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "platform/fontmap.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
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

constexpr QSize DesignedSize(displaylayout::ClientWidth, displaylayout::ClientHeight);

// A designed place of the window at `scale`, its corner shifted by `corner`.
QRect scaledPlace(const QRect& designed, double scale, const QPoint& corner)
{
    const QPoint topLeft = (QPointF(designed.topLeft()) * scale).toPoint();
    return QRect(corner + topLeft, (QSizeF(designed.size()) * scale).toSize());
}

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
    content_ = rect();
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
    const QPoint topLeft = fullScreen_ ? windowedTopLeft_ : geometry().topLeft();
    return WindowPosition{platform::pixelsToTwips(topLeft.x()),
                          platform::pixelsToTwips(topLeft.y())};
}

void FareDisplayWindow::restoreWindowPosition(const WindowPosition& position)
{
    const QPoint topLeft(platform::twipsToPixels(position.left),
                         platform::twipsToPixels(position.top));
    if (fullScreen_) {
        windowedTopLeft_ = topLeft; // taken when the window leaves full screen
        return;
    }
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
    painter.fillRect(rect(), fullScreen_ ? QBrush(Qt::black) : palette().window());
    if (fullScreen_)
        painter.fillRect(content_, palette().window());
    if (currentPicture_.isNull())
        return;
    if (scale_ == 1.0) {
        painter.drawPixmap(content_.topLeft(), currentPicture_);
        return;
    }
    // A picture of its own size or another, drawn from the content's corner as at 1x.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(content_);
    const QSizeF shown = QSizeF(currentPicture_.deviceIndependentSize()) * scale_;
    painter.drawPixmap(QRectF(content_.topLeft(), shown), currentPicture_,
                       QRectF(currentPicture_.rect()));
}

// --- size and place --------------------------------------------------------------------------

void FareDisplayWindow::setOptions(core::Options& options)
{
    if (options_)
        disconnect(options_, nullptr, this, nullptr);
    options_ = &options;
    monitorName_ = options.displayMonitor();
    connect(&options, &core::Options::changed, this, [this](core::OptionId id) {
        using core::OptionId;
        if (id != OptionId::DisplayZoom && id != OptionId::DisplayFullScreen &&
            id != OptionId::DisplayMonitor)
            return;
        const QString previousMonitor = monitorName_;
        applyDisplayOptions();
        if (id == OptionId::DisplayMonitor && !fullScreen_)
            moveToMonitor(previousMonitor);
    });
    // A monitor that comes or goes may be the one chosen; Qt has moved its windows by then.
    const auto screensChanged = [this] {
        QMetaObject::invokeMethod(this, &FareDisplayWindow::applyDisplayOptions,
                                  Qt::QueuedConnection);
    };
    connect(qGuiApp, &QGuiApplication::screenAdded, this, screensChanged);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, screensChanged);
    applyDisplayOptions();
}

void FareDisplayWindow::applyDisplayOptions()
{
    if (!options_)
        return;
    monitorName_ = options_->displayMonitor();
    const QScreen* screen = displaysizing::chosenScreen(monitorName_);
    if (screen == nullptr)
        return;
    if (core::isOn(options_->displayFullScreen()))
        showFullScreenOn(*screen);
    else
        showInWindow(*screen);
    if (!mask().isEmpty())
        shapeWindow();
    update();
}

void FareDisplayWindow::showInWindow(const QScreen& screen)
{
    const bool wasFullScreen = fullScreen_;
    fullScreen_ = false;
    const QRect available = screen.availableGeometry();
    const int zoom = options_->displayZoom();
    const double scale = displaysizing::windowScale(zoom, DesignedSize, available.size());
    const QSize size = (QSizeF(DesignedSize) * scale).toSize();
    layOutContent(scale, QPoint(0, 0));
    setFixedSize(size);
    QPoint topLeft = wasFullScreen ? windowedTopLeft_ : geometry().topLeft();
    // A window as large as the monitor is only of use all on it.
    if (zoom == displaysizing::FitZoom)
        topLeft = displaysizing::keptWithin(topLeft, size, available);
    setGeometry(QRect(topLeft, size));
}

// The window covers the monitor itself: no window state a window manager might refuse, and
// the same on every desktop.
void FareDisplayWindow::showFullScreenOn(const QScreen& screen)
{
    if (!fullScreen_)
        windowedTopLeft_ = geometry().topLeft();
    fullScreen_ = true;
    dragGrip_.reset();
    const QRect area = screen.geometry();
    const double scale =
        displaysizing::fullScreenScale(options_->displayZoom(), DesignedSize, area.size());
    const QRect content =
        displaysizing::centredContent(DesignedSize, scale, QRect(QPoint(0, 0), area.size()));
    layOutContent(scale, content.topLeft());
    setFixedSize(area.size());
    setGeometry(area);
    raise();
}

void FareDisplayWindow::moveToMonitor(const QString& previousName)
{
    const QScreen* from = displaysizing::chosenScreen(previousName);
    const QScreen* to = displaysizing::chosenScreen(monitorName_);
    if (from == nullptr || to == nullptr || from == to)
        return;
    const QPoint offset = geometry().topLeft() - from->geometry().topLeft();
    move(displaysizing::keptWithin(to->geometry().topLeft() + offset, size(),
                                   to->availableGeometry()));
}

void FareDisplayWindow::layOutContent(double scale, const QPoint& corner)
{
    using displaylayout::toPixels;
    scale_ = scale;
    content_ = QRect(corner, (QSizeF(DesignedSize) * scale).toSize());
    stopNameBoard_->setZoom(scale);
    stopNameBoard_->setGeometry(
        scaledPlace(toPixels(displaylayout::stopNameBoardRect()), scale, corner));
    for (int i = 1; i <= displaylayout::FareElementCount; ++i) {
        DigitElement* element = fareElements_[i - 1];
        element->setZoom(scale);
        element->move(
            scaledPlace(toPixels(displaylayout::fareElementRect(i)), scale, corner).topLeft());
        QLabel* label = ticketLabels_[i - 1];
        label->setGeometry(scaledPlace(toPixels(displaylayout::ticketLabelRect(i)), scale, corner));
        QFont font = label->font(); // its typeface may have been changed since
        font.setPointSizeF(TicketLabelPointSize * scale);
        label->setFont(font);
    }
    for (int i = 0; i < 2; ++i) {
        clockElements_[i]->setZoom(scale);
        clockElements_[i]->move(
            scaledPlace(toPixels(displaylayout::clockElementRect(i)), scale, corner).topLeft());
    }
}

void FareDisplayWindow::contextMenuEvent(QContextMenuEvent* event)
{
    if (!options_) {
        QWidget::contextMenuEvent(event);
        return;
    }
    QMenu menu(this);
    fillDisplayMenu(menu, *options_);
    menu.exec(event->globalPos());
}

void FareDisplayWindow::mousePressEvent(QMouseEvent* event)
{
    // Only a left press on the panel itself moves the window; its elements keep their clicks.
    const bool onSurface = childAt(event->position().toPoint()) == nullptr;
    if (event->button() != Qt::LeftButton || !onSurface || fullScreen_) {
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
    const bool leavesFullScreen = event->key() == Qt::Key_Escape && fullScreen_;
    if (options_ && (event->key() == Qt::Key_F11 || leavesFullScreen)) {
        options_->setDisplayFullScreen(fullScreen_ ? 0 : 1);
        event->accept();
        return;
    }
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
