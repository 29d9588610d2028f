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

QString channelName(Channel channel)
{
    switch (channel) {
    case Channel::S1:
        return QStringLiteral("S1");
    case Channel::S2:
        return QStringLiteral("S2");
    case Channel::S3:
        return QStringLiteral("S3");
    case Channel::S4:
        return QStringLiteral("S4");
    }
    return QString();
}

QString channelAlias(Channel channel)
{
    return executableBaseName() + channelName(channel);
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

void SoundPlayer::play(const QString& file, Channel channel, Wait wait, int pauseMs)
{
    if (file.isEmpty() || !isRegularFile(file))
        return;
    const QString alias = aliasPrefix_ + channelName(channel);
    media_.close(alias);
    // A quote inside the name could not be written into the log's command, where it would end
    // the quoted path early; such names were never played.
    const std::optional<audio::DeviceType> type = deviceTypeOf(file);
    if (file.contains(u'"') || !type)
        return;
    if (media_.open(alias, file, *type, audio::Wait::Yes) != 0)
        return;
    if (wait == Wait::UntilEnd) {
        media_.play(alias, 0, audio::Wait::Yes);
        media_.clock().sleep(pauseMs);
    } else {
        media_.stop(alias);
        media_.play(alias, 0);
        media_.clock().sleep(0);
    }
}

void SoundPlayer::closeAll()
{
    for (const Channel channel : {Channel::S1, Channel::S2, Channel::S3, Channel::S4})
        media_.close(aliasPrefix_ + channelName(channel));
}

} // namespace sound
