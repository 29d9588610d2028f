// From speak() to the first sample of speech reaching the audio device, for a 30-character
// announcement. Runs on SDL's disk driver (no sound card needed); the device pulls audio in
// real time, so the figure includes the wait for the device's next buffer.

#include "speech/japanesespeechengine.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace
{

const QString kAnnouncement =
    QStringLiteral("毎度ご乗車ありがとうございます。次は、市役所前でございます。");

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_SpeakToFirstSample(benchmark::State& state)
{
    static auto engine = speech::JapaneseSpeechEngine::create();
    if (!engine) {
        state.SkipWithError("no speech engine");
        return;
    }
    if (kAnnouncement.size() != 30) {
        state.SkipWithError("the announcement must be 30 characters");
        return;
    }
    for (auto _ : state) {
        const qint64 start = steadyNs();
        engine->speak(kAnnouncement);
        while (engine->firstSampleAtNs() == 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        state.SetIterationTime(double(engine->firstSampleAtNs() - start) / 1e9);
        engine->stop();
    }
}
BENCHMARK(BM_SpeakToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
