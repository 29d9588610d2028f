#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The top-left corner for a window of the given size stored at `stored`: the stored place
// itself while any part of the window is on one of the screens, else the nearest place wholly
// on the nearest screen (a window larger than that screen keeps to its top-left corner).
QPoint placeOnScreens(const QPoint& stored, const QSize& size, const QList<QRect>& screens);

// Moves a top-level window that sits entirely off every screen onto the nearest one.
void keepWindowOnScreen(QWidget& window);
