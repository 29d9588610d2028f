#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <mutex>
#include <vector>

namespace audio
{

// The audio output that the media commands, the MIDI renderer and the speech voice share.
// Every sound is converted to this format before it is mixed.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;

// Interleaved 16-bit PCM at the output rate, shared by whoever plays it. A producer (a
// decoder, the MIDI renderer, the voice) may still append while it plays.
class PcmBuffer
{
public:
    // Told of every append and of the finish, from the producer's thread: an output playing
    // the buffer wakes its device for the new sound.
    class Listener
    {
    public:
        virtual void bufferChanged() = 0;

    protected:
        ~Listener() = default;
    };

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
    // Tells the listener of every change from now on, for as long as it lives; a listener
    // already told is not added twice. Any thread; never call it holding a lock the listener
    // takes.
    void addListener(const std::weak_ptr<Listener>& listener);

private:
    void tellListeners();

    mutable std::mutex mutex_;
    std::vector<qint16> samples_;
    bool finished_ = false;
    std::vector<std::weak_ptr<Listener>> listeners_;
};
using PcmBufferPtr = std::shared_ptr<PcmBuffer>;

// Converts PCM of any SDL sample format (0: native 16-bit), rate and channel count to the
// output format and appends it to the buffer. False when SDL cannot convert it.
bool appendConverted(PcmBuffer& buffer, const void* data, qsizetype bytes, int rate, int channels,
                     quint16 sdlFormat = 0);

// Frees what SDL keeps for the calling thread (its error text); a thread of ours that used
// appendConverted() calls it before it ends.
void releaseThreadState();

// Steady-clock nanoseconds (measurements).
qint64 steadyNs();

enum class OutputState { Closed, Opening, Open, Failed };

class OutputHandle;

// An SDL audio device and the sounds mixed into it, each play with an id of its own. The
// device opens on a thread of its own, when asked for or with the first sound, and sleeps
// while nothing plays. Interface thread, besides what OutputHandle offers.
class AudioOutput
{
public:
    AudioOutput();
    // Halts every sound and closes the device before its state goes, without waiting for an
    // opener still at work: that one closes what it opens and ends on its own.
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the device and returns once it is open or has failed, or at once with false
    // after abandon(). A failure is remembered until close(), so a machine without sound
    // stays silent cheaply.
    bool open();
    // Opens the device on a worker thread and returns at once.
    void start();
    // Waits up to ms for a device that is opening to be open or to fail, and returns the
    // state then; at once when nothing is opening or after abandon().
    OutputState waitWhileOpening(int ms);
    OutputState state() const;
    bool isOpen() const;
    // Halts every sound and releases the device. After abandon() a device still opening is
    // left as it is.
    void close();
    // From now on nobody waits for the device to finish opening: the sound library's opener can
    // hang for good (a sound server that accepts but never answers, disk output into a pipe), so
    // the exit calls this and leaves a stuck opener to the end of the process. Sounds asked for
    // later still play if the device opens after all.
    void abandon();
    // True while the device sleeps because nothing plays: its thread waits for the next sound
    // instead of waking for every buffer of silence.
    bool isIdle() const;
    // The driver the device opened with, empty before.
    QString driver() const;

    // Plays a buffer from its start at a volume of 0..100 and returns the play's id, or 0 when
    // the device has failed. A sound asked for before the device is open plays once it is.
    quint64 play(PcmBufferPtr buffer, int volumePercent = 100);
    void stop(quint64 id);
    // True until the play is stopped or has played its buffer to the end.
    bool isPlaying(quint64 id) const;
    // Steady-clock nanoseconds at which the play's first sample went to the device, 0 before.
    qint64 firstSampleAtNs(quint64 id) const;
    void setVolume(quint64 id, int volumePercent);

    // A handle for users that may outlive the output (a speech engine and its worker).
    OutputHandle handle() const;

    struct Core;

private:
    std::shared_ptr<Core> core_; // shared with the opener thread while it works
};

// The plays of an AudioOutput, for a user that may outlive it or call from a worker thread.
// Once the output is gone, play() returns 0, the state reads Closed and the rest does nothing.
// A default handle has no output. Any thread.
class OutputHandle
{
public:
    OutputHandle() = default;

    quint64 play(PcmBufferPtr buffer, int volumePercent = 100) const;
    void stop(quint64 id) const;
    bool isPlaying(quint64 id) const;
    qint64 firstSampleAtNs(quint64 id) const;
    void setVolume(quint64 id, int volumePercent) const;
    OutputState state() const;

private:
    friend class AudioOutput;
    explicit OutputHandle(std::weak_ptr<AudioOutput::Core> core) : core_(std::move(core)) {}
    std::weak_ptr<AudioOutput::Core> core_;
};

} // namespace audio
