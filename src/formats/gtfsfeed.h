#pragma once

#include "formats/fileerror.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <atomic>
#include <functional>
#include <vector>

// An open-data bus feed (GTFS-JP, the Japanese form of GTFS Schedule): a zip of CSV tables, or
// the folder it unpacks to. Only the tables and columns that fare data and announcements need
// are read; other files and columns are ignored. Nothing here throws: a feed that cannot be
// used comes back as a formats::FileError naming the table, the line and the column.
namespace gtfs
{

// The most a feed may ask of the reader, so that a wrong file (or a zip that unpacks to
// gigabytes) is refused instead of filling the memory. The defaults take the feeds of large
// city operators with room to spare.
struct FeedLimits {
    qint64 maxTableBytes = qint64(512) << 20; // one table, unpacked
    qint64 maxFeedBytes = qint64(1) << 30;    // the tables read, together
    qsizetype maxRows = 10'000'000;           // records of one table
};

// Lets a worker thread report how far it got and stop early. Both may be left empty.
struct ReadControl {
    std::function<void(int percent)> progress; // 0..100, called from the reading thread
    const std::atomic_bool* cancel = nullptr;  // set by another thread: the read stops soon
};

// A stop or station (stops.txt). A pole of a station has its parent's index.
struct Stop {
    QString id;
    QString name;
    int zone = -1;   // index into Feed::zones; -1 without a zone
    int parent = -1; // index into Feed::stops; -1 without a parent station
};

// A route (routes.txt, with routes_jp.txt's origin, via and destination names).
struct Route {
    QString id;
    QString shortName;
    QString longName;
    QString origin;
    QString via;
    QString destination;
};

struct Trip {
    QString id;
    int route = 0;      // index into Feed::routes
    int direction = -1; // direction_id 0 or 1; -1 when the feed gives none
    QString headsign;
};

struct StopTime {
    int trip = 0;
    int stop = 0;
    qint64 sequence = 0;
    bool boarding = true; // pickup_type is not 1 (no pickup)
};

// A fare (fare_attributes.txt), its price as written, checked only when a conversion uses it.
struct Fare {
    QString id;
    QString price;
    QString currency;
    int line = 0; // where fare_attributes.txt names it
};

// A fare rule (fare_rules.txt): zones are indexes into Feed::zones, -1 for "any".
struct FareRule {
    int fare = 0;
    int route = -1; // -1: every route
    int origin = -1;
    int destination = -1;
    int contains = -1;
};

struct Feed {
    std::vector<Stop> stops;
    std::vector<Route> routes;
    std::vector<Trip> trips;
    std::vector<StopTime> stopTimes; // in the order of stop_times.txt
    std::vector<Fare> fares;
    std::vector<FareRule> fareRules;
    std::vector<QString> zones;
    // Readings (ja-Hrkt) of stop names: by stop_id, and by the name itself.
    QHash<QString, QString> readingsByStopId;
    QHash<QString, QString> readingsByName;
};

// Reads the feed at `path`: a zip file, or a folder holding the tables. Required: stops.txt,
// routes.txt, trips.txt, stop_times.txt; fare_attributes.txt, fare_rules.txt, routes_jp.txt
// and translations.txt are read when present. Refused: a missing or unreadable feed or table,
// a table or feed over the limits (TooLarge), a table that is no CSV as the feed format
// defines it, a missing required column, an id met twice, a reference to an id no table
// defines, a number that is none (Malformed, naming the table, line and column), and a read
// cancelled through `control` (reason "中止しました").
formats::FileResult<Feed> readFeed(const QString& path, const FeedLimits& limits = {},
                                   const ReadControl& control = {});

// The same for a zip file's bytes already in memory; errors name the tables alone.
formats::FileResult<Feed> readZipFeed(const QByteArray& zip, const FeedLimits& limits = {},
                                      const ReadControl& control = {});

// The tables of a feed as their bytes, by file name ("stops.txt"); for tests and fuzzers.
formats::FileResult<Feed> readFeedTables(const QHash<QString, QByteArray>& tables,
                                         const FeedLimits& limits = {},
                                         const ReadControl& control = {});

} // namespace gtfs
