#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>

namespace audio
{

// The one audio output of the process, shared by the media commands and the speech voice.

// Opens the output on first use. False when there is no usable audio device; the failure
// is remembered until closeOutput(), so a machine without sound stays silent cheaply.
bool openOutput();
bool isOutputOpen();
// Halts every sound and releases the device.
void closeOutput();

// Mixer channels for media devices; the speech voice has a channel of its own outside these.
int allocateChannel(); // -1 when all are taken or the device is closed
void releaseChannel(int channel);

// A mixer channel of its own that plays 16-bit mono PCM written from any thread while it
// plays. Each utterance is a ticket: data written under an old ticket is dropped, so a
// stop silences at once even while a producer is still writing.
class PcmChannel
{
public:
    PcmChannel();
    ~PcmChannel();
    PcmChannel(const PcmChannel&) = delete;
    PcmChannel& operator=(const PcmChannel&) = delete;

    // Starts a new utterance at the given sample rate (GUI thread). Returns its ticket,
    // or 0 when no audio device can be opened.
    quint64 begin(int sampleRate);
    // Any thread. False when the ticket is no longer current (stopped or replaced).
    bool write(quint64 ticket, const qint16* samples, int count);
    // Any thread: no more data follows for this ticket.
    void finish(quint64 ticket);
    // Silences at once and drops pending data.
    void stop();

    // True while the current utterance still has data to play.
    bool isPlaying() const;
    // Steady-clock nanoseconds at which the current utterance's first sample reached the
    // device, 0 while none has.
    qint64 firstSampleAtNs() const;
    // 0..100.
    void setVolume(int percent);

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace audio
