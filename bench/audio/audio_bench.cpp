// The audio figures, on SDL's disk driver (no sound card needed):
//   build/bench/audio/audio_bench
// - the first MIDI play after start: the program loads the sound font on a worker at start;
//   from the open command to the first sample reaching the device (goal: 50 ms);
// - rendering a 30-second MIDI file on the renderer's worker (goal: 300 ms);
// - from a play on the sleeping device to its first sample ("a few milliseconds").
#include "audio/mediaplayer.h"
#include "audio/midirenderer.h"
#include "audio/mixer.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <thread>

namespace
{

// A piano playing a note every quarter second with a chord below it, for the given seconds.
QByteArray midiFile(int seconds)
{
    QByteArray track;
    auto varLen = [&track](uint32_t v) {
        QByteArray bytes(1, char(v & 0x7F));
        while (v >>= 7)
            bytes.prepend(char(0x80 | (v & 0x7F)));
        track += bytes;
    };
    for (int i = 0; i < seconds * 4; ++i) {
        const char notes[] = {char(60 + (i * 7) % 24), char(48 + (i % 3) * 4), char(43)};
        for (char note : notes) {
            varLen(0);
            track += QByteArray("\x90", 1) + note + char(90);
        }
        varLen(480); // a quarter second at 120 bpm and 960 ticks a quarter
        for (char note : notes) {
            track += QByteArray("\x80", 1) + note + char(0);
            varLen(0);
        }
        track.chop(1);
    }
    varLen(0);
    track += QByteArray("\xFF\x2F\x00", 3);
    auto u32 = [](uint32_t v) {
        return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v);
    };
    return QByteArray("MThd") + u32(6) + QByteArray("\x00\x00\x00\x01\x03\xC0", 6) + "MTrk" +
           u32(uint32_t(track.size())) + track;
}

QString writeTemp(const QByteArray& data, const QString& name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path;
}

void waitUntil(const std::function<bool()>& done)
{
    while (!done())
        std::this_thread::sleep_for(std::chrono::microseconds(100));
}

void firstMidiPlayToFirstSample(benchmark::State& state, audio::AudioOutput& output,
                                audio::MidiRenderer& midi)
{
    const QString path = writeTemp(midiFile(5), QStringLiteral("chime.mid"));
    audio::MediaPlayer media(output, midi);
    const QString m = QStringLiteral("m");
    for (auto _ : state) {
        const qint64 start = audio::steadyNs();
        media.open(m, path, audio::DeviceType::Sequencer, audio::Wait::Yes);
        media.play(m, 0);
        waitUntil([&] { return media.firstSampleAtNs(m) != 0; });
        state.SetIterationTime(double(media.firstSampleAtNs(m) - start) / 1e9);
        media.close(m);
    }
}

void render30SecondsOfMidi(benchmark::State& state, audio::MidiRenderer& midi)
{
    const QByteArray file = midiFile(30);
    for (auto _ : state) {
        const audio::PcmBufferPtr sound = midi.render(file);
        waitUntil([&sound] { return sound->isFinished(); });
        state.counters["seconds"] = double(sound->frameCount()) / audio::kOutputRate;
    }
}

void sleepingDeviceToFirstSample(benchmark::State& state, audio::AudioOutput& output)
{
    auto click = std::make_shared<audio::PcmBuffer>();
    std::vector<qint16> frames(size_t(audio::kOutputRate / 20) * audio::kOutputChannels, 3000);
    click->append(frames.data(), audio::kOutputRate / 20);
    click->finish();
    for (auto _ : state) {
        waitUntil([&] { return output.isIdle(); });
        const qint64 start = audio::steadyNs();
        const quint64 id = output.play(click);
        waitUntil([&] { return output.firstSampleAtNs(id) != 0; });
        state.SetIterationTime(double(output.firstSampleAtNs(id) - start) / 1e9);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    }
    // What the program does after its windows paint.
    const qint64 start = audio::steadyNs();
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    output.start();
    midi.start();
    waitUntil([&] { return midi.isReady() || audio::findSoundFont().isEmpty(); });
    std::printf("sound font %s loaded on the worker in %.0f ms\n",
                audio::findSoundFont().toLocal8Bit().constData(),
                double(audio::steadyNs() - start) / 1e6);
    benchmark::RegisterBenchmark(
        "BM_FirstMidiPlayToFirstSample",
        [&](benchmark::State& state) { firstMidiPlayToFirstSample(state, output, midi); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::RegisterBenchmark(
        "BM_Render30SecondsOfMidi",
        [&](benchmark::State& state) { render30SecondsOfMidi(state, midi); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark(
        "BM_SleepingDeviceToFirstSample",
        [&](benchmark::State& state) { sleepingDeviceToFirstSample(state, output); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
