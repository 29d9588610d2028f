#include "platform/osinfo.h"

#include <sys/utsname.h>

namespace platform
{

namespace
{
QString& overrideName()
{
    static QString name;
    return name;
}
} // namespace

QString osName()
{
    if (!overrideName().isEmpty())
        return overrideName();
    utsname info{};
    if (uname(&info) != 0)
        return QString();
    return QString::fromLocal8Bit(info.sysname);
}

void setOsNameOverride(const QString& name)
{
    overrideName() = name;
}

} // namespace platform
