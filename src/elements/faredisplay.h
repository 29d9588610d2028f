#pragma once

#include <QPixmap>

class DigitElement;
class NextStopNameBoard;
class QLabel;
class QTimer;
class QWidget;

// The fare display window's elements as the options dialog, the ticket numbering and the
// control panel reach them. The fare display window implements it; the others only see this.
class FareDisplay
{
public:
    virtual ~FareDisplay() = default;

    virtual DigitElement* fareElement(int i) = 0;   // fare elements, 1..12
    virtual QLabel* ticketLabel(int i) = 0;         // ticket-number labels, 1..12
    virtual DigitElement* clockElement(int i) = 0;  // clock elements, 0 (hours) and 1 (minutes)
    virtual NextStopNameBoard* stopNameBoard() = 0; // the stop-name board
    virtual QTimer* clockTimer() = 0;               // the clock timer

    // currentPicture holders 0..2 and the picture the window paints under its elements.
    virtual QPixmap backlightPicture(int i) const = 0;
    virtual void setBacklightPicture(int i, const QPixmap& picture) = 0;
    virtual QPixmap currentPicture() const = 0;
    virtual void setCurrentPicture(const QPixmap& picture) = 0;

    // The window itself (caption, enabled state, position).
    virtual QWidget* window() = 0;
};
