#pragma once

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

// Fixed names of the system's typefaces.
inline const QString GothicFace = QStringLiteral("ＭＳ ゴシック");
inline const QString MinchoFace = QStringLiteral("ＭＳ 明朝");
inline const QString PGothicFace = QStringLiteral("ＭＳ Ｐゴシック");
// Bold digits of the ticket-number labels; DejaVu Sans stands in for it.
inline const QString NumC1Face = QStringLiteral("M_NumC1");

} // namespace platform
