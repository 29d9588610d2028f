#pragma once

#include <QtGlobal>
#include <memory>
#include <mutex>
#include <vector>

namespace audio
{

// The one audio output of the process, shared by the media commands, the MIDI renderer and
// the speech voice. Every sound is converted to this format before it is mixed.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// Interleaved 16-bit PCM at the output rate, shared by whoever plays it. A producer (a
// decoder, the MIDI renderer, the voice) may still append while it plays.
class PcmBuffer
{
public:
    // Any thread; count is in frames.
    void append(const qint16* frames, qsizetype count);
    // Makes room for count frames in all, so appends up to there never move what is there:
    // a move holds the buffer, and a device playing it, for as long as the copy takes.
    void reserve(qsizetype count);
    // No more data follows.
    void finish();
    bool isFinished() const;
    qsizetype frameCount() const;
    // Copies up to count frames from frame position from; returns the frames copied.
    qsizetype read(qsizetype from, qint16* out, qsizetype count) const;
    // Length of what is there, in milliseconds.
    qint64 lengthMs() const;

private:
    mutable std::mutex mutex_;
    std::vector<qint16> samples_;
    bool finished_ = false;
};
using PcmBufferPtr = std::shared_ptr<PcmBuffer>;

// Converts PCM of any SDL sample format (0: native 16-bit), rate and channel count to the
// output format and appends it to the buffer. False when SDL cannot convert it.
bool appendConverted(PcmBuffer& buffer, const void* data, qsizetype bytes, int rate, int channels,
                     quint16 sdlFormat = 0);

// Frees what SDL keeps for the calling thread (its error text); a thread of ours that used
// appendConverted() calls it before it ends.
void releaseThreadState();

enum class OutputState { Closed, Opening, Open, Failed };

// Opens the output and returns once it is open or has failed, or at once with false after
// abandonOutput(). A failure is remembered until closeOutput(), so a machine without sound
// stays silent cheaply.
bool openOutput();
// Opens the output on a worker thread and returns at once (start-up).
void startOutput();
OutputState outputState();
bool isOutputOpen();
// Halts every sound and releases the device. After abandonOutput() a device still opening
// is left as it is.
void closeOutput();
// From now on nobody waits for the device to finish opening: the sound library's opener can
// hang for good (a sound server that accepts but never answers, disk output into a pipe), so
// the exit calls this and leaves a stuck opener to the end of the process. Sounds asked for
// later still play if the device opens after all.
void abandonOutput();
// True while the device sleeps because nothing plays: its thread waits for the next sound
// instead of waking for every buffer of silence.
bool isOutputIdle();
// The driver the output opened with, empty before.
QString outputDriver();

// Plays a buffer from its start at a volume of 0..100 and returns the play's id, or 0 when
// the output has failed. A sound asked for before the device is open plays once it is.
quint64 play(PcmBufferPtr buffer, int volumePercent = 100);
void stop(quint64 id);
// True until the play is stopped or has played its buffer to the end.
bool isPlaying(quint64 id);
// Steady-clock nanoseconds at which the play's first sample went to the device, 0 before.
qint64 firstSampleAtNs(quint64 id);
void setVolume(quint64 id, int volumePercent);
// Steady-clock nanoseconds (measurements).
qint64 steadyNs();

} // namespace audio
