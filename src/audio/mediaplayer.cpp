#include "audio/mediaplayer.h"

#include "audio/mediacommand.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "platform/wait.h"

#include <QFile>
#include <QFileInfo>

namespace audio
{

namespace
{

QString waitSuffix(Wait wait)
{
    return wait == Wait::Yes ? QStringLiteral(" wait") : QString();
}

} // namespace

QString deviceTypeName(DeviceType type)
{
    switch (type) {
    case DeviceType::WaveAudio:
        return QStringLiteral("waveaudio");
    case DeviceType::MpegVideo:
        return QStringLiteral("mpegvideo");
    case DeviceType::Sequencer:
        return QStringLiteral("sequencer");
    }
    return QString();
}

std::optional<DeviceType> deviceTypeNamed(const QString& name)
{
    for (DeviceType type : {DeviceType::WaveAudio, DeviceType::MpegVideo, DeviceType::Sequencer})
        if (name.compare(deviceTypeName(type), Qt::CaseInsensitive) == 0)
            return type;
    return std::nullopt;
}

MediaPlayer::MediaPlayer(AudioOutput& output, MidiRenderer& midi, platform::WaitClock& clock)
    : output_(output), midi_(midi), clock_(clock)
{
}

MediaPlayer::~MediaPlayer()
{
    closeAll();
}

// A waited play ends with its sound. A device that has stalled must not hold the windows
// for ever: once the sound's length is known, the wait ends a little after it, and it never
// lasts longer than the longest sound kept.
void MediaPlayer::waitForEnd(quint64 play, const PcmBufferPtr& sound) const
{
    constexpr int kStallMarginMs = 5000;
    const qint64 start = clock_.nowMs();
    platform::waitUntil(
        clock_,
        [&] {
            return !output_.isPlaying(play) ||
                   (sound->isFinished() &&
                    clock_.nowMs() - start > sound->lengthMs() + kStallMarginMs);
        },
        int(kMaxSoundMs) + kStallMarginMs, 10);
}

int MediaPlayer::open(const QString& alias, const QString& file, DeviceType type, Wait wait)
{
    return record(
        QStringLiteral("open \"%1\" type %2 alias %3").arg(file, deviceTypeName(type), alias) +
            waitSuffix(wait),
        openDevice(alias, file, type));
}

int MediaPlayer::play(const QString& alias, qint64 fromMs, Wait wait)
{
    const QString from = fromMs >= 0 ? QStringLiteral(" from %1").arg(fromMs) : QString();
    // Recorded before a waited play returns, like every other call: after it.
    const int result = playDevice(alias, fromMs, wait);
    return record(QStringLiteral("play ") + alias + from + waitSuffix(wait), result);
}

int MediaPlayer::stop(const QString& alias)
{
    return record(QStringLiteral("stop ") + alias, stopDevice(alias));
}

int MediaPlayer::close(const QString& alias)
{
    return record(QStringLiteral("close ") + alias, closeDevice(alias));
}

int MediaPlayer::send(const QString& command)
{
    int error = 0;
    const std::optional<MediaCommand> request = parseMediaCommand(command, &error);
    if (!request)
        return record(command, error);
    const Wait wait = request->wait ? Wait::Yes : Wait::No;
    switch (request->verb) {
    case MediaCommand::Verb::Open:
        // The parser accepts only the three known types.
        return record(command, openDevice(request->alias, request->file,
                                          *deviceTypeNamed(request->deviceType)));
    case MediaCommand::Verb::Play:
        return record(command, playDevice(request->alias, request->fromMs, wait));
    case MediaCommand::Verb::Stop:
        return record(command, stopDevice(request->alias));
    case MediaCommand::Verb::Close:
        return record(command, closeDevice(request->alias));
    }
    return record(command, MediaError::UnrecognizedCommand);
}

int MediaPlayer::record(const QString& command, int result) const
{
    if (recorder_)
        recorder_(command, result);
    return result;
}

// Reads only the start of the file; the rest is decoded on a worker.
PcmBufferPtr MediaPlayer::startSound(DeviceType type, std::unique_ptr<QIODevice> file) const
{
    // MIDI renders on its own worker into a buffer of its own, so it plays on its alias's
    // channel like any other sound, beside other MIDI sounds.
    if (type == DeviceType::Sequencer)
        return midi_.renderFile(std::move(file));
    return startDecoding(decoderMaker_ ? decoderMaker_(std::move(file))
                                       : openSoundDecoder(std::move(file)));
}

int MediaPlayer::openDevice(const QString& alias, const QString& file, DeviceType type)
{
    const QString key = alias.toLower();
    if (key.isEmpty() || file.isEmpty())
        return MediaError::MissingParameter;
    if (devices_.count(key))
        return MediaError::DuplicateAlias;
    const QFileInfo info(file);
    if (!info.exists())
        return MediaError::FileNotFound;
    // Only a regular file is read: opening a pipe blocks and a device never ends.
    if (!info.isFile())
        return MediaError::InvalidFile;
    if (!openOutputOnFirstUse())
        return MediaError::CannotLoadDriver;
    auto opened = std::make_unique<QFile>(file);
    if (!opened->open(QIODevice::ReadOnly))
        return MediaError::InvalidFile;
    Device device;
    device.sound = startSound(type, std::move(opened));
    if (!device.sound)
        return MediaError::InvalidFile;
    // The device may still be opening: the sound plays once it is.
    devices_.emplace(key, std::move(device));
    return 0;
}

// The device opens with the first sound, not at start-up: a program that plays nothing holds
// no sound-server stream and none of its memory. That first open waits a little for it, so a
// machine without sound refuses the file as every later open does; a sound server that hangs
// costs this one wait, and the sound plays should the device open after all. The wait is for
// the opener, not a pause: it ends the moment the device is open or has failed (milliseconds).
bool MediaPlayer::openOutputOnFirstUse()
{
    if (output_.state() == OutputState::Closed) {
        output_.start();
        output_.waitWhileOpening(firstOpenWaitMs_);
    }
    return output_.state() != OutputState::Failed;
}

int MediaPlayer::playDevice(const QString& alias, qint64 /*fromMs*/, Wait wait)
{
    auto it = devices_.find(alias.toLower());
    if (it == devices_.end())
        return MediaError::InvalidDeviceName;
    Device& device = it->second;
    // Every play starts the sound again from its beginning.
    output_.stop(device.play);
    device.play = output_.play(device.sound);
    if (device.play == 0)
        return MediaError::Hardware;
    if (wait == Wait::Yes)
        waitForEnd(device.play, device.sound);
    return 0;
}

int MediaPlayer::stopDevice(const QString& alias)
{
    auto it = devices_.find(alias.toLower());
    if (it == devices_.end())
        return MediaError::InvalidDeviceName;
    output_.stop(it->second.play);
    return 0;
}

int MediaPlayer::closeDevice(const QString& alias)
{
    auto it = devices_.find(alias.toLower());
    if (it == devices_.end())
        return MediaError::InvalidDeviceName;
    output_.stop(it->second.play);
    devices_.erase(it);
    return 0;
}

void MediaPlayer::closeAll()
{
    for (auto& [alias, device] : devices_)
        output_.stop(device.play);
    devices_.clear();
}

bool MediaPlayer::isPlaying(const QString& alias) const
{
    auto it = devices_.find(alias.toLower());
    return it != devices_.end() && output_.isPlaying(it->second.play);
}

qint64 MediaPlayer::firstSampleAtNs(const QString& alias) const
{
    auto it = devices_.find(alias.toLower());
    return it != devices_.end() ? output_.firstSampleAtNs(it->second.play) : 0;
}

} // namespace audio
