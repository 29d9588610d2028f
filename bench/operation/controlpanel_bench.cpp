// Route setting (without the lamp test's pause) and one stop display on a 301-stop route,
// through the real control panel and real display elements. Goal: 20 ms each.
#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "core/options.h"
#include "core/routesession.h"
#include "formats/hy3file.h"
#include "operation/controlpanel.h"
#include "platform/cp932.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "support/standindisplay.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

struct Fixture {
    QTemporaryDir dir;
    platform::ManualClock clock;
    platform::MessageBoxRecorder messages;
    core::Options options;
    testsupport::StandInDisplay display;
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media{output, midi, clock};
    sound::SoundPlayer sounds{media};
    core::Announcements announcements;
    sound::BroadcastTape tape{announcements, sounds, options};
    core::RouteSession route;
    ControlPanel panel{&display, options, DataFolderSource(options), &tape, &route, &sounds,
                       clock,    messages};

    Fixture()
    {
        // The stop order on the first element and the route on the last, "次は" from the
        // second row: the information numbers and the prefix cost their part.
        options.setFareDataFolder(dir.path());
        options.setBroadcastDataFolder(dir.path());
        options.setInfoStopOrderOn(1);
        options.setInfoStopOrderCell(0);
        options.setInfoRouteOn(1);
        options.setInfoRouteCell(11);
        options.setNextStopMode(1);
        std::vector<hy3::Record> records(301);
        for (int k = 0; k < 301; ++k) {
            records[size_t(k)].name = platform::toCp932(QStringLiteral("停留所%1丁目").arg(k + 1));
            records[size_t(k)].ticketNo = qint16(k + 1);
            for (int i = 0; i < 150; ++i)
                records[size_t(k)].columns[size_t(i)] = qint16(170 + 10 * i);
        }
        QFile file(dir.filePath("123.hy3"));
        file.open(QIODevice::WriteOnly);
        file.write(hy3::encode(records).value());
        file.close();
        panel.onKeypadKey(ControlPanel::KeypadKey::Route);
        for (int d : {1, 2, 3})
            panel.onKeypadKey(ControlPanel::digitKey(d));
        panel.onKeypadKey(ControlPanel::KeypadKey::Section);
        panel.onKeypadKey(ControlPanel::KeypadKey::Digit1);
    }
};

Fixture& fixture()
{
    static Fixture* f = new Fixture;
    return *f;
}

void BM_SetRoute301(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        f.panel.setRoute(ControlPanel::EntryPanel::Keypad);
}
BENCHMARK(BM_SetRoute301)->Unit(benchmark::kMillisecond);

void BM_ShowStop(benchmark::State& state)
{
    Fixture& f = fixture();
    f.panel.setRoute(ControlPanel::EntryPanel::Keypad);
    int row = 1;
    for (auto _ : state) {
        f.panel.showStop(row);
        row = row % 300 + 1;
    }
}
BENCHMARK(BM_ShowStop)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    testsupport::application();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
