#include "audio/startgate.h"

namespace audio
{

void StartGate::release()
{
    held_ = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (const auto& work : waiting)
        work();
}

void StartGate::afterStartUp(std::function<void()> work)
{
    if (held_)
        waiting_.push_back(std::move(work));
    else
        work();
}

void afterStartUp(StartGate* gate, std::function<void()> work)
{
    if (gate)
        gate->afterStartUp(std::move(work));
    else
        work();
}

} // namespace audio
