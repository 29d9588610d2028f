#include "app/faredisplaywindow.h"

#include "app/faredisplaylayout.h"
#include "app/panelpicture.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "platform/bgrcolor.h"
#include "platform/fontmap.h"
#include "platform/twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWindow>

namespace
{

constexpr int ClockIntervalMs = 1000;
constexpr int DegitKeta = 3;
constexpr int DegitSizeClass = 2;
constexpr int TimeDegitKeta = 2;
constexpr int LabelPointSize = 12;
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
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("ファレット"));
    setFixedSize(form1layout::ClientWidth, form1layout::ClientHeight);
    createElements();
    imgRes_[0] = QPixmap::fromImage(drawPanelPicture());
}

FareDisplayWindow::~FareDisplayWindow() = default;

void FareDisplayWindow::createElements()
{
    using form1layout::toPixels;

    chimeiCtl_ = new NextStopNameBoard(this);
    chimeiCtl_->setGeometry(toPixels(form1layout::chimeiRect()));
    chimeiCtl_->setForeColor(platform::RGB(255, 192, 128));

    QFont labelFont = platform::mappedFont(platform::NumC1Face, LabelPointSize, true);
    QPalette labelPalette;
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    for (int i = 1; i <= form1layout::DegitCount; ++i) {
        auto* digit = new DigitElement(this);
        digit->move(toPixels(form1layout::degitRect(i)).topLeft());
        digit->setDigitCount(DegitKeta);
        digit->setSizeClass(DegitSizeClass);
        connect(digit, &DigitElement::doubleClicked, this, [this, i] { copyStyleToAll(i); });
        degit_[i - 1] = digit;

        auto* label = new QLabel(this);
        label->setGeometry(toPixels(form1layout::labelRect(i)));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(labelFont);
        label->setPalette(labelPalette);
        lblSeiriNum_[i - 1] = label;
    }

    for (int i = 0; i < 2; ++i) {
        auto* clock = new DigitElement(this);
        const QRect place = toPixels(form1layout::timeDegitRect(i));
        clock->move(place.topLeft());
        clock->setDigitCount(TimeDegitKeta);
        clock->resize(place.size());
        clock->setVisible(false);
        timeDegit_[i] = clock;
    }

    timer1_ = new QTimer(this);
    timer1_->setInterval(ClockIntervalMs);
    connect(timer1_, &QTimer::timeout, this, [this] { tick(QTime::currentTime()); });
}

DigitElement* FareDisplayWindow::fareElement(int i)
{
    return i >= 1 && i <= form1layout::DegitCount ? degit_[i - 1] : nullptr;
}

QLabel* FareDisplayWindow::ticketLabel(int i)
{
    return i >= 1 && i <= form1layout::DegitCount ? lblSeiriNum_[i - 1] : nullptr;
}

DigitElement* FareDisplayWindow::clockElement(int i)
{
    return i == 0 || i == 1 ? timeDegit_[i] : nullptr;
}

QPixmap FareDisplayWindow::backlightPicture(int i) const
{
    return i >= 0 && i < static_cast<int>(imgRes_.size()) ? imgRes_[i] : QPixmap();
}

void FareDisplayWindow::setBacklightPicture(int i, const QPixmap& picture)
{
    if (i >= 0 && i < static_cast<int>(imgRes_.size()))
        imgRes_[i] = picture;
}

void FareDisplayWindow::setCurrentPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

WindowPosition FareDisplayWindow::windowPosition() const
{
    const QPoint topLeft = pos();
    return WindowPosition{platform::pixelsToTwips(topLeft.x()),
                          platform::pixelsToTwips(topLeft.y())};
}

void FareDisplayWindow::restoreWindowPosition(const WindowPosition& info)
{
    move(platform::twipsToPixels(info.Left), platform::twipsToPixels(info.Top));
}

void FareDisplayWindow::shapeWindow()
{
    // A round rectangle with one-pixel corners covers the whole client area.
    setMask(QRegion(rect()));
}

void FareDisplayWindow::tick(const QTime& now)
{
    const QString text = now.toString(QStringLiteral("HH:mm:ss"));
    const int hours = text.mid(0, 2).toInt();
    const int minutes = text.mid(3, 2).toInt();
    timeDegit_[0]->setValue(ElementValue(hours));
    timeDegit_[1]->setValue(ElementValue(minutes));
}

void FareDisplayWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
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

bool FareDisplayWindow::beginSystemMove()
{
    QWindow* handle = windowHandle();
    return handle != nullptr && handle->startSystemMove();
}

void FareDisplayWindow::copyStyleToAll(int i)
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
    for (DigitElement* digit : degit_) {
        const ElementValue shown = digit->value();
        digit->setShift(shift);
        digit->setFillZero(fillZero);
        digit->setZeroMode(zeroMode);
        digit->setValue(shown);
    }
}
