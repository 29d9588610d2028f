#include "core/routesession.h"
#include "formats/hy3file.h"
#include "platform/cp932.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{

// 301 stops with 20-character names and every data column filled.
QByteArray fullRoute()
{
    std::vector<hy3::Record> records(hy3::MaxRows);
    for (int i = 0; i < hy3::MaxRows; ++i) {
        const QString name =
            QStringLiteral("総合運動公園北口第%1バスターミナル停留所前").arg(i % 10);
        records[i].name = platform::toCp932(name.left(20)); // 40 bytes
        records[i].ticketNo = qint16(i + 1);
        for (int c = 0; c < hy3::ColumnCount; ++c)
            records[i].columns[c] = qint16(170 + 10 * ((i + c) % 40));
    }
    return hy3::encode(records).value();
}

void BM_LoadFareData(benchmark::State& state)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("120.hy3")));
    if (!file.open(QIODevice::WriteOnly) || file.write(fullRoute()) < 0) {
        state.SkipWithError("cannot write the route file");
        return;
    }
    file.close();
    core::RouteSession session;
    session.enterRoute(QStringLiteral("120"), QStringLiteral("1"));
    for (auto _ : state) {
        if (session.loadFareData(dir.path())) {
            state.SkipWithError("route not loaded");
            return;
        }
        benchmark::DoNotOptimize(session.row(301).column(150));
    }
}
BENCHMARK(BM_LoadFareData)->Unit(benchmark::kMillisecond);

} // namespace
