// The tables of an open-data bus feed: the CSV reader alone, a whole feed made of the input's
// parts (read, its patterns found and the first converted), and the input as a zip archive.
#include "fuzzcheck.h"

#include "formats/gtfsconvert.h"
#include "formats/gtfscsv.h"
#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"

#include <QHash>
#include <QList>

#include <cstddef>
#include <cstdint>

namespace
{

const char* const TableNames[] = {"stops.txt",        "routes.txt",     "trips.txt",
                                  "stop_times.txt",   "fare_rules.txt", "fare_attributes.txt",
                                  "translations.txt", "routes_jp.txt"};

void readTable(const QByteArray& bytes)
{
    gtfs::CsvReader reader(bytes, QStringLiteral("t.txt"), 1000);
    if (!reader.readHeader()) {
        FUZZ_CHECK(reader.error().has_value());
        return;
    }
    int records = 0;
    while (reader.next()) {
        ++records;
        FUZZ_CHECK(reader.line() >= 1);
        reader.text(0);
    }
    FUZZ_CHECK(records <= 1000);
    if (reader.error()) {
        FUZZ_CHECK(reader.error()->line >= 1);
        FUZZ_CHECK(!reader.error()->reason.isEmpty());
    }
}

void checkFeed(const formats::FileResult<gtfs::Feed>& feed)
{
    if (!feed) {
        FUZZ_CHECK(!feed.error().description().isEmpty());
        return;
    }
    const std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(*feed);
    for (size_t i = 0; i < patterns.size(); ++i) {
        FUZZ_CHECK(patterns[i].id == int(i) + 1);
        FUZZ_CHECK(patterns[i].stops.size() >= 2);
    }
    if (patterns.empty())
        return;
    const gtfs::Conversion conversion =
        gtfs::convertPattern(*feed, patterns.front(), QStringLiteral("1"));
    if (!conversion.ok())
        return;
    // What is written is what the program reads back.
    FUZZ_CHECK(conversion.records.size() == patterns.front().stops.size());
    FUZZ_CHECK(conversion.announcements.size() + 1 == conversion.records.size());
    const sound::TapeResult tape = sound::parseTapeBytes(conversion.tapeFile);
    FUZZ_CHECK(tape.ok());
    FUZZ_CHECK(tape->size() == conversion.announcements.size());
}

// The parts of the input between "\x01" bytes become the tables, in TableNames' order.
QHash<QString, QByteArray> tablesOf(const QByteArray& input)
{
    QHash<QString, QByteArray> tables;
    const QList<QByteArray> parts = input.split('\x01');
    for (qsizetype i = 0; i < parts.size() && i < qsizetype(std::size(TableNames)); ++i)
        tables.insert(QString::fromLatin1(TableNames[i]), parts[i]);
    return tables;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray input(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    gtfs::FeedLimits limits;
    limits.maxTableBytes = 1 << 16;
    limits.maxFeedBytes = 1 << 18;
    limits.maxRows = 1000;
    switch (data[0] % 3) {
    case 0:
        readTable(input);
        break;
    case 1:
        checkFeed(gtfs::readFeedTables(tablesOf(input), limits));
        break;
    default:
        checkFeed(gtfs::readZipFeed(input, limits));
        break;
    }
    return 0;
}
