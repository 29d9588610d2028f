#include "windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

namespace
{

// How far apart two rectangles are along one axis (0 when they overlap on it).
qint64 gap(int firstStart, int firstEnd, int secondStart, int secondEnd)
{
    if (firstEnd < secondStart)
        return qint64(secondStart) - firstEnd;
    if (secondEnd < firstStart)
        return qint64(firstStart) - secondEnd;
    return 0;
}

qint64 squaredDistance(const QRect& a, const QRect& b)
{
    const qint64 dx = gap(a.left(), a.right(), b.left(), b.right());
    const qint64 dy = gap(a.top(), a.bottom(), b.top(), b.bottom());
    return dx * dx + dy * dy;
}

int clampInto(int start, int length, int areaStart, int areaLength)
{
    const int last = areaStart + std::max(0, areaLength - length);
    return std::clamp(start, areaStart, last);
}

} // namespace

QPoint placeOnScreens(const QPoint& stored, const QSize& size, const QList<QRect>& screens)
{
    const QRect window(stored, size.expandedTo(QSize(1, 1)));
    const QRect* nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        if (screen.intersects(window))
            return stored;
        const qint64 distance = squaredDistance(window, screen);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = &screen;
        }
    }
    if (nearest == nullptr)
        return stored;
    return QPoint(clampInto(stored.x(), window.width(), nearest->x(), nearest->width()),
                  clampInto(stored.y(), window.height(), nearest->y(), nearest->height()));
}

void keepWindowOnScreen(QWidget& window)
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    const QPoint place = placeOnScreens(window.pos(), window.frameGeometry().size(), areas);
    if (place != window.pos())
        window.move(place);
}
