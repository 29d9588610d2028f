#pragma once

#include "platform/fontfaces.h"

#include <QFont>
#include <QString>

namespace platform
{

// The one place where the typeface names used by the system meet the installed fonts:
// "ＭＳ ゴシック" -> IPAGothic, "ＭＳ 明朝" -> IPAMincho, "ＭＳ Ｐゴシック" -> IPAPGothic.
// Unknown names pass through unchanged.
QString mappedFamily(const QString& faceName);

// A font of the mapped family with the given point size and weight.
QFont mappedFont(const QString& faceName, double pointSize, bool bold = false);

} // namespace platform
