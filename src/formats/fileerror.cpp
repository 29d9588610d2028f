#include "formats/fileerror.h"

#include "platform/runtimeerror.h"

namespace formats
{

QString FileError::description() const
{
    if (reason.isEmpty())
        return platform::errorDescription(number);
    return line > 0 ? QStringLiteral("%1行目: %2").arg(line).arg(reason) : reason;
}

} // namespace formats
