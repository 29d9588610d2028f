#include "audio_test_support.h"
#include "decoder_test_support.h"

#include "audio/sounddecoder.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <sndfile.h>

using namespace audio;
using namespace audiotest;

namespace
{

std::unique_ptr<QIODevice> bytes(const QByteArray& data)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    return buffer;
}

std::unique_ptr<QIODevice> fileAt(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    EXPECT_TRUE(file->open(QIODevice::ReadOnly)) << path.toStdString();
    return file;
}

// Decodes on this thread; nullptr when the decoder refuses the file.
PcmBufferPtr decodeHere(std::unique_ptr<QIODevice> file)
{
    std::unique_ptr<SoundDecoder> decoder = openSoundDecoder(std::move(file));
    if (!decoder)
        return nullptr;
    auto buffer = std::make_shared<PcmBuffer>();
    decodeToEnd(*decoder, buffer);
    return buffer;
}

std::vector<qint16> samplesOf(const PcmBuffer& buffer)
{
    std::vector<qint16> out(size_t(buffer.frameCount()) * kOutputChannels);
    buffer.read(0, out.data(), buffer.frameCount());
    return out;
}

// Half a second of a 440 Hz tone at half scale in the given wave encoding.
QString writeEncodedWave(const QString& path, int format, int rate, int channels)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return QString::fromUtf8(sf_strerror(nullptr));
    std::vector<float> samples(size_t(rate / 2) * size_t(channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * float(std::sin(2 * M_PI * 440.0 * double(i / size_t(channels)) / rate));
    sf_writef_float(file, samples.data(), rate / 2);
    sf_close(file);
    return {};
}

} // namespace

TEST(SoundDecoding, EveryWaveEncodingBecomesTheOutputFormat)
{
    QTemporaryDir dir;
    struct Case {
        const char* name;
        int format;
        int rate;
        int channels;
    };
    const Case cases[] = {
        {"pcm16", SF_FORMAT_PCM_16, 44100, 2}, {"pcm8", SF_FORMAT_PCM_U8, 11025, 1},
        {"pcm24", SF_FORMAT_PCM_24, 48000, 2}, {"float", SF_FORMAT_FLOAT, 22050, 1},
        {"alaw", SF_FORMAT_ALAW, 8000, 1},     {"ima", SF_FORMAT_IMA_ADPCM, 22050, 1},
        {"ms", SF_FORMAT_MS_ADPCM, 22050, 2},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name) + QStringLiteral(".wav"));
        ASSERT_EQ(writeEncodedWave(path, c.format, c.rate, c.channels), QString()) << c.name;
        const PcmBufferPtr sound = decodeHere(fileAt(path));
        ASSERT_TRUE(sound) << c.name;
        EXPECT_TRUE(sound->isFinished()) << c.name;
        // Half a second, and up to an ADPCM block of padding (a tenth of a second here).
        EXPECT_GE(sound->frameCount(), kOutputRate / 2 - 100) << c.name;
        EXPECT_LE(sound->frameCount(), kOutputRate / 2 + kOutputRate / 10) << c.name;
        const std::vector<qint16> samples = samplesOf(*sound);
        const int loudest = *std::max_element(samples.begin(), samples.end());
        EXPECT_NEAR(loudest, 16384, 1200) << c.name;
    }
}

TEST(SoundDecoding, PiecesJoinWithoutClicksAndMp3Decodes)
{
    // A tone resampled piece by piece: any gap or restart of the resampler at a join would be
    // a jump far steeper than the tone's own.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    writeWav(path, 3000); // 22050 Hz mono, 440 Hz at 8000
    const PcmBufferPtr sound = decodeHere(fileAt(path));
    ASSERT_TRUE(sound);
    EXPECT_NEAR(double(sound->frameCount()), 3 * kOutputRate, 64);
    const std::vector<qint16> samples = samplesOf(*sound);
    int steepest = 0;
    for (size_t i = 2 * kOutputChannels; i + 2 * kOutputChannels < samples.size(); ++i)
        steepest = std::max(steepest, std::abs(samples[i] - samples[i - kOutputChannels]));
    EXPECT_LT(steepest, 600); // 8000 × 2π × 440 / 44100 ≈ 502

    const PcmBufferPtr mp3 =
        decodeHere(fileAt(QStringLiteral(FARE_TEST_SOUNDS_DIR "/chime.mp3"))); // 1.7 s
    ASSERT_TRUE(mp3);
    EXPECT_TRUE(mp3->isFinished());
    EXPECT_NEAR(double(mp3->frameCount()), 1.7 * kOutputRate, 0.05 * kOutputRate);
}

TEST(SoundDecoding, WhatIsKeptOfASoundIsCapped)
{
    // A wave file claiming four gigabytes, all of it there: five minutes are kept.
    const QByteArray header = waveHeader(0xFFFFFFF0u);
    qint64 bytesRead = 0;
    std::unique_ptr<SoundDecoder> decoder = openSoundDecoder(
        std::make_unique<SyntheticFile>(header, qint64(header.size()) + 0xFFFFFFF0ll, bytesRead));
    ASSERT_TRUE(decoder);
    auto sound = std::make_shared<PcmBuffer>();
    decodeToEnd(*decoder, sound);
    EXPECT_TRUE(sound->isFinished());
    EXPECT_EQ(sound->frameCount(), kMaxSoundFrames);
    EXPECT_LT(bytesRead, kMaxSoundFrames * 4 + (1 << 20)); // read no further

    // Any decoder without an end stops there too.
    auto gate = std::make_shared<Gate>();
    gate->release();
    GatedDecoder endless(gate, -1, 100000);
    auto other = std::make_shared<PcmBuffer>();
    decodeToEnd(endless, other);
    EXPECT_EQ(other->frameCount(), kMaxSoundFrames);
    EXPECT_TRUE(other->isFinished());
}

TEST(SoundDecoding, BrokenAndHostileFilesAreRefusedAfterABoundedRead)
{
    const QByteArray good = waveHeader(8) + QByteArray(8, 1);
    const QByteArray refused[] = {
        QByteArray(),
        good.left(20),                                     // the header cut short
        waveHeader(8, 0),                                  // no channels
        waveHeader(8, 2, 0),                               // no rate
        waveHeader(8, 2, 1),                               // one sample a second
        waveHeader(8, 1000),                               // a thousand channels
        waveHeader(0x7FFFFFFF, 2, 44100, 0x7FFFFFF0u),     // a format chunk of 2 GB
        waveHeader(0),                                     // no samples
        QByteArray("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10), // a tag of 256 MB and nothing else
        QByteArray(3 << 20, '\x5A'),                       // three megabytes of junk
        QByteArray("this is no sound"),
    };
    int i = 0;
    for (const QByteArray& data : refused)
        EXPECT_FALSE(openSoundDecoder(bytes(data))) << "case " << i++;

    // Zeros without end, and a file of four gigabytes of junk: given up on at the bound.
    qint64 zerosRead = 0;
    EXPECT_FALSE(openSoundDecoder(std::make_unique<EndlessZeros>(zerosRead)));
    EXPECT_LT(zerosRead, kMaxHeaderBytes + (64 << 10));
    qint64 junkRead = 0;
    EXPECT_FALSE(
        openSoundDecoder(std::make_unique<SyntheticFile>(QByteArray("junk"), 4ll << 30, junkRead)));
    EXPECT_LT(junkRead, kMaxHeaderBytes + (64 << 10));

    // Data cut short of what the header claims plays what is there.
    const PcmBufferPtr cut = decodeHere(bytes(waveHeader(0xFFFFFF00u) + QByteArray(4000, 9)));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->frameCount(), 1000);
    EXPECT_TRUE(cut->isFinished());
}

TEST(SoundDecoding, TheWorkerStartsAtOnceAndEndsWhenTheSoundIsDropped)
{
    auto gate = std::make_shared<Gate>();
    PcmBufferPtr sound = startDecoding(std::make_unique<GatedDecoder>(gate, -1));
    // Returned while the decoder is still held at its gate.
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->frameCount(), 0);
    EXPECT_FALSE(sound->isFinished());

    gate->release();
    std::weak_ptr<PcmBuffer> seen = sound;
    // An endless decoder: only dropping the sound ends its worker.
    while (gate->pieces < 3)
        std::this_thread::yield();
    sound.reset();
    EXPECT_TRUE(gate->isDestroyed());
    EXPECT_TRUE(seen.expired());
}

AUDIO_TEST_MAIN()
