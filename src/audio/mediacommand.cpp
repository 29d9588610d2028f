#include "audio/mediacommand.h"

#include "audio/mixer.h"
#include "platform/wait.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <SDL.h>
#include <SDL_mixer.h>
#include <map>

namespace audio
{

namespace
{

// ---- parsing ----

// Splits at blanks; a double-quoted run is one token without its quotes.
bool tokenize(const QString& command, QStringList& tokens)
{
    QString current;
    bool inQuotes = false;
    bool hasToken = false;
    for (QChar c : command) {
        if (inQuotes) {
            if (c == u'"')
                inQuotes = false;
            else
                current += c;
        } else if (c == u'"') {
            inQuotes = true;
            hasToken = true;
        } else if (c.isSpace()) {
            if (hasToken)
                tokens << current;
            current.clear();
            hasToken = false;
        } else {
            current += c;
            hasToken = true;
        }
    }
    if (inQuotes)
        return false;
    if (hasToken)
        tokens << current;
    return true;
}

bool isKnownType(const QString& type)
{
    return type == u"waveaudio" || type == u"mpegvideo" || type == u"sequencer";
}

std::optional<MediaCommand> fail(int code, int* error)
{
    if (error)
        *error = code;
    return std::nullopt;
}

std::optional<MediaCommand> parseOpen(const QStringList& tokens, int* error)
{
    if (tokens.size() < 2)
        return fail(MediaError::MissingParameter, error);
    MediaCommand request;
    request.verb = MediaCommand::Verb::Open;
    request.file = tokens[1];
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toLower();
        if (key == u"wait") {
            request.wait = true;
        } else if ((key == u"type" || key == u"alias") && i + 1 < tokens.size()) {
            (key == u"type" ? request.deviceType : request.alias) = tokens[++i].toLower();
        } else {
            return fail(key == u"type" || key == u"alias" ? MediaError::MissingParameter
                                                          : MediaError::UnrecognizedKeyword,
                        error);
        }
    }
    if (request.alias.isEmpty() || request.file.isEmpty())
        return fail(MediaError::MissingParameter, error);
    if (!isKnownType(request.deviceType))
        return fail(MediaError::InvalidDeviceName, error);
    return request;
}

std::optional<MediaCommand> parsePlay(const QStringList& tokens, int* error)
{
    MediaCommand request;
    request.verb = MediaCommand::Verb::Play;
    request.alias = tokens[1].toLower();
    for (int i = 2; i < tokens.size(); ++i) {
        const QString key = tokens[i].toLower();
        if (key == u"wait") {
            request.wait = true;
        } else if (key == u"from" && i + 1 < tokens.size()) {
            bool ok = false;
            request.fromMs = tokens[++i].toLongLong(&ok);
            if (!ok || request.fromMs < 0)
                return fail(MediaError::BadInteger, error);
        } else {
            return fail(key == u"from" ? MediaError::MissingParameter
                                       : MediaError::UnrecognizedKeyword,
                        error);
        }
    }
    return request;
}

// ---- devices ----

struct MediaDevice {
    QString type;
    QByteArray data; // the file, kept for the music stream that decodes it while playing
    Mix_Chunk* chunk = nullptr;
    Mix_Music* music = nullptr;
    int channel = -1;
};

std::map<QString, MediaDevice>& devices()
{
    static std::map<QString, MediaDevice> d;
    return d;
}

CommandRecorder& recorder()
{
    static CommandRecorder r;
    return r;
}

void release(MediaDevice& dev)
{
    if (dev.music) {
        Mix_HaltMusic();
        Mix_FreeMusic(dev.music);
        dev.music = nullptr;
    }
    if (dev.chunk) {
        Mix_HaltChannel(dev.channel);
        Mix_FreeChunk(dev.chunk);
        dev.chunk = nullptr;
    }
    if (dev.channel >= 0)
        releaseChannel(dev.channel);
    dev.channel = -1;
}

bool closeAlias(const QString& alias)
{
    auto it = devices().find(alias);
    if (it == devices().end())
        return false;
    release(it->second);
    devices().erase(it);
    return true;
}

// Only one music stream exists: a new MIDI device takes it from the old one.
void closeOtherMusic()
{
    for (auto it = devices().begin(); it != devices().end();) {
        if (it->second.music) {
            release(it->second);
            it = devices().erase(it);
        } else {
            ++it;
        }
    }
}

int openDevice(const MediaCommand& request)
{
    if (devices().count(request.alias))
        return MediaError::DuplicateAlias;
    const QFileInfo info(request.file);
    if (!info.exists())
        return MediaError::FileNotFound;
    // Only a regular file is read: opening a pipe blocks and a device never ends.
    if (!info.isFile())
        return MediaError::InvalidFile;
    QFile file(request.file);
    if (!file.open(QIODevice::ReadOnly))
        return MediaError::InvalidFile;
    MediaDevice dev;
    dev.type = request.deviceType;
    dev.data = file.readAll();
    if (!openOutput())
        return MediaError::CannotLoadDriver;
    SDL_RWops* rw = SDL_RWFromConstMem(dev.data.constData(), int(dev.data.size()));
    if (dev.type == u"sequencer") {
        closeOtherMusic();
        dev.music = Mix_LoadMUSType_RW(rw, MUS_MID, 1);
        if (!dev.music)
            return MediaError::InvalidFile;
    } else {
        dev.chunk = Mix_LoadWAV_RW(rw, 1);
        if (!dev.chunk)
            return MediaError::InvalidFile;
        dev.channel = allocateChannel();
        if (dev.channel < 0) {
            Mix_FreeChunk(dev.chunk);
            return MediaError::Hardware;
        }
    }
    devices().emplace(request.alias, std::move(dev));
    return 0;
}

bool devicePlaying(const MediaDevice& dev)
{
    if (dev.music)
        return Mix_PlayingMusic() != 0;
    return dev.channel >= 0 && Mix_Playing(dev.channel) != 0;
}

// Length of a sound in milliseconds, -1 when the decoder cannot tell.
qint64 lengthMs(const MediaDevice& dev)
{
    if (dev.music) {
        const double seconds = Mix_MusicDuration(dev.music);
        return seconds > 0 ? qint64(seconds * 1000) : -1;
    }
    int freq = 0;
    int channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&freq, &format, &channels);
    const qint64 bytesPerSecond = qint64(freq) * channels * (SDL_AUDIO_BITSIZE(format) / 8);
    return bytesPerSecond > 0 ? qint64(dev.chunk->alen) * 1000 / bytesPerSecond : -1;
}

int playDevice(const MediaCommand& request)
{
    auto it = devices().find(request.alias);
    if (it == devices().end())
        return MediaError::InvalidDeviceName;
    MediaDevice& dev = it->second;
    bool started = false;
    if (dev.music) {
        Mix_HaltMusic();
        started = Mix_PlayMusic(dev.music, 0) == 0;
    } else {
        Mix_HaltChannel(dev.channel);
        started = Mix_PlayChannel(dev.channel, dev.chunk, 0) >= 0;
    }
    if (!started)
        return MediaError::Hardware;
    if (request.wait) {
        // A sound whose length is unknown still ends; the cap only guards a stalled device.
        const qint64 length = lengthMs(dev);
        const int cap = length >= 0 ? int(length) + 5000 : 30 * 60 * 1000;
        const QString alias = request.alias;
        platform::waitUntil([alias] { return !isPlaying(alias); }, cap, 10);
    }
    return 0;
}

int stopDevice(const MediaCommand& request)
{
    auto it = devices().find(request.alias);
    if (it == devices().end())
        return MediaError::InvalidDeviceName;
    if (it->second.music)
        Mix_HaltMusic();
    else
        Mix_HaltChannel(it->second.channel);
    return 0;
}

int runCommand(const QString& command)
{
    int error = 0;
    const std::optional<MediaCommand> request = parseMediaCommand(command, &error);
    if (!request)
        return error;
    switch (request->verb) {
    case MediaCommand::Verb::Open:
        return openDevice(*request);
    case MediaCommand::Verb::Play:
        return playDevice(*request);
    case MediaCommand::Verb::Stop:
        return stopDevice(*request);
    case MediaCommand::Verb::Close:
        return closeAlias(request->alias) ? 0 : MediaError::InvalidDeviceName;
    }
    return MediaError::UnrecognizedCommand;
}

} // namespace

std::optional<MediaCommand> parseMediaCommand(const QString& command, int* error)
{
    QStringList tokens;
    if (!tokenize(command, tokens))
        return fail(MediaError::NoClosingQuote, error);
    if (tokens.isEmpty())
        return fail(MediaError::MissingCommandString, error);
    const QString verb = tokens[0].toLower();
    if (verb != u"open" && verb != u"play" && verb != u"stop" && verb != u"close")
        return fail(MediaError::UnrecognizedCommand, error);
    if (tokens.size() < 2)
        return fail(MediaError::MissingParameter, error);
    if (verb == u"open")
        return parseOpen(tokens, error);
    if (verb == u"play")
        return parsePlay(tokens, error);
    if (tokens.size() > 2)
        return fail(MediaError::UnrecognizedKeyword, error);
    MediaCommand request;
    request.verb = verb == u"stop" ? MediaCommand::Verb::Stop : MediaCommand::Verb::Close;
    request.alias = tokens[1].toLower();
    return request;
}

int sendCommand(const QString& command)
{
    const int result = runCommand(command);
    if (recorder())
        recorder()(command, result);
    return result;
}

void setCommandRecorder(CommandRecorder r)
{
    recorder() = std::move(r);
}

bool isPlaying(const QString& alias)
{
    auto it = devices().find(alias.toLower());
    return it != devices().end() && devicePlaying(it->second);
}

void closeAllDevices()
{
    for (auto& [alias, dev] : devices())
        release(dev);
    devices().clear();
}

} // namespace audio
