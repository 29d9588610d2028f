#pragma once

#include <functional>
#include <vector>

namespace audio
{

// Slow start-up work (the audio device, the sound font, the speech engine) waits until the
// windows have painted. The program holds its gate while it brings the windows up; where
// nobody holds it (or there is no gate: tests, tools) the work starts at once. Interface
// thread only.
class StartGate
{
public:
    void hold() { held_ = true; }
    // Runs what waited, in the order it was asked for; later work runs at once.
    void release();
    bool isHeld() const { return held_; }
    // Runs work now, or at the release while the gate is held. The work itself should hand
    // anything slow to a worker thread.
    void afterStartUp(std::function<void()> work);

private:
    bool held_ = false;
    std::vector<std::function<void()>> waiting_;
};

// Runs work through the gate, or at once without one.
void afterStartUp(StartGate* gate, std::function<void()> work);

} // namespace audio
