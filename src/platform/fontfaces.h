#pragma once

#include <QString>

namespace platform
{

// Fixed names of the system's typefaces.
inline const QString GothicFace = QStringLiteral("ＭＳ ゴシック");
inline const QString MinchoFace = QStringLiteral("ＭＳ 明朝");
inline const QString PGothicFace = QStringLiteral("ＭＳ Ｐゴシック");
// Bold digits of the ticket-number labels; DejaVu Sans stands in for it.
inline const QString NumC1Face = QStringLiteral("M_NumC1");

} // namespace platform
