#pragma once

#include <QPoint>
#include <QRect>
#include <optional>

// The control panel's place while ">>" widens it for the ticket preview: the wide window moves
// left when it would cross the right edge of the screen, and back when it is narrowed again.
// The operator's own place is the one the settings keep.
class PreviewShift
{
public:
    // frame: the widened window's frame where it stands; available: the free area of its
    // screen. Returns where the frame's top-left corner goes.
    QPoint widen(const QRect& frame, const QRect& available);
    // Where the narrowed window goes from `current`: back to the operator's place, unless the
    // operator has moved the wide window since.
    QPoint narrow(const QPoint& current);
    // The operator's place of a window standing at `current`.
    QPoint operatorPlace(const QPoint& current) const;

private:
    bool stillShifted(const QPoint& current) const { return before_ && current == after_; }

    std::optional<QPoint> before_;
    QPoint after_;
};
