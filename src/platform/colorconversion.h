#pragma once

#include "platform/bgrcolor.h"

#include <QColor>

namespace platform
{

// Only the low three bytes carry the colour; the high byte (system-colour flags) is ignored.
QColor toQColor(BgrColor color);
BgrColor fromQColor(const QColor& color);
// The colour as the files can hold it: opaque, 8 bits a channel; an invalid colour is black.
// Widgets that save their colours keep them this way, so what they show is what they save.
QColor opaqueColor(const QColor& color);

} // namespace platform
