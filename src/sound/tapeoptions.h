#pragma once

#include <QString>

namespace sound
{

// The options the broadcast tape reads at each step, live from wherever the program keeps
// them (the options dialog). Given to the tape by whoever wires the program.
class TapeOptions
{
public:
    virtual ~TapeOptions() = default;
    // Before a forward broadcast, always play preBroadcastFile().
    virtual bool preBroadcastAlways() const = 0;
    virtual QString preBroadcastFile() const = 0;
    // Pre-broadcast sound for the flag 1..3 of the broadcast data.
    virtual QString preBroadcastSound(int flag) const = 0;
    // Play the pre-broadcast sound to its end before the broadcast starts.
    virtual bool preBroadcastWait() const = 0;
};

} // namespace sound
