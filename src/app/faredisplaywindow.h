#pragma once

#include "app/windowposition.h"
#include "elements/faredisplay.h"

#include <QPixmap>
#include <QPointer>
#include <QTime>
#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QTimer;

// The fare display window: the panel picture with the stop-name board, twelve fare elements
// under their ticket-number labels and the (hidden) clock. It has no caption bar and is moved
// by dragging its surface.
class FareDisplayWindow : public QWidget, public FareDisplay
{
    Q_OBJECT
public:
    explicit FareDisplayWindow(QWidget* parent = nullptr);
    ~FareDisplayWindow() override;

    DigitElement* fareElement(int i) override;
    QLabel* ticketLabel(int i) override;
    DigitElement* clockElement(int i) override;
    NextStopNameBoard* stopNameBoard() override { return chimeiCtl_; }
    QTimer* clockTimer() override { return timer1_; }

    QPixmap backlightPicture(int i) const override;
    void setBacklightPicture(int i, const QPixmap& picture) override;
    QPixmap currentPicture() const override { return picture_; }
    void setCurrentPicture(const QPixmap& picture) override;

    QWidget* window() override { return this; }

    // The control panel, disabled while a digit element's settings dialog is open.
    void setControlPanel(QWidget* panel) { controlPanel_ = panel; }

    // Position for the settings file, in twips.
    WindowPosition windowPosition() const;
    void restoreWindowPosition(const WindowPosition& info);

    // Gives the window its shape (the whole client rectangle).
    void shapeWindow();

    // One clock tick at the given time of day; the timer calls it with the current time.
    void tick(const QTime& now);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Hands the window to the window system's move; false when the system refuses.
    virtual bool beginSystemMove();

private:
    void createElements();
    void copyStyleToAll(int i);

    std::array<DigitElement*, 12> degit_{};
    std::array<QLabel*, 12> lblSeiriNum_{};
    std::array<DigitElement*, 2> timeDegit_{};
    NextStopNameBoard* chimeiCtl_ = nullptr;
    QTimer* timer1_ = nullptr;
    std::array<QPixmap, 3> imgRes_;
    QPixmap picture_;
    QPointer<QWidget> controlPanel_;
    // Where the press grabbed the window, while it is dragged by our own moves.
    std::optional<QPoint> dragGrip_;
};
