#pragma once

#include <QString>

namespace platform
{

// The operating system's name, as uname gives it ("Linux"). Tests may pretend another
// system; an empty override restores the real answer.
QString osName();
void setOsNameOverride(const QString& name);

} // namespace platform
