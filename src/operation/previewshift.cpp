#include "previewshift.h"

#include <algorithm>

QPoint PreviewShift::widen(const QRect& frame, const QRect& available)
{
    before_.reset();
    if (frame.right() <= available.right())
        return frame.topLeft();
    // A window wider than the screen keeps its left part, with the caption and the keypad.
    const int left = std::max(available.left(), available.right() + 1 - frame.width());
    before_ = frame.topLeft();
    after_ = QPoint(left, frame.top());
    return after_;
}

QPoint PreviewShift::narrow(const QPoint& current)
{
    const QPoint place = operatorPlace(current);
    before_.reset();
    return place;
}

QPoint PreviewShift::operatorPlace(const QPoint& current) const
{
    return stillShifted(current) ? *before_ : current;
}
