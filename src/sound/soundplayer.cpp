#include "sound/soundplayer.h"

#include "platform/wait.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace sound
{

namespace
{

QString executableBaseName()
{
    const QString path = QCoreApplication::instance()
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return QFileInfo(path).completeBaseName();
}

bool isRegularFile(const QString& file)
{
    return QFileInfo(file).isFile();
}

} // namespace

QString channelAlias(const QString& channel)
{
    return executableBaseName() + channel;
}

std::optional<audio::DeviceType> deviceTypeOf(const QString& file)
{
    const QString ending = file.right(3).trimmed().toUpper();
    if (ending == u"WAV")
        return audio::DeviceType::WaveAudio;
    if (ending == u"MP3")
        return audio::DeviceType::MpegVideo;
    if (ending == u"MID")
        return audio::DeviceType::Sequencer;
    return std::nullopt;
}

std::optional<QString> deviceTypePart(const QString& file)
{
    const std::optional<audio::DeviceType> type = deviceTypeOf(file);
    if (!type)
        return std::nullopt;
    return QStringLiteral(" type ") + audio::deviceTypeName(*type) + QStringLiteral(" alias ");
}

std::optional<QString> openCommand(const QString& file, const QString& alias)
{
    if (file.contains(u'"'))
        return std::nullopt;
    const std::optional<QString> type = deviceTypePart(file);
    if (!type)
        return std::nullopt;
    return QStringLiteral("open \"") + file + u'"' + *type + alias + QStringLiteral(" wait");
}

SoundPlayer::SoundPlayer(audio::MediaPlayer& media)
    : media_(media), aliasPrefix_(executableBaseName())
{
}

void SoundPlayer::play(const QString& file, const QString& channel, int waitFlag, int pauseMs)
{
    if (file.isEmpty() || !isRegularFile(file))
        return;
    const QString alias = aliasPrefix_ + channel;
    media_.close(alias);
    // A quote inside the name could not be written into the log's command, where it would end
    // the quoted path early; such names were never played.
    const std::optional<audio::DeviceType> type = deviceTypeOf(file);
    if (file.contains(u'"') || !type)
        return;
    if (media_.open(alias, file, *type, audio::Wait::Yes) != 0)
        return;
    if (waitFlag != 0) {
        media_.play(alias, 0, audio::Wait::Yes);
        platform::sleepMs(pauseMs);
    } else {
        media_.stop(alias);
        media_.play(alias, 0);
        platform::sleepMs(0);
    }
}

void SoundPlayer::closeAll()
{
    for (const char* channel : {"S1", "S2", "S3", "S4"})
        media_.close(aliasPrefix_ + QLatin1String(channel));
}

} // namespace sound
