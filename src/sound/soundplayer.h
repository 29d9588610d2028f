#pragma once

#include <QString>
#include <optional>

// The sound module: sound files played on the four channels "S1" to "S4" through media
// command strings. Every failure is silent.
namespace sound
{

// Plays a file on a channel; a new sound on a channel first closes what it played. With a
// non-zero waitFlag the call returns once the sound has ended, then pauses pauseMs.
void playSound(const QString& file, const QString& channel, int waitFlag, int pauseMs);

// Closes the four channels (shut-down).
void closeAllSounds();

// The media alias of a channel: the executable's base name followed by the channel text.
QString channelAlias(const QString& channel);

// The device type part of the open command for a file name, from its last three
// characters: " type waveaudio alias " and so on; nothing for an unsupported ending.
std::optional<QString> deviceTypePart(const QString& file);

// The open command for a file on an alias, or nothing when the name cannot be written into
// a command (it contains a double quote) or its ending is unsupported.
std::optional<QString> openCommand(const QString& file, const QString& alias);

} // namespace sound
