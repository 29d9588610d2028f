#include "formats/fileerror.h"

#include "platform/runtimeerror.h"

namespace formats
{

QString FileError::description() const
{
    if (reason.isEmpty())
        return platform::errorDescription(number);
    if (line <= 0)
        return reason;
    if (column <= 0)
        return QStringLiteral("%1行目: %2").arg(line).arg(reason);
    return QStringLiteral("%1行目 %2列目: %3").arg(line).arg(column).arg(reason);
}

} // namespace formats
