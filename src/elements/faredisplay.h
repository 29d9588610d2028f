#pragma once

#include <QPixmap>

class M_Degit;
class ChimeiCtl_C2;
class QLabel;
class QTimer;
class QWidget;

// The fare display window's elements as the options dialog, the ticket numbering and the
// control panel reach them. The fare display window implements it; the others only see this.
class FareDisplay
{
public:
    virtual ~FareDisplay() = default;

    virtual M_Degit* Degit(int i) = 0;      // fare elements, 1..12
    virtual QLabel* lblSeiriNum(int i) = 0; // ticket-number labels, 1..12
    virtual M_Degit* TimeDegit(int i) = 0;  // clock elements, 0 (hours) and 1 (minutes)
    virtual ChimeiCtl_C2* ChimeiCtl() = 0;  // the stop-name board
    virtual QTimer* Timer1() = 0;           // the clock timer

    // Picture holders 0..2 and the picture the window paints under its elements.
    virtual QPixmap imgRes(int i) const = 0;
    virtual void setImgRes(int i, const QPixmap& picture) = 0;
    virtual QPixmap Picture() const = 0;
    virtual void setPicture(const QPixmap& picture) = 0;

    // The window itself (caption, enabled state, position).
    virtual QWidget* window() = 0;
};
