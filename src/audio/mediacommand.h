#pragma once

#include "audio/sounddecoder.h"

#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace audio
{

// Media commands: sound files opened under an alias and driven by command strings, as the
// Windows multimedia interface takes them. Only the commands this system sends are known:
//   open "<file>" type waveaudio|mpegvideo|sequencer alias <name> [wait]
//   play <name> [from <ms>] [wait]
//   stop <name>
//   close <name>
// Every alias plays on a mixer channel of its own, so several aliases sound together, MIDI
// files included: they are rendered with a General MIDI sound font into ordinary PCM.
// Opening a file reads only its header: the sound is decoded (or rendered) on a worker while
// it plays, so no command waits for a decoding, and closing the alias ends that work. What is
// kept of a sound is capped (kMaxSoundMs). The audio device itself may still be opening, and
// a sound played before it is open plays once it is.

// Error codes of a command, the numbers the Windows multimedia interface gives them.
namespace MediaError
{
inline constexpr int InvalidDeviceId = 257;
inline constexpr int UnrecognizedKeyword = 259;
inline constexpr int UnrecognizedCommand = 261;
inline constexpr int Hardware = 262;
inline constexpr int InvalidDeviceName = 263;
inline constexpr int CannotLoadDriver = 266;
inline constexpr int MissingCommandString = 267;
inline constexpr int BadInteger = 270;
inline constexpr int FileNotFound = 275;
inline constexpr int DuplicateAlias = 289;
inline constexpr int NoClosingQuote = 294;
inline constexpr int InvalidFile = 296;
inline constexpr int MissingParameter = 417;
} // namespace MediaError

struct MediaCommand {
    enum class Verb { Open, Play, Stop, Close };
    Verb verb = Verb::Close;
    QString file;       // open
    QString deviceType; // open, lower case: waveaudio, mpegvideo or sequencer
    QString alias;      // every command
    qint64 fromMs = -1; // play; -1 = from the current position
    bool wait = false;  // open, play
};

// Parses one command string; keywords and aliases are case-insensitive. On failure returns
// nothing and, when asked, the error code the command would return.
std::optional<MediaCommand> parseMediaCommand(const QString& command, int* error = nullptr);

// Runs one command: 0 on success, a MediaError code otherwise. Without an audio output every
// open fails, so nothing sounds.
int sendCommand(const QString& command);

// Sees every command string and its result (tests); an empty function removes it.
using CommandRecorder = std::function<void(const QString& command, int result)>;
void setCommandRecorder(CommandRecorder recorder);

// Makes the decoder of each wave or MP3 file opened, from the opened file; nullptr refuses
// the file. Tests put in decoders they control; an empty function restores
// openSoundDecoder().
using DecoderMaker = std::function<std::unique_ptr<SoundDecoder>(std::unique_ptr<QIODevice>)>;
void setDecoderMaker(DecoderMaker maker);

// True while the alias is playing (tests and diagnostics).
bool isPlaying(const QString& alias);
// Steady-clock nanoseconds at which the alias's last play first sounded, 0 before
// (measurements).
qint64 firstSampleAtNs(const QString& alias);
// Closes every alias (shut-down and tests).
void closeAllDevices();

} // namespace audio
