#pragma once

#include "elements/faredisplay.h"
#include "elements/nextstopnameboard.h"

#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

class QApplication;
class QLabel;

namespace testsupport
{

// The one QApplication of a test or benchmark process, offscreen unless the environment
// chose a platform.
QApplication& application();

// Declared first in a fixture, it makes the application before any widget member.
struct WithApplication {
    WithApplication() { application(); }
};

// A stop-name board that remembers every name it drew and the prefix mode it drew it with.
class RecordingBoard : public NextStopNameBoard
{
public:
    using NextStopNameBoard::NextStopNameBoard;
    struct Shown {
        QString name;
        int prefixMode;
    };
    std::vector<Shown> shown;

protected:
    bool drawName(const QByteArray& cp932Name) override;
};

// The fare display window's elements as the other windows reach them, set up as the real
// window sets them up (three-digit fares, ticket labels 1 to 12, a hidden two-digit clock,
// the built-in panel in every backlight slot), without the window's own drawing, layout and
// dragging. Not shown.
class StandInDisplay : public FareDisplay
{
public:
    StandInDisplay();
    ~StandInDisplay() override;

    DigitElement* fareElement(int i) override;
    QLabel* ticketLabel(int i) override;
    DigitElement* clockElement(int i) override;
    NextStopNameBoard* stopNameBoard() override { return board_; }
    QTimer* clockTimer() override { return &clockTimer_; }
    QPixmap backlightPicture(int i) const override;
    void setBacklightPicture(int i, const QPixmap& picture) override;
    QPixmap currentPicture() const override { return currentPicture_; }
    void setCurrentPicture(const QPixmap& picture) override { currentPicture_ = picture; }
    QWidget* window() override { return &window_; }

    RecordingBoard* board() { return board_; }
    // The value fare element i shows, as text ("" blank, "888" lamp test).
    QString value(int i);

private:
    QWidget window_;
    std::array<DigitElement*, 12> fareElements_{};
    std::array<QLabel*, 12> ticketLabels_{};
    std::array<DigitElement*, 2> clockElements_{};
    RecordingBoard* board_ = nullptr;
    QTimer clockTimer_;
    std::array<QPixmap, 3> backlightPictures_;
    QPixmap currentPicture_;
};

} // namespace testsupport
