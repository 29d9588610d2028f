#pragma once

#include <chrono>

// The last guard of an exit whose settings are saved: if the process is still there after the
// given time, whatever holds it (a library's thread, a device that never answers, a child
// that never ends), it ends with the given status and a line on standard error. Nobody waits
// for the guard; the end of the process takes it along.
void endProcessWithin(std::chrono::milliseconds time, int status);
