// Costs of the stop-name board: drawing a name and one scroll frame. The board keeps the dots
// of every glyph it has rendered, so a name drawn again costs no rendering; the "Fresh"
// variant draws names of kanji not drawn before in the run, and BM_RenderCell renders one
// cell without the cache.

#include "elements/dotraster.h"
#include "elements/nextstopnameboard.h"
#include "platform/cp932.h"
#include "platform/wait.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace
{

const QString TwentyChars = QStringLiteral("市役所前中央通り三丁目東口バス停留所前");

// Kanji in CP932 order from 0x889F on (both blocks), skipping unassigned codes.
QString kanjiRun(int count)
{
    QString text;
    for (int lead = 0x88; lead <= 0xEA && text.size() < count; ++lead) {
        if (lead == 0xA0)
            lead = 0xE0; // the single-byte kana range lies between the two kanji blocks
        for (int trail = 0x40; trail <= 0xFC && text.size() < count; ++trail) {
            if (trail == 0x7F || (lead == 0x88 && trail < 0x9F))
                continue;
            QByteArray bytes;
            bytes.append(static_cast<char>(lead)).append(static_cast<char>(trail));
            const QString ch = platform::fromCp932(bytes);
            if (ch.size() == 1 && ch.at(0) != QChar::ReplacementCharacter)
                text += ch;
        }
    }
    return text;
}

void BM_SetStopName20(benchmark::State& state)
{
    NextStopNameBoard board;
    board.setPrefixMode(static_cast<std::int16_t>(state.range(0)));
    for (auto _ : state)
        board.setStopName(TwentyChars);
    state.SetLabel(state.range(0) ? "with prefix" : "plain");
}
BENCHMARK(BM_SetStopName20)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_SetStopName20Fresh(benchmark::State& state)
{
    static const QString pool = kanjiRun(6000);
    if (pool.size() < 20) {
        state.SkipWithError("no kanji to draw");
        return;
    }
    NextStopNameBoard board;
    static qsizetype at = 0; // carries on across repetitions, so they draw new kanji too
    for (auto _ : state) {
        if (at + 20 > pool.size())
            at = 0; // past the pool the glyphs are cached; the pool outlasts a normal run
        board.setStopName(pool.mid(at, 20));
        at += 20;
    }
}
BENCHMARK(BM_SetStopName20Fresh)->Iterations(140)->Unit(benchmark::kMicrosecond);

void BM_RenderCell(benchmark::State& state)
{
    dotboard::GlyphRaster raster;
    raster.setFace(QStringLiteral("ＭＳ 明朝"));
    for (auto _ : state)
        benchmark::DoNotOptimize(raster.render(QStringLiteral("駅")));
}
BENCHMARK(BM_RenderCell)->Unit(benchmark::kMicrosecond);

// One frame of a scroll: 16 passes and the repaint of the board.
void BM_ScrollFrame(benchmark::State& state)
{
    platform::ManualClock clock;
    NextStopNameBoard board{clock};
    board.setScrollStartWait(0);
    board.setStopName(TwentyChars + TwentyChars.left(10));
    QImage target(board.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        clock.advance(16);
        board.advanceScroll();
        board.render(&target);
    }
}
BENCHMARK(BM_ScrollFrame)->Unit(benchmark::kMicrosecond);

// One repaint of the board while a name of N cells scrolls.
void BM_ScrollRepaint(benchmark::State& state)
{
    platform::ManualClock clock;
    NextStopNameBoard board{clock};
    board.setScrollStartWait(0);
    board.setStopName(TwentyChars.repeated(static_cast<int>(state.range(0)) / 20));
    QImage target(board.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        clock.advance(40);
        board.advanceScroll();
        board.render(&target);
    }
}
BENCHMARK(BM_ScrollRepaint)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
