#include "platform/colorconversion.h"

namespace platform
{

QColor toQColor(BgrColor color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

BgrColor fromQColor(const QColor& color)
{
    QColor rgb = color.toRgb();
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

QColor opaqueColor(const QColor& color)
{
    return toQColor(fromQColor(color));
}

} // namespace platform
