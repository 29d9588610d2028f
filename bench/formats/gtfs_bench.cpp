// Listing and converting a large open-data bus feed: 300 stops in 300 zones, 10 routes,
// 667 trips making 100,000 stop times, and 100,000 fare rules (every pair of zones for all
// routes, and 10,000 for route R0 alone). BM_ListPatterns* read the feed and find its
// patterns, as "hy3tool gtfs-list" does; BM_ConvertPattern reads it and converts the pattern
// of 150 stops, as "hy3tool from-gtfs" does. Goal: under a second each.

#include "formats/gtfsconvert.h"
#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <optional>
#include <utility>
#include <zip.h>

namespace
{

constexpr int Stops = 300;
constexpr int Routes = 10;
constexpr int StopsPerTrip = 150;
constexpr int StopTimes = 100'000;
constexpr int Fares = 100;
constexpr int RouteRules = 10'000;

QByteArray number(int value)
{
    return QByteArray::number(value);
}

QByteArray stopsTable()
{
    QByteArray table = "stop_id,stop_name,zone_id\n";
    for (int s = 0; s < Stops; ++s)
        table += "S" + number(s) + ",停留所" + number(s) + ",Z" + number(s) + "\n";
    return table;
}

QByteArray routesTable()
{
    QByteArray table = "route_id,route_short_name,route_long_name\n";
    for (int r = 0; r < Routes; ++r)
        table += "R" + number(r) + "," + number(r) + ",路線" + number(r) + "\n";
    return table;
}

// Trip t calls at 150 stops in a row from stop t % 150; the last trip is cut short so that
// there are exactly StopTimes stop times.
void addTrips(QHash<QString, QByteArray>& tables)
{
    QByteArray trips = "route_id,trip_id,direction_id\n";
    QByteArray times = "trip_id,stop_id,stop_sequence,pickup_type\n";
    int written = 0;
    for (int t = 0; written < StopTimes; ++t) {
        trips += "R" + number(t % Routes) + ",T" + number(t) + ",0\n";
        for (int k = 0; k < StopsPerTrip && written < StopTimes; ++k, ++written)
            times += "T" + number(t) + ",S" + number(t % StopsPerTrip + k) + "," + number(k + 1) +
                     ",0\n";
    }
    tables.insert(QStringLiteral("trips.txt"), trips);
    tables.insert(QStringLiteral("stop_times.txt"), times);
}

void addFares(QHash<QString, QByteArray>& tables)
{
    QByteArray fares = "fare_id,price,currency_type\n";
    for (int f = 0; f < Fares; ++f)
        fares += "F" + number(f) + "," + number(150 + 10 * f) + ",JPY\n";
    QByteArray rules = "fare_id,route_id,origin_id,destination_id,contains_id\n";
    const int allRouteRules = 100'000 - RouteRules;
    for (int i = 0; i < allRouteRules; ++i) {
        const int from = i / Stops;
        const int to = i % Stops;
        rules += "F" + number(std::abs(to - from) % Fares) + ",,Z" + number(from) + ",Z" +
                 number(to) + ",\n";
    }
    for (int i = 0; i < RouteRules; ++i)
        rules += "F" + number((i + 7) % Fares) + ",R0,Z" + number(i / 100) + ",Z" +
                 number(i % 100 + 100) + ",\n";
    tables.insert(QStringLiteral("fare_attributes.txt"), fares);
    tables.insert(QStringLiteral("fare_rules.txt"), rules);
}

QHash<QString, QByteArray> largeFeed()
{
    QHash<QString, QByteArray> tables{{QStringLiteral("stops.txt"), stopsTable()},
                                      {QStringLiteral("routes.txt"), routesTable()}};
    addTrips(tables);
    addFares(tables);
    return tables;
}

// The feed written once as a folder and as a zip, for all the benchmarks.
class FeedFiles
{
public:
    FeedFiles() : tables_(largeFeed())
    {
        const QString folder = dir_.filePath(QStringLiteral("feed"));
        QDir().mkpath(folder);
        for (auto it = tables_.cbegin(); it != tables_.cend(); ++it) {
            QFile file(QDir(folder).filePath(it.key()));
            if (file.open(QIODevice::WriteOnly))
                file.write(it.value());
        }
        writeZip();
    }

    QString folder() const { return dir_.filePath(QStringLiteral("feed")); }
    QString zip() const { return dir_.filePath(QStringLiteral("feed.zip")); }

private:
    void writeZip()
    {
        zip_t* archive =
            zip_open(QFile::encodeName(zip()).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
        if (!archive)
            return;
        for (auto it = tables_.cbegin(); it != tables_.cend(); ++it) {
            zip_source_t* source = zip_source_buffer(archive, it.value().constData(),
                                                     zip_uint64_t(it.value().size()), 0);
            if (source && zip_file_add(archive, it.key().toUtf8().constData(), source, 0) < 0)
                zip_source_free(source);
        }
        zip_close(archive);
    }

    QTemporaryDir dir_;
    QHash<QString, QByteArray> tables_;
};

// What both commands do first: read the feed and find its patterns. Nothing, after telling the
// benchmark, when the feed cannot be read.
std::optional<std::pair<gtfs::Feed, std::vector<gtfs::Pattern>>>
readPatterns(benchmark::State& state, const QString& path)
{
    auto feed = gtfs::readFeed(path);
    if (!feed) {
        state.SkipWithError(feed.error().description().toStdString().c_str());
        return std::nullopt;
    }
    std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(*feed);
    return std::pair{std::move(*feed), std::move(patterns)};
}

void listPatterns(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        const auto read = readPatterns(state, path);
        if (!read)
            return;
        state.counters["patterns"] = double(read->second.size());
    }
}

void convertPattern(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        const auto read = readPatterns(state, path);
        if (!read)
            return;
        const gtfs::Conversion conversion =
            gtfs::convertPattern(read->first, read->second.front(), QStringLiteral("1"));
        if (!conversion.ok()) {
            state.SkipWithError(conversion.errors.front().toStdString().c_str());
            return;
        }
        benchmark::DoNotOptimize(conversion.fareFile.data());
        state.counters["stops"] = double(conversion.records.size());
        state.counters["missing"] = double(conversion.missingFares);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const FeedFiles files;
    benchmark::RegisterBenchmark("BM_ListPatternsFolder", listPatterns, files.folder())
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ListPatternsZip", listPatterns, files.zip())
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ConvertPatternFolder", convertPattern, files.folder())
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ConvertPatternZip", convertPattern, files.zip())
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
