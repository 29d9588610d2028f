#include "formats/gtfsconvert.h"
#include "formats/gtfscsv.h"
#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"
#include "formats/ziplibrary.h"
#include "platform/cp932.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

namespace
{

using Tables = QHash<QString, QByteArray>;

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// A route of four stops in three zones, one trip each way; stop D boards nobody on the way out.
Tables smallFeed()
{
    return Tables{
        {QStringLiteral("stops.txt"),
         utf8(QStringLiteral("stop_id,stop_name,zone_id,parent_station\n"
                             "A,駅前,Z1,\nB,本町,Z1,\nC,中央,Z2,\nD,団地,Z3,\n"))},
        {QStringLiteral("routes.txt"),
         utf8(QStringLiteral("route_id,route_short_name,route_long_name\nR1,1,本線\nR2,2,支線\n"))},
        {QStringLiteral("trips.txt"),
         utf8(QStringLiteral("route_id,trip_id,direction_id\nR1,T1,0\nR1,T2,1\n"))},
        {QStringLiteral("stop_times.txt"), QByteArray("trip_id,stop_id,stop_sequence,pickup_type\n"
                                                      "T1,A,1,0\nT1,B,2,0\nT1,C,3,0\nT1,D,4,1\n"
                                                      "T2,D,1,0\nT2,C,2,0\nT2,B,3,0\nT2,A,4,1\n")},
        {QStringLiteral("fare_attributes.txt"),
         QByteArray("fare_id,price,currency_type\nF1,180,JPY\nF2,220,JPY\nF3,300,JPY\n")},
        {QStringLiteral("fare_rules.txt"),
         QByteArray("fare_id,route_id,origin_id,destination_id\n"
                    "F1,,Z1,Z1\nF2,,Z1,Z2\nF2,,Z2,Z3\nF3,,Z1,Z3\n")},
    };
}

gtfs::Feed read(const Tables& tables, const gtfs::FeedLimits& limits = {})
{
    auto feed = gtfs::readFeedTables(tables, limits);
    EXPECT_TRUE(feed.ok()) << (feed ? "" : feed.error().description().toStdString());
    return feed ? *feed : gtfs::Feed{};
}

formats::FileError readError(const Tables& tables, const gtfs::FeedLimits& limits = {})
{
    auto feed = gtfs::readFeedTables(tables, limits);
    EXPECT_FALSE(feed.ok());
    return feed ? formats::FileError{} : feed.error();
}

gtfs::Conversion convert(const Tables& tables, int patternId, const QString& route = "1")
{
    const gtfs::Feed feed = read(tables);
    const std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(feed);
    EXPECT_GE(int(patterns.size()), patternId);
    return gtfs::convertPattern(feed, patterns.at(size_t(patternId - 1)), route);
}

std::vector<int> fares(const gtfs::Conversion& conversion, int ticket)
{
    std::vector<int> column;
    for (const hy3::Record& record : conversion.records)
        column.push_back(record.columns[size_t(ticket - 1)]);
    return column;
}

bool anyContains(const std::vector<QString>& texts, const QString& part)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&part](const QString& text) { return text.contains(part); });
}

// ---- the table reader ------------------------------------------------------------------

TEST(GtfsCsv, QuotesBomLineEndsAndColumnsByName)
{
    const QByteArray table = "\xEF\xBB\xBF"
                             "extra,stop_name , stop_id\r\n"
                             "x,\"He said \"\"hi\"\", then, left\",S1\r\n"
                             "\r\n"
                             "y,\"two\r\nlines\",S2\n"
                             "z,plain,S3";
    gtfs::CsvReader reader(table, QStringLiteral("stops.txt"), 100);
    ASSERT_TRUE(reader.readHeader());
    const int name = reader.column(QLatin1StringView("stop_name"));
    const int id = reader.column(QLatin1StringView("stop_id"));
    EXPECT_EQ(reader.column(QLatin1StringView("zone_id")), -1);
    QStringList seen;
    std::vector<int> lines;
    while (reader.next()) {
        seen << *reader.text(id) + u'=' + *reader.text(name);
        lines.push_back(reader.line());
    }
    EXPECT_FALSE(reader.error());
    EXPECT_EQ(seen, QStringList({QStringLiteral("S1=He said \"hi\", then, left"),
                                 QStringLiteral("S2=two\r\nlines"), QStringLiteral("S3=plain")}));
    EXPECT_EQ(lines, std::vector<int>({2, 4, 6}));
}

TEST(GtfsCsv, BrokenRecordsNameTheLineAndColumn)
{
    struct Case {
        QByteArray table;
        int line;
        int column;
        const char* reason;
    };
    const Case cases[] = {
        {"a,b\n1,2\n3,\"open\n\n", 3, 2, "閉じられない"},
        {"a,b\n1,\"x\"y\n", 2, 2, "閉じた引用符"},
        {"a,b\n1,\xFF\n", 2, 2, "UTF-8"},
    };
    for (const Case& c : cases) {
        gtfs::CsvReader reader(c.table, QStringLiteral("t.txt"), 100);
        ASSERT_TRUE(reader.readHeader());
        while (reader.next())
            reader.text(1);
        ASSERT_TRUE(reader.error()) << c.table.toStdString();
        EXPECT_EQ(reader.error()->file, QStringLiteral("t.txt"));
        EXPECT_EQ(reader.error()->line, c.line) << c.table.toStdString();
        EXPECT_EQ(reader.error()->column, c.column) << c.table.toStdString();
        EXPECT_TRUE(reader.error()->reason.contains(QString::fromUtf8(c.reason)))
            << reader.error()->reason.toStdString();
    }
}

// ---- the feed ---------------------------------------------------------------------------

TEST(GtfsFeed, ReadingsComeFromEitherLayoutOfTranslations)
{
    Tables older = smallFeed();
    older[QStringLiteral("translations.txt")] =
        utf8(QStringLiteral("trans_id,lang,translation\n駅前,ja-Hrkt,えきまえ\n駅前,en,Station\n"));
    EXPECT_EQ(read(older).readingsByName.value(QStringLiteral("駅前")), QStringLiteral("えきまえ"));

    Tables standard = smallFeed();
    standard[QStringLiteral("translations.txt")] = utf8(QStringLiteral(
        "table_name,field_name,language,translation,record_id,record_sub_id,field_value\n"
        "stops,stop_name,ja-Hrkt,ほんまち,B,,\n"
        "stops,stop_name,ja-hrkt,ちゅうおう,,,中央\n"
        "stops,stop_name,en,Danchi,D,,\n"
        "routes,route_long_name,ja-Hrkt,ほんせん,R1,,\n"));
    const gtfs::Feed feed = read(standard);
    EXPECT_EQ(feed.readingsByStopId.value(QStringLiteral("B")), QStringLiteral("ほんまち"));
    EXPECT_EQ(feed.readingsByName.value(QStringLiteral("中央")), QStringLiteral("ちゅうおう"));
    EXPECT_EQ(feed.readingsByStopId.size() + feed.readingsByName.size(), 2);

    const gtfs::Conversion conversion = convert(standard, 1);
    EXPECT_EQ(conversion.announcements.at(0).text,
              QStringLiteral("次は、｜本町《ほんまち》です。"));
    EXPECT_EQ(conversion.announcements.at(2).text, QStringLiteral("次は、終点、団地です。"));
    EXPECT_EQ(conversion.announcements.at(2).soundFlag, 3);
}

TEST(GtfsFeed, ErrorsNameTheTableLineAndColumn)
{
    Tables unknownStop = smallFeed();
    unknownStop[QStringLiteral("stop_times.txt")] =
        QByteArray("trip_id,stop_sequence,stop_id\nT1,1,A\nT1,2,Q\n");
    formats::FileError error = readError(unknownStop);
    EXPECT_EQ(error.file, QStringLiteral("stop_times.txt"));
    EXPECT_EQ(error.description(),
              QStringLiteral("3行目 3列目: stop_id「Q」はどの表にも定義されていません"));

    Tables badSequence = smallFeed();
    badSequence[QStringLiteral("stop_times.txt")] =
        QByteArray("trip_id,stop_id,stop_sequence\nT1,A,first\n");
    EXPECT_EQ(readError(badSequence).column, 3);

    Tables noName = smallFeed();
    noName[QStringLiteral("stops.txt")] = QByteArray("stop_id,name\nA,x\n");
    error = readError(noName);
    EXPECT_EQ(error.file, QStringLiteral("stops.txt"));
    EXPECT_TRUE(error.reason.contains(QStringLiteral("stop_name"))) << error.reason.toStdString();

    Tables noTrips = smallFeed();
    noTrips.remove(QStringLiteral("trips.txt"));
    EXPECT_EQ(readError(noTrips).kind, formats::FileErrorKind::Missing);

    Tables twice = smallFeed();
    twice[QStringLiteral("stops.txt")] += "A,again,Z1,\n";
    EXPECT_EQ(readError(twice).line, 6);

    Tables noParent = smallFeed();
    noParent[QStringLiteral("stops.txt")] = QByteArray("stop_id,stop_name,parent_station\nA,a,P\n");
    error = readError(noParent);
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.column, 3);
}

TEST(GtfsFeed, SizeCapsRefuseTablesFeedsAndRows)
{
    gtfs::FeedLimits limits;
    limits.maxTableBytes = 100;
    formats::FileError error = readError(smallFeed(), limits);
    EXPECT_EQ(error.kind, formats::FileErrorKind::TooLarge);
    EXPECT_EQ(error.file, QStringLiteral("stop_times.txt"));

    limits = {};
    limits.maxFeedBytes = 300;
    EXPECT_EQ(readError(smallFeed(), limits).kind, formats::FileErrorKind::TooLarge);

    limits = {};
    limits.maxRows = 4;
    error = readError(smallFeed(), limits);
    EXPECT_EQ(error.file, QStringLiteral("stop_times.txt"));
    EXPECT_EQ(error.line, 6);
}

TEST(GtfsFeed, ProgressRunsToTheEndAndCancelStops)
{
    std::vector<int> percents;
    gtfs::ReadControl control;
    control.progress = [&percents](int percent) { percents.push_back(percent); };
    ASSERT_TRUE(gtfs::readFeedTables(smallFeed(), {}, control).ok());
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));

    const std::atomic_bool cancel = true;
    control.cancel = &cancel;
    const auto cancelled = gtfs::readFeedTables(smallFeed(), {}, control);
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error().reason, QStringLiteral("中止しました"));
}

TEST(GtfsFeed, ZipAndFolderGiveTheSameRoute)
{
    const auto folder = gtfs::readFeed(QStringLiteral(GTFS_SAMPLE_DIR));
    const auto zip = gtfs::readFeed(QStringLiteral(GTFS_SAMPLE_ZIP));
    ASSERT_TRUE(folder.ok()) << folder.error().description().toStdString();
    ASSERT_TRUE(zip.ok()) << zip.error().description().toStdString();
    const auto patterns = gtfs::findPatterns(*folder);
    ASSERT_EQ(patterns.size(), gtfs::findPatterns(*zip).size());
    for (const gtfs::Pattern& pattern : patterns) {
        const gtfs::Conversion a = gtfs::convertPattern(*folder, pattern, QStringLiteral("5"));
        const gtfs::Conversion b = gtfs::convertPattern(*zip, pattern, QStringLiteral("5"));
        ASSERT_TRUE(a.ok());
        EXPECT_EQ(a.fareFile, b.fareFile);
        EXPECT_EQ(a.tapeFile, b.tapeFile);
    }

    const auto notZip = gtfs::readZipFeed(QByteArray("stop_id,stop_name\n"));
    ASSERT_FALSE(notZip.ok());
    EXPECT_TRUE(notZip.error().reason.contains(QStringLiteral("zip")))
        << notZip.error().reason.toStdString();
    EXPECT_EQ(gtfs::readFeed(QStringLiteral("/no/such/feed.zip")).error().kind,
              formats::FileErrorKind::Missing);
}

// A zip of the tables at `path`, each under `prefix` in the archive.
bool writeZip(const QString& path, const Tables& tables, const QString& prefix)
{
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    if (!archive)
        return false;
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        zip_source_t* source =
            zip_source_buffer(archive, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        if (!source ||
            zip_file_add(archive, (prefix + it.key()).toUtf8().constData(), source, 0) < 0)
            return false;
    }
    return zip_close(archive) == 0;
}

TEST(GtfsFeed, ZipsFindTablesInAFolderAndRefuseTablesOverTheCap)
{
    QTemporaryDir dir;
    Tables tables = smallFeed();
    tables.insert(QStringLiteral("Stops.txt"), tables.take(QStringLiteral("stops.txt")));
    const QString path = dir.filePath(QStringLiteral("feed.zip"));
    ASSERT_TRUE(writeZip(path, tables, QStringLiteral("feed/")));
    const auto feed = gtfs::readFeed(path);
    ASSERT_TRUE(feed.ok()) << feed.error().description().toStdString();
    EXPECT_EQ(feed->stops.size(), 4u);

    // 4 MiB of blank lines pack into a few kilobytes.
    tables[QStringLiteral("stop_times.txt")] += QByteArray(4 << 20, '\n');
    ASSERT_TRUE(writeZip(path, tables, QString()));
    gtfs::FeedLimits limits;
    limits.maxTableBytes = 1 << 20;
    const auto bomb = gtfs::readFeed(path, limits);
    ASSERT_FALSE(bomb.ok());
    EXPECT_EQ(bomb.error().kind, formats::FileErrorKind::TooLarge);
    EXPECT_EQ(bomb.error().file, QStringLiteral("stop_times.txt"));
}

// ---- patterns ---------------------------------------------------------------------------

TEST(GtfsPatterns, TripsWithTheSameStopsShareAPatternInNumericOrder)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("trips.txt")] = QByteArray("route_id,trip_id,direction_id\n"
                                                     "R2,T9,\nR1,T2,1\nR1,T1,0\nR1,T3,0\n");
    // Sequences 2 and 10 sort as numbers; T3 lists its stops out of order.
    tables[QStringLiteral("stop_times.txt")] = QByteArray("trip_id,stop_id,stop_sequence\n"
                                                          "T1,A,2\nT1,B,10\n"
                                                          "T2,B,1\nT2,A,2\n"
                                                          "T3,B,10\nT3,A,2\n"
                                                          "T9,C,1\nT9,D,2\n");
    const gtfs::Feed feed = read(tables);
    const std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(feed);
    ASSERT_EQ(patterns.size(), 3u);
    EXPECT_EQ(patterns[0].id, 1);
    EXPECT_EQ(patterns[0].direction, 0);
    EXPECT_EQ(patterns[0].stops, std::vector<int>({0, 1}));
    EXPECT_EQ(patterns[0].trips.size(), 2u);
    EXPECT_EQ(patterns[1].direction, 1);
    EXPECT_EQ(patterns[2].route, 1);
    EXPECT_EQ(gtfs::routeName(feed.routes[1]), QStringLiteral("2 支線"));
}

// ---- conversion -------------------------------------------------------------------------

TEST(GtfsConvert, TicketsAndFaresFollowTheRules)
{
    const gtfs::Conversion out = convert(smallFeed(), 1);
    ASSERT_TRUE(out.ok()) << out.errors.front().toStdString();
    // D boards nobody: it keeps the last ticket issued.
    std::vector<int> tickets;
    for (const hy3::Record& record : out.records)
        tickets.push_back(record.ticketNo);
    EXPECT_EQ(tickets, std::vector<int>({1, 2, 3, 3}));
    EXPECT_EQ(fares(out, 1), std::vector<int>({0, 180, 220, 300}));
    EXPECT_EQ(fares(out, 2), std::vector<int>({0, 0, 220, 300}));
    EXPECT_EQ(fares(out, 3), std::vector<int>({0, 0, 0, 220}));
    EXPECT_EQ(fares(out, 4), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(out.missingFares, 0);
    EXPECT_EQ(out.records[0].name, platform::toCp932(QStringLiteral("駅前")));
}

TEST(GtfsConvert, MissingRulesAreZeroAndListed)
{
    // The way back (Z3 → Z2 → Z1) has no rule in that direction but Z1 → Z1.
    const gtfs::Conversion back = convert(smallFeed(), 2);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(fares(back, 1), std::vector<int>({0, 0, 0, 0}));
    EXPECT_EQ(fares(back, 3), std::vector<int>({0, 0, 0, 180}));
    EXPECT_EQ(back.missingFares, 5);
    EXPECT_TRUE(
        anyContains(back.notes, QStringLiteral("整理券 1「団地」(ゾーン Z3) → 2 番目「中央」")));
}

TEST(GtfsConvert, ARuleForTheRouteWinsOverCheaperOnesForAll)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("fare_attributes.txt")] += "F9,400,JPY\nF0,100,JPY\n";
    tables[QStringLiteral("fare_rules.txt")] += "F9,R1,Z1,Z3\nF0,R2,Z1,Z1\nF0,,,Z2\n";
    const gtfs::Conversion out = convert(tables, 1);
    ASSERT_TRUE(out.ok());
    // Z1 → Z3 is 400 for R1 alone; the 100 for R2 is not this route's; an empty origin
    // matches any zone and is cheaper than F2.
    EXPECT_EQ(fares(out, 1), std::vector<int>({0, 180, 100, 400}));
}

TEST(GtfsConvert, ContainsRulesNeedExactlyTheZonesPassed)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("fare_attributes.txt")] += "F5,150,JPY\n";
    tables[QStringLiteral("fare_rules.txt")] =
        "fare_id,origin_id,destination_id,contains_id\nF5,,,Z1\nF5,,,Z2\nF1,Z1,Z1,\n";
    const gtfs::Conversion out = convert(tables, 1);
    ASSERT_TRUE(out.ok());
    // A → C and B → C pass Z1 and Z2 exactly; a ride to D passes Z3 as well.
    EXPECT_EQ(fares(out, 1), std::vector<int>({0, 180, 150, 0}));
    EXPECT_EQ(fares(out, 2), std::vector<int>({0, 0, 150, 0}));
}

TEST(GtfsConvert, PolesTakeTheirStationsNameZoneAndReading)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("stops.txt")] = utf8(
        QStringLiteral("stop_id,stop_name,zone_id,parent_station\n"
                       "A1,駅前 1番のりば,,A\nA,駅前,Z1,\nB,本町,Z1,\nC,中央,Z2,\nD,団地,Z3,\n"));
    tables[QStringLiteral("stop_times.txt")].replace("T1,A,", "T1,A1,");
    tables[QStringLiteral("translations.txt")] =
        utf8(QStringLiteral("trans_id,lang,translation\n駅前,ja-Hrkt,えきまえ\n"));
    const gtfs::Conversion out = convert(tables, 1);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(out.stops[0].name, QStringLiteral("駅前"));
    EXPECT_EQ(out.stops[0].zone, QStringLiteral("Z1"));
    EXPECT_EQ(out.stops[0].reading, QStringLiteral("えきまえ"));
    EXPECT_EQ(fares(out, 1), std::vector<int>({0, 180, 220, 300}));
}

TEST(GtfsConvert, HalfWidthKatakanaReadingsBecomeFullWidth)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("translations.txt")] =
        utf8(QStringLiteral("trans_id,lang,translation\n駅前,ja-Hrkt,ｴｷﾏｴ１ﾊﾞﾝ，ｷﾀ\n"));
    const gtfs::Conversion out = convert(tables, 1);
    ASSERT_TRUE(out.ok());
    // Voiced marks join their letters; the full-width digit and comma stay as written.
    EXPECT_EQ(out.stops[0].reading, QStringLiteral("エキマエ１バン，キタ"));
}

TEST(GtfsConvert, RefusesWhatTheFilesCannotHold)
{
    Tables tables = smallFeed();
    tables[QStringLiteral("stops.txt")] =
        utf8(QStringLiteral("stop_id,stop_name,zone_id\nA,\"駅前 \"\"北\"\"\",Z1\nB,本町🚌,Z1\n"
                            "C,中央,Z2\nD,団地,Z3\n"));
    const gtfs::Conversion out = convert(tables, 1);
    EXPECT_FALSE(out.ok());
    EXPECT_TRUE(out.fareFile.isEmpty());
    EXPECT_TRUE(anyContains(
        out.errors,
        QStringLiteral("1 番目の停留所「駅前 \"北\"」: 放送用データに書けない文字「\"」")));
    EXPECT_TRUE(
        anyContains(out.errors, QStringLiteral("(U+1F68C) は Shift-JIS (CP932) で表せない")));

    Tables badPrices = smallFeed();
    badPrices[QStringLiteral("fare_attributes.txt")] =
        QByteArray("fare_id,price,currency_type\nF1,180.5,JPY\nF2,40000,JPY\nF3,3,USD\n");
    const gtfs::Conversion prices = convert(badPrices, 1);
    EXPECT_EQ(prices.errors.size(), 3u);
    EXPECT_TRUE(anyContains(
        prices.errors, QStringLiteral("fare_attributes.txt 3行目: 運賃 F2 の price「40000」")));

    EXPECT_TRUE(convert(smallFeed(), 1, QStringLiteral("1")).ok());
    EXPECT_EQ(gtfs::routeFileNumber(QStringLiteral("012")), QStringLiteral("12"));
    EXPECT_FALSE(gtfs::routeFileNumber(QStringLiteral("123456")));
    EXPECT_FALSE(gtfs::routeFileNumber(QStringLiteral("1a")));
}

TEST(GtfsConvert, MoreThan150BoardingStopsIsAnError)
{
    const auto longRoute = [](int stops) {
        Tables tables = smallFeed();
        QByteArray stopTable = "stop_id,stop_name\n";
        QByteArray times = "trip_id,stop_id,stop_sequence\n";
        for (int i = 1; i <= stops; ++i) {
            stopTable += "S" + QByteArray::number(i) + ",Stop " + QByteArray::number(i) + "\n";
            times += "T1,S" + QByteArray::number(i) + "," + QByteArray::number(i) + "\n";
        }
        tables[QStringLiteral("stops.txt")] = stopTable;
        tables[QStringLiteral("stop_times.txt")] = times;
        return convert(tables, 1);
    };
    const gtfs::Conversion most = longRoute(150);
    EXPECT_TRUE(most.ok());
    EXPECT_EQ(most.records.back().ticketNo, 150);
    const gtfs::Conversion tooMany = longRoute(151);
    ASSERT_FALSE(tooMany.ok());
    EXPECT_TRUE(tooMany.errors.front().contains(QStringLiteral("151 か所")))
        << tooMany.errors.front().toStdString();
}

} // namespace

TEST(ZipLibrary, OpensLibzipAndNamesTheMissingLibraryOtherwise)
{
    formats::ZipLibrary zip;
    ASSERT_TRUE(zip.load());
    EXPECT_NE(zip.zip_open, nullptr);
    EXPECT_NE(zip.zip_fclose, nullptr);
    formats::ZipLibrary none;
    EXPECT_FALSE(none.load(QStringLiteral("no-such-zip-library"), 1));
    EXPECT_EQ(none.zip_open, nullptr);
    EXPECT_TRUE(formats::zipLibraryMissingReason().contains(QStringLiteral("libzip4")));
}
