#include "audio_test_support.h"
#include "decoder_test_support.h"

#include "audio/mediacommand.h"
#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "platform/wait.h"
#include "support/threadwait.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace audio;
using platform::ManualClock;
using testsupport::waitForThreads;

namespace
{

int parseError(const QString& command)
{
    int error = 0;
    EXPECT_FALSE(parseMediaCommand(command, &error).has_value()) << command.toStdString();
    return error;
}

// Drives a media player through command strings, as the tools script it.
class MediaDevices : public ::testing::Test
{
protected:
    int sendCommand(const QString& command) { return player.send(command); }
    void setCommandRecorder(MediaPlayer::Recorder recorder)
    {
        player.setRecorder(std::move(recorder));
    }
    void setDecoderMaker(MediaPlayer::DecoderMaker maker)
    {
        player.setDecoderMaker(std::move(maker));
    }
    void closeAllDevices() { player.closeAll(); }
    qint64 firstSampleAtNs(const QString& alias) const { return player.firstSampleAtNs(alias); }
    bool isPlaying(const QString& alias) const { return player.isPlaying(alias); }
    void TearDown() override
    {
        closeAllDevices();
        setDecoderMaker({});
        gate->release(); // lets a worker still held there end
    }
    QString wav(const QString& name, int ms)
    {
        const QString path = dir.path() + u'/' + name;
        audiotest::writeWav(path, ms);
        return path;
    }
    // Every wave or MP3 file opened from now on decodes with a GatedDecoder at the gate.
    void decodeAtTheGate(int pieceCount)
    {
        setDecoderMaker([gate = gate, pieceCount](std::unique_ptr<QIODevice>) {
            return std::make_unique<audiotest::GatedDecoder>(gate, pieceCount);
        });
    }
    // A file of the given size that takes no disk: the head, then zeros.
    QString sparseFile(const QString& name, const QByteArray& head, qint64 size)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        f.close();
        EXPECT_EQ(::truncate(QFile::encodeName(path).constData(), size), 0);
        return path;
    }
    QTemporaryDir dir;
    // Waited plays wait on it; the tests that wait say what each pause lets happen.
    ManualClock clock;
    AudioOutput output;
    MidiRenderer midi;
    MediaPlayer player{output, midi, clock};
    std::shared_ptr<audiotest::Gate> gate = std::make_shared<audiotest::Gate>();
};

// Writes a MIDI song of two seconds at path and returns its bytes (empty when it cannot).
QByteArray twoSecondSong(const QString& path)
{
    audiotest::writeMidi(path, 2);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits for a worker to finish a sound (bounded: a worker that never ends fails the test).
bool finishes(const PcmBufferPtr& sound)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!sound->isFinished() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return sound->isFinished();
}

} // namespace

TEST(MediaCommandParse, TheCommandsTheSoundModuleSends)
{
    auto open = parseMediaCommand(
        QStringLiteral("open \"/snd/my chime.wav\" type waveaudio alias fareS1 wait"));
    ASSERT_TRUE(open);
    EXPECT_EQ(open->verb, MediaCommand::Verb::Open);
    EXPECT_EQ(open->file, QStringLiteral("/snd/my chime.wav"));
    EXPECT_EQ(open->deviceType, QStringLiteral("waveaudio"));
    EXPECT_EQ(open->alias, QStringLiteral("fares1"));
    EXPECT_TRUE(open->wait);

    auto play = parseMediaCommand(QStringLiteral("PLAY fareS1 From 0 Wait"));
    ASSERT_TRUE(play);
    EXPECT_EQ(play->verb, MediaCommand::Verb::Play);
    EXPECT_EQ(play->fromMs, 0);
    EXPECT_TRUE(play->wait);

    auto async = parseMediaCommand(QStringLiteral("play fareS2 from 0"));
    ASSERT_TRUE(async);
    EXPECT_FALSE(async->wait);

    EXPECT_EQ(parseMediaCommand(QStringLiteral("stop fareS3"))->verb, MediaCommand::Verb::Stop);
    EXPECT_EQ(parseMediaCommand(QStringLiteral("close fareS4"))->verb, MediaCommand::Verb::Close);
    for (const char* type : {"mpegvideo", "sequencer"}) {
        auto parsed = parseMediaCommand(
            QStringLiteral("open \"a\" type %1 alias x wait").arg(QLatin1String(type)));
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->deviceType, QLatin1String(type));
    }
}

TEST(MediaCommandParse, AnythingElseIsAnError)
{
    EXPECT_EQ(parseError(QString()), MediaError::MissingCommandString);
    EXPECT_EQ(parseError(QStringLiteral("   ")), MediaError::MissingCommandString);
    EXPECT_EQ(parseError(QStringLiteral("pause fareS1")), MediaError::UnrecognizedCommand);
    EXPECT_EQ(parseError(QStringLiteral("status fareS1 mode")), MediaError::UnrecognizedCommand);
    EXPECT_EQ(parseError(QStringLiteral("open \"a.wav type waveaudio alias x")),
              MediaError::NoClosingQuote);
    EXPECT_EQ(parseError(QStringLiteral("open \"a.avi\" type avivideo alias x")),
              MediaError::InvalidDeviceName);
    EXPECT_EQ(parseError(QStringLiteral("open \"a.wav\" type waveaudio")),
              MediaError::MissingParameter);
    EXPECT_EQ(parseError(QStringLiteral("open \"a.wav\" type waveaudio alias")),
              MediaError::MissingParameter);
    EXPECT_EQ(parseError(QStringLiteral("play x from zero")), MediaError::BadInteger);
    EXPECT_EQ(parseError(QStringLiteral("play x repeat")), MediaError::UnrecognizedKeyword);
    EXPECT_EQ(parseError(QStringLiteral("stop x now")), MediaError::UnrecognizedKeyword);
    EXPECT_EQ(parseError(QStringLiteral("close")), MediaError::MissingParameter);
}

TEST_F(MediaDevices, ErrorsOfOpenPlayAndCloseAndTheRecorder)
{
    std::vector<std::pair<QString, int>> seen;
    setCommandRecorder([&](const QString& c, int r) { seen.emplace_back(c, r); });
    EXPECT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias a wait")
                              .arg(dir.path() + QStringLiteral("/none.wav"))),
              MediaError::FileNotFound);
    EXPECT_EQ(sendCommand(QStringLiteral("play a from 0")), MediaError::InvalidDeviceName);
    EXPECT_EQ(sendCommand(QStringLiteral("close a")), MediaError::InvalidDeviceName);

    const QString notAudio = dir.path() + QStringLiteral("/text.wav");
    QFile f(notAudio);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is no sound");
    f.close();
    EXPECT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias a wait").arg(notAudio)),
              MediaError::InvalidFile);

    const QString open =
        QStringLiteral("open \"%1\" type waveaudio alias a wait").arg(wav("t.wav", 100));
    EXPECT_EQ(sendCommand(open), 0);
    EXPECT_EQ(sendCommand(open), MediaError::DuplicateAlias);
    EXPECT_EQ(sendCommand(QStringLiteral("close A")), 0); // aliases ignore case
    setCommandRecorder({});

    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].second, MediaError::FileNotFound);
    EXPECT_EQ(seen[5].first, open);
    EXPECT_EQ(seen[6], std::make_pair(QStringLiteral("close A"), 0));
}

TEST_F(MediaDevices, TypedCallsLogTheCommandsTheyStandFor)
{
    std::vector<std::pair<QString, int>> seen;
    setCommandRecorder([&](const QString& c, int r) { seen.emplace_back(c, r); });
    const QString path = wav("typed.wav", 2000);
    EXPECT_EQ(player.open(QStringLiteral("fareS1"), path, DeviceType::WaveAudio, Wait::Yes), 0);
    EXPECT_EQ(player.open(QStringLiteral("FARES1"), path, DeviceType::WaveAudio),
              MediaError::DuplicateAlias);
    EXPECT_EQ(player.stop(QStringLiteral("fareS1")), 0);
    EXPECT_EQ(player.play(QStringLiteral("fareS1"), 0), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("fares1")));
    EXPECT_EQ(player.play(QStringLiteral("fareS1")), 0);
    EXPECT_EQ(player.close(QStringLiteral("fareS1")), 0);
    EXPECT_FALSE(isPlaying(QStringLiteral("fareS1")));
    EXPECT_EQ(player.close(QStringLiteral("fareS1")), MediaError::InvalidDeviceName);
    EXPECT_EQ(player.open(QStringLiteral("m"), dir.filePath(QStringLiteral("gone.mid")),
                          DeviceType::Sequencer),
              MediaError::FileNotFound);
    const std::vector<std::pair<QString, int>> expected = {
        {QStringLiteral("open \"%1\" type waveaudio alias fareS1 wait").arg(path), 0},
        {QStringLiteral("open \"%1\" type waveaudio alias FARES1").arg(path),
         MediaError::DuplicateAlias},
        {QStringLiteral("stop fareS1"), 0},
        {QStringLiteral("play fareS1 from 0"), 0},
        {QStringLiteral("play fareS1"), 0},
        {QStringLiteral("close fareS1"), 0},
        {QStringLiteral("close fareS1"), MediaError::InvalidDeviceName},
        {QStringLiteral("open \"%1\" type sequencer alias m")
             .arg(dir.filePath(QStringLiteral("gone.mid"))),
         MediaError::FileNotFound}};
    EXPECT_EQ(seen, expected);
    // Each logged command, sent as a string, is understood as the call it stands for.
    for (const auto& [command, result] : expected)
        EXPECT_TRUE(parseMediaCommand(command)) << command.toStdString();
}

TEST(MediaDeviceTypes, NamesRoundTripInAnyCase)
{
    for (DeviceType type : {DeviceType::WaveAudio, DeviceType::MpegVideo, DeviceType::Sequencer})
        EXPECT_EQ(deviceTypeNamed(deviceTypeName(type).toUpper()), type);
    EXPECT_EQ(deviceTypeNamed(QStringLiteral("avivideo")), std::nullopt);
}

TEST_F(MediaDevices, OnlyRegularFilesOpen)
{
    // A folder, a pipe with no writer and an endless device: refused at once, none blocks.
    const QString fifo = dir.path() + QStringLiteral("/pipe.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zero = dir.filePath(QStringLiteral("zero.wav")); // /dev/zero under a sound's name
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString& path : {dir.path(), fifo, QStringLiteral("/dev/zero"), zero})
        EXPECT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias a").arg(path)),
                  MediaError::InvalidFile)
            << path.toStdString();
    EXPECT_FALSE(isPlaying(QStringLiteral("a")));

    // A long name with blanks and non-Latin characters is still one operand.
    const QString name = QStringLiteral("停留所 ") + QString(200, u'x') + QStringLiteral(".wav");
    EXPECT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias a").arg(wav(name, 50))),
              0);
}

TEST_F(MediaDevices, AWaitedPlayLastsTheSoundThroughTheInjectedClock)
{
    const QString path = wav("long.wav", 600);
    ASSERT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias w wait").arg(path)), 0);
    // The disk driver plays in real time; each injected pause lets a little real time pass.
    clock.setOnSleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    QElapsedTimer real;
    real.start();
    EXPECT_EQ(sendCommand(QStringLiteral("play w from 0 wait")), 0);
    EXPECT_GE(real.elapsed(), 550);
    EXPECT_LT(real.elapsed(), 3000);
    EXPECT_GT(clock.sleeps().size(), 10u); // waited through the injected clock
    EXPECT_FALSE(isPlaying(QStringLiteral("w")));
}

TEST_F(MediaDevices, UnwaitedPlayReturnsAtOnceAndStopEndsIt)
{
    ASSERT_EQ(
        sendCommand(
            QStringLiteral("open \"%1\" type waveaudio alias a wait").arg(wav("a.wav", 2000))),
        0);
    QElapsedTimer real;
    real.start();
    EXPECT_EQ(sendCommand(QStringLiteral("play a from 0")), 0);
    EXPECT_LT(real.elapsed(), 200);
    EXPECT_TRUE(isPlaying(QStringLiteral("a")));
    EXPECT_EQ(sendCommand(QStringLiteral("stop a")), 0);
    EXPECT_FALSE(isPlaying(QStringLiteral("a")));
    // Stopped, not closed: it plays again from the start.
    EXPECT_EQ(sendCommand(QStringLiteral("play a from 0")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("a")));
}

TEST_F(MediaDevices, AliasesPlayTogether)
{
    for (const char* alias : {"s1", "s2", "s3", "s4"}) {
        ASSERT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias %2 wait")
                                  .arg(wav(QLatin1String(alias) + QStringLiteral(".wav"), 1500),
                                       QLatin1String(alias))),
                  0);
        ASSERT_EQ(sendCommand(QStringLiteral("play %1 from 0").arg(QLatin1String(alias))), 0);
    }
    for (const char* alias : {"s1", "s2", "s3", "s4"})
        EXPECT_TRUE(isPlaying(QLatin1String(alias))) << alias;
    EXPECT_EQ(sendCommand(QStringLiteral("close s2")), 0);
    EXPECT_FALSE(isPlaying(QStringLiteral("s2")));
    EXPECT_TRUE(isPlaying(QStringLiteral("s1")));
    EXPECT_TRUE(isPlaying(QStringLiteral("s4")));
}

TEST_F(MediaDevices, Mp3AndMidiDecode)
{
    const QString sounds = QStringLiteral(FARE_TEST_SOUNDS_DIR);
    ASSERT_EQ(sendCommand(
                  QStringLiteral("open \"%1/chime.mp3\" type mpegvideo alias m wait").arg(sounds)),
              0);
    EXPECT_EQ(sendCommand(QStringLiteral("play m from 0")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("m")));
    ASSERT_EQ(sendCommand(
                  QStringLiteral("open \"%1/melody.mid\" type sequencer alias s wait").arg(sounds)),
              0);
    EXPECT_EQ(sendCommand(QStringLiteral("play s from 0")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("s")));
    EXPECT_TRUE(isPlaying(QStringLiteral("m")));
    // The type decides: text is no MIDI, and a wave file is no MIDI either.
    EXPECT_EQ(sendCommand(QStringLiteral("open \"%1\" type sequencer alias x wait")
                              .arg(wav(QStringLiteral("w.wav"), 50))),
              MediaError::InvalidFile);
}

TEST_F(MediaDevices, TwoMidiSoundsOnTwoChannelsSoundTogether)
{
    const QString one = dir.path() + QStringLiteral("/one.mid");
    const QString two = dir.path() + QStringLiteral("/two.mid");
    audiotest::writeMidi(one, 4);
    audiotest::writeMidi(two, 4);
    const QString open = QStringLiteral("open \"%1\" type sequencer alias %2 wait");
    ASSERT_EQ(sendCommand(open.arg(one, QStringLiteral("s2"))), 0);
    ASSERT_EQ(sendCommand(open.arg(two, QStringLiteral("s3"))), 0);
    ASSERT_EQ(sendCommand(QStringLiteral("play s2 from 0")), 0);
    ASSERT_EQ(sendCommand(QStringLiteral("play s3 from 0")), 0);
    // Both reach the device while both still play: neither ended the other.
    EXPECT_TRUE(waitForThreads(
        [this] {
            return firstSampleAtNs(QStringLiteral("s2")) != 0 &&
                   firstSampleAtNs(QStringLiteral("s3")) != 0;
        },
        5000, 5));
    EXPECT_TRUE(isPlaying(QStringLiteral("s2")));
    EXPECT_TRUE(isPlaying(QStringLiteral("s3")));
    EXPECT_EQ(sendCommand(QStringLiteral("close s2")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("s3")));
}

TEST_F(MediaDevices, AWaitedMidiPlayLastsItsRenderedLength)
{
    const QString path = dir.path() + QStringLiteral("/two-seconds.mid");
    audiotest::writeMidi(path, 2);
    ASSERT_EQ(sendCommand(QStringLiteral("open \"%1\" type sequencer alias w wait").arg(path)), 0);
    clock.setOnSleep([](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    // Real time: a busy machine lets more of it pass than each injected pause asks for.
    QElapsedTimer real;
    real.start();
    EXPECT_EQ(sendCommand(QStringLiteral("play w from 0 wait")), 0);
    EXPECT_FALSE(isPlaying(QStringLiteral("w")));
    // Two seconds of notes and their release, waited through the injected clock.
    EXPECT_GE(real.elapsed(), 1900);
    EXPECT_LT(real.elapsed(), 2000 + 3000 + 3000);
    EXPECT_FALSE(clock.sleeps().empty());
}

TEST_F(MediaDevices, OpenAndPlayReturnWhileTheSoundIsStillDecodingAndCloseEndsTheWorker)
{
    decodeAtTheGate(-1); // a sound without end, held before its first piece
    const QString open = QStringLiteral("open \"%1\" type waveaudio alias d wait");
    ASSERT_EQ(sendCommand(open.arg(wav(QStringLiteral("slow.wav"), 50))), 0);
    EXPECT_EQ(sendCommand(QStringLiteral("stop d")), 0);
    EXPECT_EQ(sendCommand(QStringLiteral("play d from 0")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("d")));
    EXPECT_EQ(gate->pieces, 0); // nothing decoded yet

    gate->release();
    while (gate->pieces < 3)
        std::this_thread::yield();
    EXPECT_EQ(sendCommand(QStringLiteral("close d")), 0);
    EXPECT_TRUE(gate->isDestroyed()); // the worker ended with the alias
}

TEST_F(MediaDevices, AWaitedPlayOfASoundStillDecodingLastsTheSound)
{
    decodeAtTheGate(3); // three tenths of a second, once the gate opens
    ASSERT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias w wait")
                              .arg(wav(QStringLiteral("w.wav"), 50))),
              0);
    // The disk driver plays in real time; each injected pause lets a little real time pass.
    clock.setOnSleep([this](int ms) {
        gate->release();
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    });
    QElapsedTimer real;
    real.start();
    EXPECT_EQ(sendCommand(QStringLiteral("play w from 0 wait")), 0);
    EXPECT_FALSE(isPlaying(QStringLiteral("w")));
    EXPECT_GE(real.elapsed(), 250);
    EXPECT_LT(real.elapsed(), 3000);
    EXPECT_FALSE(clock.sleeps().empty()); // waited through the injected clock
}

TEST_F(MediaDevices, AWaitedPlayEndsSoonAfterTheSoundsLengthWhenTheDeviceLagsBehind)
{
    decodeAtTheGate(20); // two seconds
    ASSERT_EQ(sendCommand(QStringLiteral("open \"%1\" type waveaudio alias w wait")
                              .arg(wav(QStringLiteral("w.wav"), 50))),
              0);
    // The injected time runs far ahead of the device's real time: from the device's side of
    // things it has stalled. Each pause only lets the decoder finish.
    clock.setOnSleep([this](int) {
        gate->release();
        gate->isDestroyed();
    });
    EXPECT_EQ(sendCommand(QStringLiteral("play w from 0 wait")), 0);
    EXPECT_TRUE(isPlaying(QStringLiteral("w")));
    EXPECT_GE(clock.totalSlept(), 2000 + 5000);
    EXPECT_LE(clock.totalSlept(), 2000 + 5000 + 20);
}

TEST_F(MediaDevices, BrokenAndHostileFilesNeitherHangNorFillTheMemory)
{
    const QString open = QStringLiteral("open \"%1\" type %2 alias h wait");
    auto result = [&](const QString& path, const char* type) {
        const int r = sendCommand(open.arg(path, QLatin1String(type)));
        sendCommand(QStringLiteral("close h"));
        return r;
    };
    // Four gigabytes that claim to be sound: opened at once, five minutes kept at most.
    EXPECT_EQ(result(sparseFile(QStringLiteral("huge.wav"), audiotest::waveHeader(0xFFFFFF00u),
                                4ll << 30),
                     "waveaudio"),
              0);
    // Nothing, zeros and a cut header: refused after a bounded read.
    EXPECT_EQ(result(sparseFile(QStringLiteral("empty.wav"), {}, 0), "waveaudio"),
              MediaError::InvalidFile);
    EXPECT_EQ(result(sparseFile(QStringLiteral("zeros.wav"), {}, 4ll << 30), "waveaudio"),
              MediaError::InvalidFile);
    EXPECT_EQ(result(sparseFile(QStringLiteral("zeros.mp3"), {}, 4ll << 30), "mpegvideo"),
              MediaError::InvalidFile);
    EXPECT_EQ(result(sparseFile(QStringLiteral("cut.wav"), audiotest::waveHeader(100).left(30), 30),
                     "waveaudio"),
              MediaError::InvalidFile);
    // A MIDI file too large to hold, and one cut short, which renders next to nothing.
    const QByteArray midiHead("MThd\0\0\0\x06\0\0\0\x01\x03\xC0", 14);
    EXPECT_EQ(result(sparseFile(QStringLiteral("huge.mid"), midiHead, kMaxMidiFileBytes + 1),
                     "sequencer"),
              MediaError::InvalidFile);
    QFile cut(sparseFile(QStringLiteral("cut.mid"), midiHead, 14));
    ASSERT_TRUE(cut.open(QIODevice::ReadOnly));
    const PcmBufferPtr nothing = midi.render(cut.readAll());
    ASSERT_TRUE(nothing);
    EXPECT_TRUE(finishes(nothing));
    EXPECT_LT(nothing->lengthMs(), 200) << nothing->lengthMs();
}

TEST(MidiRendering, ASongLongerThanTheCapEndsThere)
{
    // One note, then the end of the track ten minutes later.
    const QByteArray track = QByteArray("\x00\x90\x3C\x64\x83\x60\x80\x3C\x00", 9) +
                             QByteArray("\xA3\x94\x00\xFF\x2F\x00", 6); // 1200 quarters
    QByteArray midi = QByteArray("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk", 18);
    midi += QByteArray(1, 0) + char(0) + char(0) + char(track.size()) + track;
    MidiRenderer renderer;
    const PcmBufferPtr sound = renderer.render(midi);
    ASSERT_TRUE(sound);
    EXPECT_TRUE(finishes(sound));
    EXPECT_EQ(sound->frameCount(), kMaxSoundFrames);
}

TEST(MidiRendering, WithoutTheSynthesiserMidiSoundsRenderNothingAsWithoutAFont)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mid"));
    const QByteArray song = twoSecondSong(path);
    ASSERT_FALSE(song.isEmpty());
    AudioOutput output;
    MidiRenderer midi(QStringLiteral("fare-no-such-synthesiser"), 3);
    MediaPlayer player{output, midi};
    // Asked for before the worker has tried the library: a sound that ends empty.
    if (const PcmBufferPtr early = midi.render(song)) {
        EXPECT_TRUE(finishes(early));
        EXPECT_EQ(early->frameCount(), 0);
    }
    // Once it has, refused at once, as a file is without a sound font.
    EXPECT_TRUE(waitForThreads([&] { return midi.render(song) == nullptr; }, 5000, 5));
    EXPECT_FALSE(midi.isReady());
    EXPECT_EQ(player.open(QStringLiteral("m"), path, DeviceType::Sequencer),
              MediaError::InvalidFile);
    // The other sounds play on.
    audiotest::writeWav(dir.filePath(QStringLiteral("a.wav")), 50);
    EXPECT_EQ(player.open(QStringLiteral("a"), dir.filePath(QStringLiteral("a.wav")),
                          DeviceType::WaveAudio),
              0);
}

TEST(MidiRendering, ARendererThatGoesLeavesNoSoundUnfinished)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mid"));
    const QByteArray song = twoSecondSong(path);
    ASSERT_FALSE(song.isEmpty());
    auto midi = std::make_unique<MidiRenderer>();
    const PcmBufferPtr first = midi->render(song);
    const PcmBufferPtr second = midi->render(song);
    ASSERT_TRUE(first && second);
    // The worker is most likely still loading the font: nothing waits for it, and what was
    // asked of it ends, rendered or not.
    midi.reset();
    EXPECT_TRUE(finishes(first));
    EXPECT_TRUE(finishes(second));
}

TEST(MidiRendering, TheFontSdlSoundFontsNamesIsTakenWhenItExists)
{
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.sf2"));
    QFile(mine).open(QIODevice::WriteOnly);
    qputenv("SDL_SOUNDFONTS",
            QFile::encodeName(dir.filePath(QStringLiteral("gone.sf2")) + u':' + mine));
    const QString found = findSoundFont();
    qunsetenv("SDL_SOUNDFONTS");
    EXPECT_EQ(found, mine);
    EXPECT_NE(findSoundFont(), mine);
}

TEST(MediaNoOutput, OpenFailsWhenThereIsNoAudioOutput)
{
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    AudioOutput output;
    EXPECT_FALSE(output.open());
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.wav");
    audiotest::writeWav(path, 50);
    MidiRenderer midi;
    MediaPlayer player{output, midi};
    EXPECT_EQ(player.send(QStringLiteral("open \"%1\" type waveaudio alias a wait").arg(path)),
              MediaError::CannotLoadDriver);
    EXPECT_NE(player.play(QStringLiteral("a"), 0), 0);
    EXPECT_FALSE(output.isOpen());
    qputenv("SDL_AUDIODRIVER", driver);
}

// The device opens with the first sound, and that first open waits for it.
class MediaFirstOpen : public ::testing::Test
{
protected:
    void SetUp() override { driver_ = qgetenv("SDL_AUDIODRIVER"); }
    void TearDown() override { qputenv("SDL_AUDIODRIVER", driver_); }

    QString wav(const QString& name)
    {
        const QString path = dir_.filePath(name);
        audiotest::writeWav(path, 50);
        return path;
    }
    QTemporaryDir dir_;
    ManualClock clock_;
    MidiRenderer midi_;

private:
    QByteArray driver_;
};

TEST_F(MediaFirstOpen, OpensTheDeviceOnlyWhenASoundIsOpened)
{
    AudioOutput output;
    MediaPlayer player{output, midi_, clock_};
    EXPECT_EQ(output.state(), OutputState::Closed);
    EXPECT_EQ(player.open(QStringLiteral("a"), dir_.filePath(QStringLiteral("none.wav")),
                          DeviceType::WaveAudio),
              MediaError::FileNotFound);
    EXPECT_EQ(output.state(), OutputState::Closed) << "a file that cannot play opened the device";

    EXPECT_EQ(player.open(QStringLiteral("a"), wav(QStringLiteral("a.wav")), DeviceType::WaveAudio),
              0);
    EXPECT_TRUE(output.isOpen()) << "the first open did not wait for the device";
    EXPECT_TRUE(clock_.sleeps().empty()) << "the wait for the device paused on the clock";
}

TEST_F(MediaFirstOpen, WithoutSoundTheFirstOpenIsRefusedLikeEveryLaterOne)
{
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    AudioOutput output;
    MediaPlayer player{output, midi_, clock_};
    const QString path = wav(QStringLiteral("a.wav"));
    EXPECT_EQ(player.open(QStringLiteral("a"), path, DeviceType::WaveAudio),
              MediaError::CannotLoadDriver);
    EXPECT_EQ(player.open(QStringLiteral("b"), path, DeviceType::WaveAudio),
              MediaError::CannotLoadDriver);
}

TEST_F(MediaFirstOpen, ADeviceThatHangsCostsOneBoundedWaitAndPlaysOnceItOpens)
{
    // SDL's disk output on a named pipe that nobody reads blocks, as a sound server that
    // never answers does, until the test reads it.
    const QString pipe = dir_.filePath(QStringLiteral("audio.pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QByteArray file = qgetenv("SDL_DISKAUDIOFILE");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(pipe));
    {
        AudioOutput output;
        MediaPlayer player{output, midi_, clock_};
        player.setFirstOpenWaitMs(0); // the test does not wait for real
        EXPECT_EQ(
            player.open(QStringLiteral("a"), wav(QStringLiteral("a.wav")), DeviceType::WaveAudio),
            0);
        EXPECT_EQ(output.state(), OutputState::Opening);
        // Every later open would wait the whole time, did it ask again.
        player.setFirstOpenWaitMs(60 * 60 * 1000);
        EXPECT_EQ(
            player.open(QStringLiteral("b"), wav(QStringLiteral("b.wav")), DeviceType::WaveAudio),
            0);
        EXPECT_EQ(player.play(QStringLiteral("a"), 0), 0);
        EXPECT_TRUE(player.isPlaying(QStringLiteral("a")));

        // A reader lets the device open; it reads until the device is closed.
        std::thread reader([&pipe] {
            QFile in(pipe);
            if (in.open(QIODevice::ReadOnly))
                while (!in.read(1 << 16).isEmpty()) {
                }
        });
        EXPECT_TRUE(output.open());
        output.close();
        reader.join();
    }
    qputenv("SDL_DISKAUDIOFILE", file);
}

AUDIO_TEST_MAIN()
