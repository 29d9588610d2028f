#pragma once

#include <functional>

namespace audio
{

// Slow start-up work (the audio device, the sound font, the speech engine) waits until the
// windows have painted. The program holds the gate while it brings the windows up; where
// nobody holds it (tests, tools) the work starts at once. Interface thread only.
void holdStartUpWork();
// Runs what waited, in the order it was asked for; later work runs at once.
void releaseStartUpWork();
bool isStartUpWorkHeld();
// Runs work now, or at the release when the gate is held. The work itself should hand
// anything slow to a worker thread.
void afterStartUp(std::function<void()> work);

} // namespace audio
