// From speak() to the first sample of speech reaching the audio device: for an announcement
// made ready ahead (goal: 20 ms) and for a 30-character one that is not (goal: 150 ms). And
// how long the engine's end takes in the middle of a very long clause.
// Runs on SDL's disk driver (no sound card needed) with the voice in use:
//   build/bench/speech/speech_bench
#include "audio/mixer.h"
#include "speech/japanesespeechengine.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

namespace
{

const QString kAnnouncement =
    QStringLiteral("毎度ご乗車ありがとうございます。次は、市役所前でございます。");
const QString kTapeEntry = QStringLiteral("次は、市役所前です。お降りの方は、お知らせください。");

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Speaks and waits for the first sample; the seconds it took.
double speakToFirstSample(speech::JapaneseSpeechEngine& e, const QString& text)
{
    const qint64 start = audio::steadyNs();
    e.speak(text);
    while (e.firstSampleAtNs() == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    return double(e.firstSampleAtNs() - start) / 1e9;
}

void readyEntryToFirstSample(benchmark::State& state, speech::JapaneseSpeechEngine* e)
{
    if (!e) {
        state.SkipWithError("no speech engine");
        return;
    }
    state.SetLabel(e->voiceName().toStdString());
    for (auto _ : state) {
        e->prepare(kTapeEntry);
        while (!e->isPrepared(kTapeEntry))
            sleepMs(5);
        sleepMs(100); // the device falls asleep, as between two stops
        state.SetIterationTime(speakToFirstSample(*e, kTapeEntry));
        e->stop();
    }
}

// Each round a text never spoken before: the same 30 characters with another number.
void unreadyTextToFirstSample(benchmark::State& state, speech::JapaneseSpeechEngine* e,
                              const QString& text)
{
    if (!e) {
        state.SkipWithError("no speech engine");
        return;
    }
    if (text.size() != 30) {
        state.SkipWithError("the announcement must be 30 characters");
        return;
    }
    state.SetLabel(e->voiceName().toStdString());
    int round = 0;
    e->prepare(QString()); // nothing to make ready again when the settings change
    for (auto _ : state) {
        e->setSettings({170 + round++ % 10, 50, 100}); // nothing ready from earlier rounds
        sleepMs(300);                                  // the next run of the voice has loaded
        state.SetIterationTime(speakToFirstSample(*e, text));
        e->stop();
    }
}

// From the end of the engine to its return while the voice works on one clause of 120,000
// characters (goal: well under the second the engine allows its worker).
void quitDuringALongClause(benchmark::State& state, const audio::OutputHandle& output)
{
    const QString text(120000, u'あ');
    for (auto _ : state) {
        auto e = speech::JapaneseSpeechEngine::create(output);
        if (!e) {
            state.SkipWithError("no speech engine");
            return;
        }
        state.SetLabel(e->voiceName().toStdString());
        e->speak(text);
        sleepMs(500); // the voice is inside its first piece
        const qint64 start = audio::steadyNs();
        e.reset();
        state.SetIterationTime(double(audio::steadyNs() - start) / 1e9);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", "/dev/null");
    }
    QApplication app(argc, argv);
    audio::AudioOutput output;
    const std::unique_ptr<speech::JapaneseSpeechEngine> engine =
        speech::JapaneseSpeechEngine::create(output.handle());
    benchmark::RegisterBenchmark(
        "BM_ReadyEntryToFirstSample",
        [&](benchmark::State& state) { readyEntryToFirstSample(state, engine.get()); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    const QString nextStopFirst =
        QStringLiteral("次は、市役所前でございます。毎度ご乗車ありがとうございます。");
    for (const auto& [name, text] :
         {std::pair{"greeting_first", kAnnouncement}, std::pair{"next_stop_first", nextStopFirst}})
        benchmark::RegisterBenchmark((std::string("BM_UnreadyTextToFirstSample/") + name).c_str(),
                                     [&engine, text = text](benchmark::State& state) {
                                         unreadyTextToFirstSample(state, engine.get(), text);
                                     })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(10);
    benchmark::RegisterBenchmark(
        "BM_QuitDuringALongClause",
        [&](benchmark::State& state) { quitDuringALongClause(state, output.handle()); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
