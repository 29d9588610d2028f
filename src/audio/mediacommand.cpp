#include "audio/mediacommand.h"

#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "platform/wait.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
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
    // Filling on a worker while it plays. Dropped at the close, which ends that worker.
    PcmBufferPtr sound;
    quint64 play = 0; // the mixer's play, 0 before the first
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

DecoderMaker& decoderMaker()
{
    static DecoderMaker m;
    return m;
}

bool closeAlias(const QString& alias)
{
    auto it = devices().find(alias);
    if (it == devices().end())
        return false;
    stop(it->second.play);
    devices().erase(it);
    return true;
}

// Reads only the start of the file; the rest is decoded on a worker.
PcmBufferPtr startSound(const MediaCommand& request, std::unique_ptr<QIODevice> file)
{
    // MIDI renders on its own worker into a buffer of its own, so it plays on its alias's
    // channel like any other sound, beside other MIDI sounds.
    if (request.deviceType == u"sequencer")
        return renderMidiFile(std::move(file));
    return startDecoding(decoderMaker() ? decoderMaker()(std::move(file))
                                        : openSoundDecoder(std::move(file)));
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
    if (outputState() == OutputState::Failed)
        return MediaError::CannotLoadDriver;
    auto file = std::make_unique<QFile>(request.file);
    if (!file->open(QIODevice::ReadOnly))
        return MediaError::InvalidFile;
    MediaDevice dev;
    dev.sound = startSound(request, std::move(file));
    if (!dev.sound)
        return MediaError::InvalidFile;
    // The device may still be opening (start-up): the sound plays once it is.
    startOutput();
    devices().emplace(request.alias, std::move(dev));
    return 0;
}

// A waited play ends with its sound. A device that has stalled must not hold the windows
// for ever: once the sound's length is known, the wait ends a little after it, and it never
// lasts longer than the longest sound kept.
void waitForEnd(quint64 id, const PcmBufferPtr& sound)
{
    constexpr int kStallMarginMs = 5000;
    const qint64 start = platform::nowMs();
    platform::waitUntil(
        [&] {
            return !audio::isPlaying(id) ||
                   (sound->isFinished() &&
                    platform::nowMs() - start > sound->lengthMs() + kStallMarginMs);
        },
        int(kMaxSoundMs) + kStallMarginMs, 10);
}

int playDevice(const MediaCommand& request)
{
    auto it = devices().find(request.alias);
    if (it == devices().end())
        return MediaError::InvalidDeviceName;
    MediaDevice& dev = it->second;
    stop(dev.play);
    dev.play = play(dev.sound);
    if (dev.play == 0)
        return MediaError::Hardware;
    if (request.wait)
        waitForEnd(dev.play, dev.sound);
    return 0;
}

// Stops the playing only: the decoding goes on, since a play usually follows (the sound
// module stops an alias just before it plays it).
int stopDevice(const MediaCommand& request)
{
    auto it = devices().find(request.alias);
    if (it == devices().end())
        return MediaError::InvalidDeviceName;
    stop(it->second.play);
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

void setDecoderMaker(DecoderMaker maker)
{
    decoderMaker() = std::move(maker);
}

bool isPlaying(const QString& alias)
{
    auto it = devices().find(alias.toLower());
    return it != devices().end() && audio::isPlaying(it->second.play);
}

qint64 firstSampleAtNs(const QString& alias)
{
    auto it = devices().find(alias.toLower());
    return it != devices().end() ? audio::firstSampleAtNs(it->second.play) : 0;
}

void closeAllDevices()
{
    for (auto& [alias, dev] : devices())
        stop(dev.play);
    devices().clear();
}

} // namespace audio
