#include "audio/mci.h"

#include "audio/mcimixer.h"
#include "platform/wait.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <SDL.h>
#include <SDL_mixer.h>
#include <map>

namespace platform
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

std::optional<MciCommand> fail(int code, int* error)
{
    if (error)
        *error = code;
    return std::nullopt;
}

std::optional<MciCommand> parseOpen(const QStringList& t, int* error)
{
    if (t.size() < 2)
        return fail(MciErr::MissingParameter, error);
    MciCommand cmd;
    cmd.verb = MciCommand::Verb::Open;
    cmd.file = t[1];
    for (int i = 2; i < t.size(); ++i) {
        const QString key = t[i].toLower();
        if (key == u"wait") {
            cmd.wait = true;
        } else if ((key == u"type" || key == u"alias") && i + 1 < t.size()) {
            (key == u"type" ? cmd.deviceType : cmd.alias) = t[++i].toLower();
        } else {
            return fail(key == u"type" || key == u"alias" ? MciErr::MissingParameter
                                                          : MciErr::UnrecognizedKeyword,
                        error);
        }
    }
    if (cmd.alias.isEmpty() || cmd.file.isEmpty())
        return fail(MciErr::MissingParameter, error);
    if (!isKnownType(cmd.deviceType))
        return fail(MciErr::InvalidDeviceName, error);
    return cmd;
}

std::optional<MciCommand> parsePlay(const QStringList& t, int* error)
{
    MciCommand cmd;
    cmd.verb = MciCommand::Verb::Play;
    cmd.alias = t[1].toLower();
    for (int i = 2; i < t.size(); ++i) {
        const QString key = t[i].toLower();
        if (key == u"wait") {
            cmd.wait = true;
        } else if (key == u"from" && i + 1 < t.size()) {
            bool ok = false;
            cmd.fromMs = t[++i].toLongLong(&ok);
            if (!ok || cmd.fromMs < 0)
                return fail(MciErr::BadInteger, error);
        } else {
            return fail(key == u"from" ? MciErr::MissingParameter : MciErr::UnrecognizedKeyword,
                        error);
        }
    }
    return cmd;
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

MciRecorder& recorder()
{
    static MciRecorder r;
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
        audio::releaseChannel(dev.channel);
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

int openDevice(const MciCommand& cmd)
{
    if (devices().count(cmd.alias))
        return MciErr::DuplicateAlias;
    const QFileInfo info(cmd.file);
    if (!info.exists())
        return MciErr::FileNotFound;
    // Only a regular file is read: opening a pipe blocks and a device never ends.
    if (!info.isFile())
        return MciErr::InvalidFile;
    QFile file(cmd.file);
    if (!file.open(QIODevice::ReadOnly))
        return MciErr::InvalidFile;
    MediaDevice dev;
    dev.type = cmd.deviceType;
    dev.data = file.readAll();
    if (!audio::open())
        return MciErr::CannotLoadDriver;
    SDL_RWops* rw = SDL_RWFromConstMem(dev.data.constData(), int(dev.data.size()));
    if (dev.type == u"sequencer") {
        closeOtherMusic();
        dev.music = Mix_LoadMUSType_RW(rw, MUS_MID, 1);
        if (!dev.music)
            return MciErr::InvalidFile;
    } else {
        dev.chunk = Mix_LoadWAV_RW(rw, 1);
        if (!dev.chunk)
            return MciErr::InvalidFile;
        dev.channel = audio::allocateChannel();
        if (dev.channel < 0) {
            Mix_FreeChunk(dev.chunk);
            return MciErr::Hardware;
        }
    }
    devices().emplace(cmd.alias, std::move(dev));
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

int playDevice(const MciCommand& cmd)
{
    auto it = devices().find(cmd.alias);
    if (it == devices().end())
        return MciErr::InvalidDeviceName;
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
        return MciErr::Hardware;
    if (cmd.wait) {
        // A sound whose length is unknown still ends; the cap only guards a stalled device.
        const qint64 length = lengthMs(dev);
        const int cap = length >= 0 ? int(length) + 5000 : 30 * 60 * 1000;
        const QString alias = cmd.alias;
        waitUntil([alias] { return !mciIsPlaying(alias); }, cap, 10);
    }
    return 0;
}

int stopDevice(const MciCommand& cmd)
{
    auto it = devices().find(cmd.alias);
    if (it == devices().end())
        return MciErr::InvalidDeviceName;
    if (it->second.music)
        Mix_HaltMusic();
    else
        Mix_HaltChannel(it->second.channel);
    return 0;
}

int run(const QString& command)
{
    int error = 0;
    const std::optional<MciCommand> cmd = parseMciCommand(command, &error);
    if (!cmd)
        return error;
    switch (cmd->verb) {
    case MciCommand::Verb::Open:
        return openDevice(*cmd);
    case MciCommand::Verb::Play:
        return playDevice(*cmd);
    case MciCommand::Verb::Stop:
        return stopDevice(*cmd);
    case MciCommand::Verb::Close:
        return closeAlias(cmd->alias) ? 0 : MciErr::InvalidDeviceName;
    }
    return MciErr::UnrecognizedCommand;
}

} // namespace

std::optional<MciCommand> parseMciCommand(const QString& command, int* error)
{
    QStringList t;
    if (!tokenize(command, t))
        return fail(MciErr::NoClosingQuote, error);
    if (t.isEmpty())
        return fail(MciErr::MissingCommandString, error);
    const QString verb = t[0].toLower();
    if (verb != u"open" && verb != u"play" && verb != u"stop" && verb != u"close")
        return fail(MciErr::UnrecognizedCommand, error);
    if (t.size() < 2)
        return fail(MciErr::MissingParameter, error);
    if (verb == u"open")
        return parseOpen(t, error);
    if (verb == u"play")
        return parsePlay(t, error);
    if (t.size() > 2)
        return fail(MciErr::UnrecognizedKeyword, error);
    MciCommand cmd;
    cmd.verb = verb == u"stop" ? MciCommand::Verb::Stop : MciCommand::Verb::Close;
    cmd.alias = t[1].toLower();
    return cmd;
}

int mciSendString(const QString& command)
{
    const int result = run(command);
    if (recorder())
        recorder()(command, result);
    return result;
}

void setMciRecorder(MciRecorder r)
{
    recorder() = std::move(r);
}

bool mciIsPlaying(const QString& alias)
{
    auto it = devices().find(alias.toLower());
    return it != devices().end() && devicePlaying(it->second);
}

void mciCloseAll()
{
    for (auto& [alias, dev] : devices())
        release(dev);
    devices().clear();
}

} // namespace platform
