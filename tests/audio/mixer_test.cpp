#include "audio_test_support.h"

#include "audio/mixer.h"
#include "platform/wait.h"
#include "support/threadwait.h"

#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
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

// Reads a named pipe on a thread of its own, as SDL's disk output writes it, and notes when
// the writer has closed it. Gives up after twenty seconds.
class PipeReader
{
public:
    explicit PipeReader(const QString& path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK)),
          thread_([this] { run(); })
    {
    }
    ~PipeReader()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    bool writerClosed() const { return writerClosed_; }

private:
    void run()
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::vector<char> data(1 << 16);
        while (!stop_ && std::chrono::steady_clock::now() < until) {
            pollfd ready{fd_, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0)
                continue;
            // A hang-up comes only after a writer had it open.
            if (::read(fd_, data.data(), data.size()) == 0 && (ready.revents & POLLHUP)) {
                writerClosed_ = true;
                return;
            }
        }
    }

    const int fd_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> writerClosed_{false};
    std::thread thread_;
};

// SDL's disk output goes into a named pipe while it lives.
class DiskOutputIntoAPipe
{
public:
    DiskOutputIntoAPipe() : before_(qgetenv("SDL_DISKAUDIOFILE"))
    {
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path));
    }
    ~DiskOutputIntoAPipe() { qputenv("SDL_DISKAUDIOFILE", before_); }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("audio.pipe"));

private:
    const QByteArray before_;
};

class Mixer : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(output.open()); }
    AudioOutput output;
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
    const quint64 first = output.play(tone(100));
    ASSERT_NE(first, 0u);
    EXPECT_TRUE(output.isPlaying(first));
    EXPECT_TRUE(waitForThreads([&] { return !output.isPlaying(first); }, 3000, 5));
    EXPECT_NE(output.firstSampleAtNs(first), 0); // still known after the end

    const quint64 second = output.play(tone(5000));
    EXPECT_GT(second, first);
    EXPECT_TRUE(waitForThreads([&] { return output.firstSampleAtNs(second) != 0; }, 3000, 5));
    output.stop(second);
    EXPECT_FALSE(output.isPlaying(second));
}

TEST_F(Mixer, ABufferStillFillingPlaysOnUntilItIsFinished)
{
    auto buffer = std::make_shared<PcmBuffer>();
    const quint64 id = output.play(buffer);
    const PcmBufferPtr part = tone(50);
    std::vector<qint16> frames(size_t(part->frameCount()) * kOutputChannels);
    part->read(0, frames.data(), part->frameCount());
    buffer->append(frames.data(), part->frameCount());
    EXPECT_TRUE(waitForThreads([&] { return output.firstSampleAtNs(id) != 0; }, 3000, 5));
    // Played out but not finished: the producer may still be working.
    EXPECT_TRUE(output.isPlaying(id));
    buffer->finish();
    EXPECT_TRUE(waitForThreads([&] { return !output.isPlaying(id); }, 3000, 5));
}

TEST_F(Mixer, TheDeviceSleepsWhileNothingPlaysAndWakesForTheNextSound)
{
    EXPECT_TRUE(waitForThreads([&] { return output.isIdle(); }, 3000, 5));
    // Long enough not to have ended by the check however busy the machine; stopped after it.
    const quint64 id = output.play(tone(5000));
    EXPECT_TRUE(waitForThreads([&] { return output.firstSampleAtNs(id) != 0; }, 3000, 1));
    EXPECT_FALSE(output.isIdle());
    output.stop(id);
    EXPECT_TRUE(waitForThreads([&] { return output.isIdle(); }, 3000, 5));
}

TEST(MixerStart, ASoundAskedForBeforeTheDeviceIsOpenPlaysOnceItIs)
{
    AudioOutput output;
    EXPECT_EQ(output.state(), OutputState::Closed);
    const quint64 id = output.play(tone(100));
    ASSERT_NE(id, 0u);
    EXPECT_NE(output.state(), OutputState::Closed); // the sound started the opening
    EXPECT_TRUE(waitForThreads([&] { return output.firstSampleAtNs(id) != 0; }, 5000, 5));
    EXPECT_EQ(output.driver(), QStringLiteral("disk"));
}

TEST(MixerStart, WithoutADeviceNothingIsPlayed)
{
    const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", "no-such-driver");
    AudioOutput output;
    // Queued while the device opens, dropped when it fails.
    const quint64 early = output.play(tone(100));
    EXPECT_FALSE(output.open());
    EXPECT_FALSE(output.isPlaying(early));
    EXPECT_EQ(output.play(tone(100)), 0u);
    qputenv("SDL_AUDIODRIVER", driver);
}

TEST(PcmBufferListeners, EachIsToldOnceOfEveryChangeForAsLongAsItLives)
{
    struct Counter : PcmBuffer::Listener {
        std::atomic<int> told{0};
        void bufferChanged() override { ++told; }
    };
    auto counter = std::make_shared<Counter>();
    auto gone = std::make_shared<Counter>();
    PcmBuffer buffer;
    buffer.addListener(counter);
    buffer.addListener(counter); // the same sound played again
    buffer.addListener(gone);
    gone.reset();
    const qint16 frame[kOutputChannels] = {1, 1};
    buffer.append(frame, 1);
    EXPECT_EQ(counter->told, 1);
    buffer.finish();
    EXPECT_EQ(counter->told, 2);
}

TEST(MixerLifetime, TheDeviceIsClosedWhenItsOwnerGoesWhetherOpenOrStillOpening)
{
    {
        DiskOutputIntoAPipe pipe;
        PipeReader reader(pipe.path);
        auto output = std::make_unique<AudioOutput>();
        ASSERT_TRUE(output->open());
        output.reset();
        EXPECT_TRUE(waitForThreads([&] { return reader.writerClosed(); }, 5000, 5));
    }
    {
        // The opener waits in the pipe's open until a reader comes, which is after the owner
        // has gone: the opener closes what it opened.
        DiskOutputIntoAPipe pipe;
        auto output = std::make_unique<AudioOutput>();
        output->start();
        EXPECT_EQ(output->state(), OutputState::Opening);
        output.reset();
        PipeReader reader(pipe.path);
        EXPECT_TRUE(waitForThreads([&] { return reader.writerClosed(); }, 5000, 5));
    }
}

TEST(MixerLifetime, TwoOutputsInOneProcessOpenAndCloseAtOnce)
{
    // Two programs in one process (tests): their devices open on threads of their own, while
    // the other one's opens or closes.
    for (int round = 0; round < 20; ++round) {
        auto first = std::make_unique<AudioOutput>();
        auto second = std::make_unique<AudioOutput>();
        first->start();
        second->start();
        if (round % 2 == 0) {
            EXPECT_TRUE(first->open());
            EXPECT_TRUE(second->open());
        }
        first.reset();
        second.reset();
    }
}

TEST(MixerLifetime, AHandleOutlivesItsOutputAndASoundMayStillFill)
{
    auto output = std::make_unique<AudioOutput>();
    const OutputHandle handle = output->handle();
    auto buffer = std::make_shared<PcmBuffer>();
    const quint64 id = handle.play(buffer);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(handle.isPlaying(id));
    output.reset();
    // The producer of the sound goes on after the output has gone.
    const PcmBufferPtr part = tone(20);
    std::vector<qint16> frames(size_t(part->frameCount()) * kOutputChannels);
    part->read(0, frames.data(), part->frameCount());
    buffer->append(frames.data(), part->frameCount());
    buffer->finish();
    EXPECT_FALSE(handle.isPlaying(id));
    EXPECT_EQ(handle.state(), OutputState::Closed);
    EXPECT_EQ(handle.play(tone(20)), 0u);
    handle.setVolume(id, 50);
    handle.stop(id);
    EXPECT_EQ(OutputHandle().play(tone(20)), 0u);
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
            auto output = std::make_unique<AudioOutput>();
            std::thread waiter([&output] { output->open(); }); // waits for the opener
            output->abandon();
            waiter.join(); // released
            const bool opened = output->open();
            output->close(); // returns at once, leaving the opener be
            const bool stillOpening = output->state() == OutputState::Opening;
            output.reset(); // does not wait for the opener either
            // The process ends although the opener is still in the kernel.
            std::exit(!opened && stillOpening ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

AUDIO_TEST_MAIN()
