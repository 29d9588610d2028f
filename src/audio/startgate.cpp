#include "audio/startgate.h"

#include <vector>

namespace audio
{

namespace
{

struct Gate {
    bool held = false;
    std::vector<std::function<void()>> waiting;
};

Gate& gate()
{
    static Gate g;
    return g;
}

} // namespace

void holdStartUpWork()
{
    gate().held = true;
}

void releaseStartUpWork()
{
    Gate& g = gate();
    g.held = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(g.waiting);
    for (const auto& work : waiting)
        work();
}

bool isStartUpWorkHeld()
{
    return gate().held;
}

void afterStartUp(std::function<void()> work)
{
    if (gate().held)
        gate().waiting.push_back(std::move(work));
    else
        work();
}

} // namespace audio
