#include "fontmap.h"

namespace platform
{

QString mappedFamily(const QString& faceName)
{
    if (faceName == GothicFace)
        return QStringLiteral("IPAGothic");
    if (faceName == MinchoFace)
        return QStringLiteral("IPAMincho");
    if (faceName == PGothicFace)
        return QStringLiteral("IPAPGothic");
    if (faceName == NumC1Face)
        return QStringLiteral("DejaVu Sans");
    return faceName;
}

QFont mappedFont(const QString& faceName, double pointSize, bool bold)
{
    QFont font(mappedFamily(faceName));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace platform
