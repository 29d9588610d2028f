#pragma once

#include "core/options.h"
#include "dialogs/digitsettingsdialog.h"
#include "elements/faredisplay.h"
#include "formats/windowposition.h"
#include "platform/wait.h"

#include <QPixmap>
#include <QPointer>
#include <QTime>
#include <QWidget>
#include <array>
#include <optional>

class QLabel;
class QScreen;
class QTimer;

// The fare display window: the panel picture with the stop-name board, twelve fare elements
// under their ticket-number labels and the (hidden) clock. It has no caption bar and is moved
// by dragging its surface.
class FareDisplayWindow : public QWidget, public FareDisplay
{
    Q_OBJECT
public:
    // The clock paces the stop-name board's scroll; without one it is the system's.
    explicit FareDisplayWindow(QWidget* parent = nullptr);
    explicit FareDisplayWindow(platform::WaitClock& clock, QWidget* parent = nullptr);
    ~FareDisplayWindow() override;

    // The window's children, for the window's own tests.
    DigitElement* fareElement(int i) override;
    QLabel* ticketLabel(int i) override;
    DigitElement* clockElement(int i) override;
    NextStopNameBoard* stopNameBoard() override { return stopNameBoard_; }
    QTimer* clockTimer() override { return clockTimer_; }
    QPixmap backlightPicture(int i) const override;
    void setBacklightPicture(int i, const QPixmap& picture) override;
    QPixmap currentPicture() const override { return currentPicture_; }
    void setCurrentPicture(const QPixmap& picture) override;

    QWidget* window() override { return this; }

    // The control panel: disabled while a digit element's settings dialog is open, given the
    // keys typed on this window, and asked to close when this window is asked to.
    void setControlPanel(QWidget* panel) { controlPanel_ = panel; }

    // What a double-clicked fare element asks instead of the digit settings dialog; nullptr
    // restores the dialog.
    void setDigitSettingsDialog(const DigitSettingsHandler& ask);

    // The options model whose display preferences (zoom, full screen, monitor) the window
    // follows from now on, applied at once; the right-click menu and F11 change them there.
    void setOptions(core::Options& options);

    // Position for the settings file, in twips: where the client area (inside any frame) is
    // in a window of its own, also while the window fills a monitor.
    WindowPosition windowPosition() const;
    void restoreWindowPosition(const WindowPosition& position);

    // How many times its designed size the content is drawn, and where it sits in the window
    // (all of it, but for the black around it in full screen).
    double contentScale() const { return scale_; }
    QRect contentRect() const { return content_; }
    bool isShowingFullScreen() const { return fullScreen_; }

    // Gives the window its shape (the whole client rectangle).
    void shapeWindow();

    // Shows the hours and minutes of the given time on the clock elements; the clock timer
    // calls it every second with the current time.
    void showTimeOfDay(const QTime& now);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // F11 toggles full screen and Esc leaves it; the console's keys work here too, so that clicking
    // the display does not end them.
    void keyPressEvent(QKeyEvent* event) override;
    // The window never disappears on its own: a close request from the desktop (Alt+F4, the
    // task bar) is the operator wanting to end, which the control panel asks about.
    void closeEvent(QCloseEvent* event) override;
    // Hands the window to the window system's move; false when the system refuses.
    virtual bool beginSystemMove();

private:
    void createStopNameBoard(platform::WaitClock& clock);
    void createFareElementsAndLabels();
    void createClock();
    // Sizes and places the window and its content as the display options say.
    void applyDisplayOptions();
    void showInWindow(const QScreen& screen);
    void showFullScreenOn(const QScreen& screen);
    // Every element at its designed place and size times `scale`, shifted by `corner`.
    void layOutContent(double scale, const QPoint& corner);
    void moveToMonitor(const QString& previousName);
    // Edits fare element i's digit rules in its dialog and gives them to all twelve.
    void onFareElementDoubleClicked(int i);

    std::array<DigitElement*, 12> fareElements_{};
    std::array<QLabel*, 12> ticketLabels_{};
    std::array<DigitElement*, 2> clockElements_{};
    NextStopNameBoard* stopNameBoard_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    std::array<QPixmap, 3> backlightPictures_;
    QPixmap currentPicture_;
    QPointer<QWidget> controlPanel_;
    // Where the press grabbed the window, while it is dragged by our own moves.
    std::optional<QPoint> dragGrip_;

    QPointer<core::Options> options_;
    QString monitorName_; // the monitor option last applied
    double scale_ = 1.0;
    QRect content_;
    bool fullScreen_ = false;
    // Where the window was before it filled a monitor; what the settings file keeps then.
    QPoint windowedTopLeft_;
};
