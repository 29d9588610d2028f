#pragma once

#include <QString>
#include <optional>

namespace audio
{

// Media commands: sound files opened under an alias and driven by command strings, as the
// Windows multimedia interface takes them. Only the commands this system sends are known:
//   open "<file>" type waveaudio|mpegvideo|sequencer alias <name> [wait]
//   play <name> [from <ms>] [wait]
//   stop <name>
//   close <name>
// The program plays its sounds through MediaPlayer's typed calls; these strings remain for
// the tools and benchmarks that script it (MediaPlayer::send), and the player writes its log
// in them.

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

} // namespace audio
