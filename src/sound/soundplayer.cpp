#include "sound/soundplayer.h"

#include "audio/mediacommand.h"
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

std::optional<QString> deviceTypePart(const QString& file)
{
    const QString ending = file.right(3).trimmed().toUpper();
    if (ending == u"WAV")
        return QStringLiteral(" type waveaudio alias ");
    if (ending == u"MP3")
        return QStringLiteral(" type mpegvideo alias ");
    if (ending == u"MID")
        return QStringLiteral(" type sequencer alias ");
    return std::nullopt;
}

std::optional<QString> openCommand(const QString& file, const QString& alias)
{
    // A quote inside the name would end the quoted path early and break the command.
    if (file.contains(u'"'))
        return std::nullopt;
    const std::optional<QString> type = deviceTypePart(file);
    if (!type)
        return std::nullopt;
    return QStringLiteral("open \"") + file + u'"' + *type + alias + QStringLiteral(" wait");
}

void playSound(const QString& file, const QString& channel, int waitFlag, int pauseMs)
{
    if (file.isEmpty() || !isRegularFile(file))
        return;
    const QString alias = channelAlias(channel);
    audio::sendCommand(QStringLiteral("close ") + alias);
    const std::optional<QString> open = openCommand(file, alias);
    if (!open)
        return;
    if (audio::sendCommand(*open) != 0)
        return;
    if (waitFlag != 0) {
        audio::sendCommand(QStringLiteral("play ") + alias + QStringLiteral(" from 0 wait"));
        platform::sleepMs(pauseMs);
    } else {
        audio::sendCommand(QStringLiteral("stop ") + alias);
        audio::sendCommand(QStringLiteral("play ") + alias + QStringLiteral(" from 0"));
        platform::sleepMs(0);
    }
}

void closeAllSounds()
{
    for (const char* channel : {"S1", "S2", "S3", "S4"})
        audio::sendCommand(QStringLiteral("close ") + channelAlias(QString::fromLatin1(channel)));
}

} // namespace sound
