#pragma once

#include "audio/mediaplayer.h"

#include <QString>
#include <optional>

// The sound module: sound files played on the four channels "S1" to "S4" of a media player.
// Every failure is silent.
namespace sound
{

// The four channels; a sound on one plays on while another channel starts or stops.
enum class Channel { S1, S2, S3, S4 };

class SoundPlayer
{
public:
    // Whether play returns at once or once the sound has ended.
    enum class Wait { No, UntilEnd };

    // Plays through media, which outlives it, and pauses on its clock.
    explicit SoundPlayer(audio::MediaPlayer& media);

    // Plays a file on a channel; a new sound on a channel first closes what it played. With
    // Wait::UntilEnd the call returns once the sound has ended, then pauses pauseMs.
    void play(const QString& file, Channel channel, Wait wait, int pauseMs = 0);
    // Closes the four channels (shut-down).
    void closeAll();

    audio::MediaPlayer& media() { return media_; }

private:
    audio::MediaPlayer& media_;
    QString aliasPrefix_; // the executable's base name
};

// The channel's name as the media aliases carry it: "S1" to "S4".
QString channelName(Channel channel);

// The media alias of a channel: the executable's base name followed by the channel's name.
QString channelAlias(Channel channel);

// How a file is opened, from its last three characters; nothing for an unsupported ending.
std::optional<audio::DeviceType> deviceTypeOf(const QString& file);

// The device type part of the open command for a file name, from its last three
// characters: " type waveaudio alias " and so on; nothing for an unsupported ending.
std::optional<QString> deviceTypePart(const QString& file);

// The open command for a file on an alias, as the media player logs it, or nothing when the
// name cannot be written into a command (it contains a double quote) or its ending is
// unsupported.
std::optional<QString> openCommand(const QString& file, const QString& alias);

} // namespace sound
