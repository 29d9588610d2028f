// What opening and playing one sound file costs the interface thread and the memory, the way
// the sound module does it: close, open, stop and play from the interface thread, on SDL's
// disk driver into /dev/null (no sound card needed, real-time pacing).
//   build/bench/audio/sound_load FILE [QUIT_AFTER_MS]
// Prints one line of key=value pairs: how long the commands took, the longest time the
// interface thread was blocked (a 1 ms timer's longest gap, and when it ended, from the
// open), when the first sample reached
// the device, and the process's peak memory. QUIT_AFTER_MS after the play (default 3000) the
// program returns from main with the sound still playing or decoding, and prints the wall
// clock then (quit_at_ns), so a script can time how long the process takes to end.
// scripts/measure-sound-load runs it on large files.
#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace
{

double peakMemoryMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QString typeOf(const QString& file)
{
    const QString ending = file.right(3).toUpper();
    return ending == u"MP3"   ? QStringLiteral("mpegvideo")
           : ending == u"MID" ? QStringLiteral("sequencer")
                              : QStringLiteral("waveaudio");
}

qint64 realtimeNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    }
    QCoreApplication app(argc, argv);
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media(output, midi);
    if (argc < 2) {
        std::fprintf(stderr, "usage: sound_load FILE [QUIT_AFTER_MS]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int quitAfterMs = argc > 2 ? std::atoi(argv[2]) : 3000;
    const QString alias = QStringLiteral("measure");

    // The device opens first, as at the program's start, so only the sound is measured.
    if (!output.open()) {
        std::fprintf(stderr, "no audio output\n");
        return 1;
    }
    const double memoryAtStart = peakMemoryMb();

    // The longest gap between ticks of a 1 ms timer: how long the thread could not answer.
    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    qint64 longestGapEndNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.elapsed() > longestGapMs) {
            longestGapMs = sinceTick.elapsed();
            longestGapEndNs = audio::steadyNs();
        }
        sinceTick.restart();
    });
    sinceTick.start();
    ticker.start(1);

    qint64 openedAtNs = 0;
    double commandsMs = 0;
    int openResult = -1;
    QTimer::singleShot(200, [&] {
        openedAtNs = audio::steadyNs();
        media.send(QStringLiteral("close ") + alias);
        openResult = media.send(
            QStringLiteral("open \"%1\" type %2 alias %3 wait").arg(file, typeOf(file), alias));
        media.send(QStringLiteral("stop ") + alias);
        media.send(QStringLiteral("play ") + alias + QStringLiteral(" from 0"));
        commandsMs = double(audio::steadyNs() - openedAtNs) / 1e6;
        QTimer::singleShot(quitAfterMs, &app, &QCoreApplication::quit);
    });
    app.exec();

    const qint64 firstNs = media.firstSampleAtNs(alias);
    std::printf("file=%s size_mb=%.1f open_result=%d commands_ms=%.1f longest_block_ms=%lld "
                "longest_block_ended_ms=%.0f first_sample_ms=%.1f playing=%d peak_memory_mb=%.0f "
                "memory_at_start_mb=%.0f "
                "quit_at_ns=%lld\n",
                QFileInfo(file).fileName().toLocal8Bit().constData(),
                double(QFileInfo(file).size()) / 1e6, openResult, commandsMs,
                static_cast<long long>(longestGapMs), double(longestGapEndNs - openedAtNs) / 1e6,
                firstNs != 0 ? double(firstNs - openedAtNs) / 1e6 : -1.0,
                media.isPlaying(alias) ? 1 : 0, peakMemoryMb(), memoryAtStart,
                static_cast<long long>(realtimeNs()));
    std::fflush(stdout);
    return 0; // the sound still plays: nothing may hold the end of the process
}
