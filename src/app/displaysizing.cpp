#include "app/displaysizing.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace displaysizing
{

namespace
{

constexpr double SmallestScale = 0.01;

} // namespace

double fitScale(const QSize& content, const QSize& area)
{
    if (content.isEmpty() || area.isEmpty())
        return SmallestScale;
    const double across = double(area.width()) / content.width();
    const double down = double(area.height()) / content.height();
    return std::max(std::min(across, down), SmallestScale);
}

double windowScale(int zoom, const QSize& content, const QSize& available)
{
    if (zoom == FitZoom)
        return fitScale(content, available);
    return std::clamp(zoom, 1, LargestZoom);
}

double fullScreenScale(int zoom, const QSize& content, const QSize& screen)
{
    const double fit = fitScale(content, screen);
    if (zoom == FitZoom)
        return fit;
    return std::max(1.0, std::floor(fit));
}

QRect centredContent(const QSize& content, double scale, const QRect& area)
{
    const QSize size = (QSizeF(content) * scale).toSize();
    const QPoint corner(area.left() + (area.width() - size.width()) / 2,
                        area.top() + (area.height() - size.height()) / 2);
    return QRect(corner, size);
}

QPoint keptWithin(const QPoint& topLeft, const QSize& size, const QRect& area)
{
    const auto along = [](int at, int length, int start, int areaLength) {
        return std::max(start, std::min(at, start + areaLength - length));
    };
    return QPoint(along(topLeft.x(), size.width(), area.left(), area.width()),
                  along(topLeft.y(), size.height(), area.top(), area.height()));
}

QScreen* chosenScreen(const QString& name)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto named = std::find_if(screens.begin(), screens.end(), [&name](const QScreen* screen) {
        return screen->name() == name;
    });
    return named != screens.end() ? *named : QGuiApplication::primaryScreen();
}

QString screenCaption(const QScreen& screen)
{
    QStringList parts;
    for (const QString& part : {screen.manufacturer().trimmed(), screen.model().trimmed()}) {
        if (!part.isEmpty())
            parts << part;
    }
    const QString details = parts.join(u' ');
    if (details.isEmpty() || details == screen.name())
        return screen.name();
    return QStringLiteral("%1 (%2)").arg(screen.name(), details);
}

} // namespace displaysizing
