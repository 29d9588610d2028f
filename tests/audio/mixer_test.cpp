#include "audio_test_support.h"

#include "audio/mixer.h"
#include "platform/wait.h"
#include "support/threadwait.h"

#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace audio;
using testsupport::waitForThreads;

namespace
{

// A finished buffer holding a tone of the given length.
PcmBufferPtr tone(int ms)
{
    auto buffer = std::make_shared<PcmBuffer>();
    std::vector<qint16> frames(size_t(kOutputRate) * ms / 1000 * kOutputChannels);
    for (size_t i = 0; i < frames.size(); ++i)
        frames[i] = qint16(6000 * std::sin(double(i / 2) * 0.06));
    buffer->append(frames.data(), qsizetype(frames.size()) / kOutputChannels);
    buffer->finish();
    return buffer;
}

class Mixer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(openOutput()); }
};

} // namespace

TEST(Conversion, AnyRateAndChannelCountBecomesTheOutputFormatWithNothingLost)
{
    std::vector<qint16> mono(22050, 1000); // one second
    PcmBuffer buffer;
    ASSERT_TRUE(appendConverted(buffer, mono.data(), qsizetype(mono.size() * 2), 22050, 1));
    EXPECT_EQ(buffer.frameCount(), kOutputRate);
    qint16 frame[2] = {};
    ASSERT_EQ(buffer.read(kOutputRate / 2, frame, 1), 1);
    EXPECT_NEAR(frame[0], 1000, 50);
    EXPECT_EQ(frame[0], frame[1]); // mono goes to both sides

    std::vector<qint16> speech(48000 * 3, 0); // three seconds at the voice's rate
    PcmBuffer voice;
    ASSERT_TRUE(appendConverted(voice, speech.data(), qsizetype(speech.size() * 2), 48000, 1));
    EXPECT_EQ(voice.frameCount(), kOutputRate * 3);
    EXPECT_EQ(voice.lengthMs(), 3000);
}

TEST_F(Mixer, PlaysABufferToItsEndAndStopSilencesAtOnce)
{
    const quint64 first = play(tone(100));
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(isPlaying(first));
    EXPECT_TRUE(waitForThreads([&] { return !isPlaying(first); }, 3000, 5));
    EXPECT_NE(firstSampleAtNs(first), 0); // still known after the end

    const quint64 second = play(tone(5000));
    EXPECT_GT(second, first);
    EXPECT_TRUE(waitForThreads([&] { return firstSampleAtNs(second) != 0; }, 3000, 5));
    stop(second);
    EXPECT_FALSE(isPlaying(second));
}

TEST_F(Mixer, ABufferStillFillingPlaysOnUntilItIsFinished)
{
    auto buffer = std::make_shared<PcmBuffer>();
    const quint64 id = play(buffer);
    const PcmBufferPtr part = tone(50);
    std::vector<qint16> frames(size_t(part->frameCount()) * kOutputChannels);
    part->read(0, frames.data(), part->frameCount());
    buffer->append(frames.data(), part->frameCount());
    EXPECT_TRUE(waitForThreads([&] { return firstSampleAtNs(id) != 0; }, 3000, 5));
    // Played out but not finished: the producer may still be working.
    EXPECT_TRUE(isPlaying(id));
    buffer->finish();
    EXPECT_TRUE(waitForThreads([&] { return !isPlaying(id); }, 3000, 5));
}

TEST_F(Mixer, TheDeviceSleepsWhileNothingPlaysAndWakesForTheNextSound)
{
    EXPECT_TRUE(waitForThreads([] { return isOutputIdle(); }, 3000, 5));
    // Long enough not to have ended by the check however busy the machine; stopped after it.
    const quint64 id = play(tone(5000));
    EXPECT_TRUE(waitForThreads([&] { return firstSampleAtNs(id) != 0; }, 3000, 1));
    EXPECT_FALSE(isOutputIdle());
    stop(id);
    EXPECT_TRUE(waitForThreads([] { return isOutputIdle(); }, 3000, 5));
}

TEST(MixerStart, ASoundAskedForBeforeTheDeviceIsOpenPlaysOnceItIs)
{
    closeOutput();
    EXPECT_EQ(outputState(), OutputState::Closed);
    const quint64 id = play(tone(100));
    ASSERT_NE(id, 0u);
    EXPECT_NE(outputState(), OutputState::Closed); // the sound started the opening
    EXPECT_TRUE(waitForThreads([&] { return firstSampleAtNs(id) != 0; }, 5000, 5));
    EXPECT_EQ(outputDriver(), QStringLiteral("disk"));
}

TEST(MixerStart, WithoutADeviceNothingIsPlayed)
{
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    closeOutput();
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    const quint64 early = play(tone(100)); // queued while the device opens, dropped when it fails
    EXPECT_FALSE(openOutput());
    EXPECT_FALSE(isPlaying(early));
    EXPECT_EQ(play(tone(100)), 0u);
    qputenv("SDL_AUDIODRIVER", driver);
    closeOutput();
}

TEST(MixerExit, AnOpenerThatNeverReturnsIsLeftToTheEndOfTheProcess)
{
    // SDL's disk output opened on a named pipe that nobody reads never returns, as an opener
    // waiting on a sound server that never answers.
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("audio.pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a process of its own, fresh state
    EXPECT_EXIT(
        {
            ::alarm(30); // a wait without end fails the test instead of hanging it
            qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(pipe));
            std::thread waiter([] { openOutput(); }); // waits for the opener
            abandonOutput();
            waiter.join(); // released
            const bool opened = openOutput();
            closeOutput(); // returns at once, leaving the opener be
            const bool stillOpening = outputState() == OutputState::Opening;
            // The process ends although the opener is still in the kernel.
            std::exit(!opened && stillOpening ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

AUDIO_TEST_MAIN()
