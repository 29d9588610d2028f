#pragma once

#include "platform/bgrcolor.h"

#include <QColor>

namespace platform
{

// Only the low three bytes carry the colour; the high byte (system-colour flags) is ignored.
QColor toQColor(BgrColor color);
BgrColor fromQColor(const QColor& color);

} // namespace platform
