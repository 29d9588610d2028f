#include "../audio/audio_test_support.h"

#include "audio/mediacommand.h"
#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <thread>

using namespace sound;

namespace
{

class PlaySoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The disk driver plays in real time; each injected pause lets that time pass.
        clock.setOnSleep(
            [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
        media.setRecorder([this](const QString& c, int r) {
            commands << c;
            results << r;
        });
    }
    void TearDown() override
    {
        media.setRecorder({});
        media.closeAll();
    }
    QString wav(const QString& name, int ms = 100)
    {
        const QString path = dir.path() + u'/' + name;
        audiotest::writeWav(path, ms);
        return path;
    }

    QTemporaryDir dir;
    platform::ManualClock clock;
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media{output, midi, clock};
    SoundPlayer player{media};
    QStringList commands;
    QList<int> results;
    const QString s1 = channelAlias(Channel::S1);
};

} // namespace

TEST(SoundCommands, TheOpenCommandOfTheWindowsExample)
{
    EXPECT_EQ(openCommand(QStringLiteral("C:\\snd\\chime.wav"), QStringLiteral("fareS1")),
              QStringLiteral("open \"C:\\snd\\chime.wav\" type waveaudio alias fareS1 wait"));
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.Wav")), QStringLiteral(" type waveaudio alias "));
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.mp3")), QStringLiteral(" type mpegvideo alias "));
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.MID")), QStringLiteral(" type sequencer alias "));
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.wma")), std::nullopt);
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.ogg")), std::nullopt);
    EXPECT_EQ(deviceTypePart(QStringLiteral("a.midi")), std::nullopt);
    // A quote would end the quoted path early: no command is built for such a name.
    EXPECT_EQ(openCommand(QStringLiteral("/snd/say \"hi\".wav"), QStringLiteral("x")),
              std::nullopt);
}

TEST(SoundCommands, TheAliasIsTheExecutablesBaseNameAndTheChannel)
{
    EXPECT_EQ(channelAlias(Channel::S3), QStringLiteral("sound_soundplayer_testsS3"));
    EXPECT_EQ(
        (QStringList{channelName(Channel::S1), channelName(Channel::S2), channelName(Channel::S4)}),
        (QStringList{QStringLiteral("S1"), QStringLiteral("S2"), QStringLiteral("S4")}));
}

TEST_F(PlaySoundTest, UnwaitedPlaySendsTheFourCommandsInOrder)
{
    const QString file = wav(QStringLiteral("my chime.wav"));
    player.play(file, Channel::S1, SoundPlayer::Wait::No);
    const QStringList expected = {
        QStringLiteral("close ") + s1,
        QStringLiteral("open \"%1\" type waveaudio alias %2 wait").arg(file, s1),
        QStringLiteral("stop ") + s1,
        QStringLiteral("play ") + s1 + QStringLiteral(" from 0"),
    };
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(results.mid(1), (QList<int>{0, 0, 0})); // the name with a blank opens
    EXPECT_TRUE(media.isPlaying(s1));
    EXPECT_EQ(clock.sleeps(), (std::vector<int>{0}));
}

TEST_F(PlaySoundTest, WaitedPlayWaitsThenPauses)
{
    const QString file = wav(QStringLiteral("click.WAV"), 300);
    QElapsedTimer real;
    real.start();
    player.play(file, Channel::S1, SoundPlayer::Wait::UntilEnd, 25);
    EXPECT_GE(real.elapsed(), 250 + 25);
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[2], QStringLiteral("play ") + s1 + QStringLiteral(" from 0 wait"));
    EXPECT_FALSE(media.isPlaying(s1));
    EXPECT_GT(clock.sleeps().size(), 2u); // the wait went through the injected clock
    EXPECT_EQ(clock.sleeps().back(), 25);
}

TEST_F(PlaySoundTest, NamesThatCannotPlayStillCloseTheChannel)
{
    player.play(wav(QStringLiteral("a.wav"), 2000), Channel::S1, SoundPlayer::Wait::No);
    ASSERT_TRUE(media.isPlaying(s1));
    commands.clear();

    const QString ogg = dir.path() + QStringLiteral("/tune.ogg");
    QFile::copy(dir.path() + QStringLiteral("/a.wav"), ogg);
    player.play(ogg, Channel::S1, SoundPlayer::Wait::No);
    EXPECT_EQ(commands, QStringList{QStringLiteral("close ") + s1});
    EXPECT_FALSE(media.isPlaying(s1));

    commands.clear();
    player.play(wav(QStringLiteral("say \"hi\".wav")), Channel::S1, SoundPlayer::Wait::No);
    EXPECT_EQ(commands, QStringList{QStringLiteral("close ") + s1});

    commands.clear();
    player.play(QString(), Channel::S1, SoundPlayer::Wait::No);
    player.play(dir.path() + QStringLiteral("/missing.wav"), Channel::S1, SoundPlayer::Wait::No);
    player.play(dir.path(), Channel::S1, SoundPlayer::Wait::No); // a folder is no sound file
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(PlaySoundTest, ASecondSoundOnAChannelEndsTheFirstOnly)
{
    const QString s2 = channelAlias(Channel::S2);
    player.play(wav(QStringLiteral("long1.wav"), 3000), Channel::S1, SoundPlayer::Wait::No);
    player.play(wav(QStringLiteral("long2.wav"), 3000), Channel::S2, SoundPlayer::Wait::No);
    player.play(wav(QStringLiteral("short.wav"), 200), Channel::S1, SoundPlayer::Wait::No);
    EXPECT_TRUE(media.isPlaying(s1));
    EXPECT_TRUE(media.isPlaying(s2));
    // S1 now holds the short sound: it ends long before the other channel's.
    EXPECT_TRUE(platform::waitUntil(
        clock, [&] { return !media.isPlaying(s1); }, 3000, 10));
    EXPECT_TRUE(media.isPlaying(s2));
}

TEST_F(PlaySoundTest, CloseAllSoundsClosesTheFourChannelsInOrder)
{
    player.play(wav(QStringLiteral("a.wav"), 1000), Channel::S4, SoundPlayer::Wait::No);
    commands.clear();
    player.closeAll();
    QStringList expected;
    // The commands name the channels by their texts, whatever the enum's order.
    const QString base = QStringLiteral("sound_soundplayer_tests");
    for (const char* c : {"S1", "S2", "S3", "S4"})
        expected << QStringLiteral("close ") + base + QLatin1String(c);
    EXPECT_EQ(commands, expected);
    EXPECT_EQ(results.back(), 0);
    EXPECT_FALSE(media.isPlaying(channelAlias(Channel::S4)));
}

TEST_F(PlaySoundTest, AllThreeFormatsOpen)
{
    const QString sounds = QStringLiteral(FARE_TEST_SOUNDS_DIR);
    for (const char* name : {"chime.wav", "announce.mp3", "melody.mid"}) {
        results.clear();
        player.play(sounds + u'/' + QLatin1String(name), Channel::S3, SoundPlayer::Wait::No);
        ASSERT_EQ(results.size(), 4) << name;
        EXPECT_EQ(results[1], 0) << name;
        EXPECT_TRUE(media.isPlaying(channelAlias(Channel::S3))) << name;
    }
}

TEST_F(PlaySoundTest, AFileOfGigabytesPlaysAtOnceAndClosesAtOnce)
{
    // Four gigabytes that take no disk: a wave header claiming them, then zeros.
    const QString path = wav(QStringLiteral("huge.wav"), 10);
    QFile header(path);
    ASSERT_TRUE(header.open(QIODevice::ReadWrite));
    header.seek(40);
    header.write(QByteArray("\xF0\xFF\xFF\xFF", 4)); // the data chunk's length
    header.resize(4ll << 30);
    header.close();

    player.play(path, Channel::S2, SoundPlayer::Wait::No);
    EXPECT_EQ(results, (QList<int>{audio::MediaError::InvalidDeviceName, 0, 0, 0})); // not open yet
    const QString s2 = channelAlias(Channel::S2);
    EXPECT_TRUE(media.isPlaying(s2));
    player.closeAll();
    EXPECT_FALSE(media.isPlaying(s2));
}

AUDIO_TEST_MAIN()
