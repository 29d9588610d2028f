#pragma once

#include "audio/sounddecoder.h"
#include "platform/wait.h"

#include <QIODevice>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace audio
{

class AudioOutput;
class MidiRenderer;

// How a sound file is read: a wave file, an MP3 file or a MIDI file.
enum class DeviceType { WaveAudio, MpegVideo, Sequencer };

// The device type's name in a media command: waveaudio, mpegvideo or sequencer.
QString deviceTypeName(DeviceType type);
// The device type of a name, in any letter case; nothing for another name.
std::optional<DeviceType> deviceTypeNamed(const QString& name);

// Whether a call returns at once or once the sound has ended.
enum class Wait { No, Yes };

// Sound files opened under an alias (any letter case) and played, stopped and closed by it.
// Every alias plays on a mixer channel of its own, so several aliases sound together, MIDI
// files included: they are rendered with a General MIDI sound font into ordinary PCM.
// Opening a file reads only its header: the sound is decoded (or rendered) on a worker while
// it plays, so no call waits for a decoding, and closing the alias ends that work. What is
// kept of a sound is capped (kMaxSoundMs). The audio device opens with the first file opened, and
// a sound played before it is open plays once it is. Every call returns 0 on success or a
// MediaError code (mediacommand.h). Interface thread only.
class MediaPlayer
{
public:
    // Plays into the output and renders MIDI files with the renderer, both of which outlive
    // the player; a waited play waits on the clock.
    MediaPlayer(AudioOutput& output, MidiRenderer& midi,
                platform::WaitClock& clock = platform::systemClock());
    // Closes every alias.
    ~MediaPlayer();
    // What waited plays wait on; the pauses around them wait on it too.
    platform::WaitClock& clock() const { return clock_; }
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // The longest the first open waits for the audio device it opens.
    static constexpr int kFirstOpenWaitMs = 1000;
    // Tests of a device that never opens shorten that wait.
    void setFirstOpenWaitMs(int ms) { firstOpenWaitMs_ = ms; }

    // Opens a regular file under a new alias. Without an audio output every open fails, so
    // nothing sounds. The wait is accepted for the log's sake: an open waits only while the
    // first one opens the audio device (kFirstOpenWaitMs at most).
    int open(const QString& alias, const QString& file, DeviceType type, Wait wait = Wait::No);
    // Plays the alias from the start (fromMs 0) or from where it was (-1). A waited play
    // returns when the sound has ended, or a little after its length when the device stalls.
    int play(const QString& alias, qint64 fromMs = -1, Wait wait = Wait::No);
    // Stops the playing only: the decoding goes on, since a play usually follows.
    int stop(const QString& alias);
    int close(const QString& alias);
    // Closes every alias (shut-down and tests); not logged.
    void closeAll();

    // True while the alias is playing (tests and diagnostics).
    bool isPlaying(const QString& alias) const;
    // Steady-clock nanoseconds at which the alias's last play first sounded, 0 before
    // (measurements).
    qint64 firstSampleAtNs(const QString& alias) const;

    // Sees every call as the media command it stands for, with its result (tests compare
    // the sequence); an empty function removes it.
    using Recorder = std::function<void(const QString& command, int result)>;
    void setRecorder(Recorder recorder) { recorder_ = std::move(recorder); }

    // Makes the decoder of each wave or MP3 file opened, from the opened file; nullptr refuses
    // the file. Tests put in decoders they control; an empty function restores
    // openSoundDecoder().
    using DecoderMaker = std::function<std::unique_ptr<SoundDecoder>(std::unique_ptr<QIODevice>)>;
    void setDecoderMaker(DecoderMaker maker) { decoderMaker_ = std::move(maker); }

    // Runs a media command string (mediacommand.h) and logs it as it was written.
    int send(const QString& command);

    // What the sounds play into.
    AudioOutput& output() const { return output_; }

private:
    struct Device {
        // Filling on a worker while it plays. Dropped at the close, which ends that worker.
        PcmBufferPtr sound;
        quint64 play = 0; // the mixer's play, 0 before the first
    };

    int openDevice(const QString& alias, const QString& file, DeviceType type);
    // Opens the audio device if nothing has yet; false once it has failed.
    bool openOutputOnFirstUse();
    int playDevice(const QString& alias, qint64 fromMs, Wait wait);
    int stopDevice(const QString& alias);
    int closeDevice(const QString& alias);
    PcmBufferPtr startSound(DeviceType type, std::unique_ptr<QIODevice> file) const;
    int record(const QString& command, int result) const;

    void waitForEnd(quint64 play, const PcmBufferPtr& sound) const;

    AudioOutput& output_;
    MidiRenderer& midi_;
    platform::WaitClock& clock_;
    std::map<QString, Device> devices_; // by alias in lower case
    Recorder recorder_;
    DecoderMaker decoderMaker_;
    int firstOpenWaitMs_ = kFirstOpenWaitMs;
};

} // namespace audio
