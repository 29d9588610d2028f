#pragma once

// Helpers for tests that need real audio: the disk audio driver (real-time pacing, no sound
// card) and small generated wave files.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace audiotest
{

// Routes all audio to a file through SDL's disk driver; call before the first open.
inline QString useDiskAudio()
{
    static QTemporaryDir dir;
    const QString out = dir.path() + QStringLiteral("/audio.raw");
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(out));
    return out;
}

// A 16-bit mono 22050 Hz sine tone.
inline void writeWav(const QString& path, int ms, double frequency = 440.0)
{
    constexpr int rate = 22050;
    const int frames = rate * ms / 1000;
    QByteArray data;
    data.reserve(frames * 2);
    for (int i = 0; i < frames; ++i) {
        const auto s = int16_t(8000 * std::sin(2 * M_PI * frequency * i / rate));
        data.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    }
    auto u32 = [](uint32_t v) {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[i] = char(v >> (8 * i));
        return b;
    };
    auto u16 = [](uint16_t v) {
        return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
    };
    QByteArray wav = "RIFF" + u32(uint32_t(36 + data.size())) + "WAVEfmt " + u32(16) + u16(1) +
                     u16(1) + u32(rate) + u32(rate * 2) + u16(2) + u16(16) + "data" +
                     u32(uint32_t(data.size())) + data;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wav);
}

// A one-track MIDI file: a note every half second on a piano, for about the given seconds.
inline void writeMidi(const QString& path, int seconds)
{
    QByteArray track;
    auto varLen = [&track](uint32_t v) {
        QByteArray bytes(1, char(v & 0x7F));
        while (v >>= 7)
            bytes.prepend(char(0x80 | (v & 0x7F)));
        track += bytes;
    };
    for (int i = 0; i < seconds * 2; ++i) {
        const char note = char(60 + (i * 5) % 24);
        varLen(0);
        track += QByteArray("\x90", 1) + note + char(100);
        varLen(960); // a quarter at the default 120 bpm: half a second
        track += QByteArray("\x80", 1) + note + char(0);
    }
    varLen(0);
    track += QByteArray("\xFF\x2F\x00", 3);
    auto u32 = [](uint32_t v) {
        return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
    };
    QByteArray midi = QByteArray("MThd") + u32(6) + QByteArray("\x00\x00\x00\x01\x03\xC0", 6) +
                      "MTrk" + u32(uint32_t(track.size())) + track;
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(midi);
}

// The largest absolute sample of raw 16-bit audio.
inline int peak(const QByteArray& raw)
{
    int best = 0;
    const auto* s = reinterpret_cast<const int16_t*>(raw.constData());
    for (qsizetype i = 0; i < raw.size() / 2; ++i)
        best = std::max(best, std::abs(int(s[i])));
    return best;
}

} // namespace audiotest

// main() for audio tests: a widget application and the disk driver.
#define AUDIO_TEST_MAIN()                                                                          \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        audiotest::useDiskAudio();                                                                 \
        QApplication app(argc, argv);                                                              \
        ::testing::InitGoogleTest(&argc, argv);                                                    \
        return RUN_ALL_TESTS();                                                                    \
    }
