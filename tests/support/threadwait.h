#pragma once

#include "platform/wait.h"

#include <functional>

namespace testsupport
{

// For tests of work on other threads (the mixer's device, the speech workers, child
// processes): polls on the system's clock, since that work runs in real time, and gives up
// after maxMs so that a hang fails the test instead of stalling it.
inline bool waitForThreads(const std::function<bool()>& done, int maxMs, int pollMs = 10)
{
    return platform::waitUntil(platform::systemClock(), done, maxMs, pollMs);
}

} // namespace testsupport
