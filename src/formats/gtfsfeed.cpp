#include "formats/gtfsfeed.h"

#include "formats/gtfscsv.h"
#include "formats/ziplibrary.h"
#include "platform/filelookup.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>
#include <optional>

namespace gtfs
{
namespace
{

using formats::FileError;
using formats::FileErrorKind;
using formats::FileResult;
namespace ErrorNumber = platform::ErrorNumber;

// How many records pass between two looks at the cancel flag and the progress.
constexpr qsizetype CheckEvery = 4096;

FileError feedError(FileErrorKind kind, int number, const QString& file, const QString& reason)
{
    return FileError{kind, number, file, 0, reason, 0};
}

FileError cancelled()
{
    return feedError(FileErrorKind::Unreadable, ErrorNumber::InternalError, QString(),
                     QStringLiteral("中止しました"));
}

FileError tooLarge(const QString& file, const QString& reason)
{
    return feedError(FileErrorKind::TooLarge, ErrorNumber::OutOfMemory, file, reason);
}

// Where the tables come from: a folder, a zip archive or bytes in memory.
class TableSource
{
public:
    virtual ~TableSource() = default;
    // The unpacked size of a table, or -1 when the feed lacks it.
    virtual qint64 size(const QString& name) = 0;
    // Up to `limit` + 1 bytes of a table that size() found.
    virtual FileResult<QByteArray> read(const QString& name, qint64 limit) = 0;
};

class FolderSource : public TableSource
{
public:
    explicit FolderSource(const QString& folder) : folder_(folder) {}

    qint64 size(const QString& name) override
    {
        const QFileInfo info(path(name));
        return info.isFile() ? info.size() : -1;
    }

    FileResult<QByteArray> read(const QString& name, qint64 limit) override
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return feedError(FileErrorKind::Unreadable, ErrorNumber::DeviceIo, name,
                             QStringLiteral("読めません (%1)").arg(file.errorString()));
        QByteArray bytes = file.read(limit + 1);
        if (file.error() != QFileDevice::NoError)
            return feedError(FileErrorKind::Unreadable, ErrorNumber::DeviceIo, name,
                             QStringLiteral("読めません (%1)").arg(file.errorString()));
        return bytes;
    }

private:
    // Feeds unpacked on Windows may have "Stops.txt".
    QString path(const QString& name) const
    {
        return platform::findFileIgnoringCase(QDir(folder_).filePath(name));
    }

    QString folder_;
};

using formats::ZipLibrary;

QString zipReason(const ZipLibrary& zip, zip_error_t* error)
{
    return QStringLiteral("zip ファイルとして読めません (%1)")
        .arg(QString::fromLocal8Bit(zip.zip_error_strerror(error)));
}

class ZipSource : public TableSource
{
public:
    ZipSource(const ZipLibrary& zip, zip_t* archive) : zip_(zip), archive_(archive) {}
    ~ZipSource() override { zip_.zip_discard(archive_); }
    ZipSource(const ZipSource&) = delete;
    ZipSource& operator=(const ZipSource&) = delete;

    qint64 size(const QString& name) override
    {
        zip_stat_t stat;
        const zip_int64_t index = locate(name);
        if (index < 0 || zip_.zip_stat_index(archive_, zip_uint64_t(index), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_SIZE))
            return -1;
        return qint64(qMin<zip_uint64_t>(stat.size, zip_uint64_t(1) << 62));
    }

    // The size in the directory may lie; no more than the limit is unpacked whatever it says.
    FileResult<QByteArray> read(const QString& name, qint64 limit) override
    {
        zip_file_t* file = zip_.zip_fopen_index(archive_, zip_uint64_t(locate(name)), 0);
        if (!file)
            return feedError(FileErrorKind::Malformed, ErrorNumber::DeviceIo, name,
                             zipReason(zip_, zip_.zip_get_error(archive_)));
        QByteArray bytes;
        constexpr qint64 Chunk = 1 << 20;
        for (;;) {
            const qint64 want = qMin(Chunk, limit + 1 - bytes.size());
            if (want <= 0)
                break;
            const qsizetype start = bytes.size();
            bytes.resize(start + want);
            const zip_int64_t got = zip_.zip_fread(file, bytes.data() + start, zip_uint64_t(want));
            if (got < 0) {
                const QString reason = zipReason(zip_, zip_.zip_file_get_error(file));
                zip_.zip_fclose(file);
                return feedError(FileErrorKind::Malformed, ErrorNumber::DeviceIo, name, reason);
            }
            bytes.resize(start + got);
            if (got == 0)
                break;
        }
        zip_.zip_fclose(file);
        return bytes;
    }

private:
    // A feed zipped with its folder has "feed/stops.txt": the folder does not count, nor
    // does letter case.
    zip_int64_t locate(const QString& name) const
    {
        return zip_.zip_name_locate(archive_, name.toUtf8().constData(),
                                    ZIP_FL_NOCASE | ZIP_FL_NODIR);
    }

    const ZipLibrary& zip_;
    zip_t* archive_;
};

class MapSource : public TableSource
{
public:
    explicit MapSource(const QHash<QString, QByteArray>& tables) : tables_(tables) {}

    qint64 size(const QString& name) override
    {
        const auto found = tables_.constFind(name);
        return found == tables_.cend() ? -1 : found->size();
    }

    FileResult<QByteArray> read(const QString& name, qint64 limit) override
    {
        return tables_.value(name).left(limit + 1);
    }

private:
    const QHash<QString, QByteArray>& tables_;
};

// The names of the tables read, in the order they are read: a table refers only to those
// before it (a parent station to stops.txt itself).
const QString StopsFile = QStringLiteral("stops.txt");
const QString RoutesFile = QStringLiteral("routes.txt");
const QString RoutesJpFile = QStringLiteral("routes_jp.txt");
const QString TripsFile = QStringLiteral("trips.txt");
const QString StopTimesFile = QStringLiteral("stop_times.txt");
const QString FaresFile = QStringLiteral("fare_attributes.txt");
const QString FareRulesFile = QStringLiteral("fare_rules.txt");
const QString TranslationsFile = QStringLiteral("translations.txt");

const QStringList TableOrder = {StopsFile,     RoutesFile, RoutesJpFile,  TripsFile,
                                StopTimesFile, FaresFile,  FareRulesFile, TranslationsFile};
const QStringList RequiredTables = {StopsFile, RoutesFile, TripsFile, StopTimesFile};

// The ids of one table, by their bytes as written.
using IdIndex = QHash<QByteArray, int>;

class FeedReader
{
public:
    FeedReader(TableSource& source, const FeedLimits& limits, const ReadControl& control)
        : source_(source), limits_(limits), control_(control)
    {
    }

    FileResult<Feed> read()
    {
        if (auto missing = checkSizes())
            return *missing;
        for (const QString& name : TableOrder) {
            if (source_.size(name) < 0)
                continue;
            if (auto error = readTable(name))
                return *error;
        }
        return std::move(feed_);
    }

private:
    using Parse = bool (FeedReader::*)(CsvReader&);

    std::optional<FileError> checkSizes()
    {
        for (const QString& name : TableOrder) {
            const qint64 size = source_.size(name);
            if (size < 0 && RequiredTables.contains(name))
                return feedError(
                    FileErrorKind::Missing, ErrorNumber::FileNotFound, name,
                    QStringLiteral("%1 がありません（路線データに必要な表です）").arg(name));
            total_ += qMax<qint64>(size, 0);
        }
        return std::nullopt;
    }

    std::optional<FileError> readTable(const QString& name)
    {
        if (isCancelled())
            return cancelled();
        if (source_.size(name) > limits_.maxTableBytes)
            return tableTooLarge(name);
        auto bytes = source_.read(name, limits_.maxTableBytes);
        if (!bytes)
            return bytes.error();
        if (bytes->size() > limits_.maxTableBytes)
            return tableTooLarge(name);
        read_ += bytes->size();
        if (read_ > limits_.maxFeedBytes)
            return tooLarge(name, QStringLiteral("路線データの表が合わせて %1 バイトを超えています")
                                      .arg(limits_.maxFeedBytes));
        CsvReader reader(*bytes, name, limits_.maxRows);
        if (!reader.readHeader() || !(this->*parserFor(name))(reader))
            return cancelled_ ? cancelled() : *reader.error();
        done_ += bytes->size();
        return std::nullopt;
    }

    FileError tableTooLarge(const QString& name) const
    {
        return tooLarge(
            name,
            QStringLiteral("%1 が %2 バイトを超えています").arg(name).arg(limits_.maxTableBytes));
    }

    Parse parserFor(const QString& name) const
    {
        if (name == StopsFile)
            return &FeedReader::parseStops;
        if (name == RoutesFile)
            return &FeedReader::parseRoutes;
        if (name == RoutesJpFile)
            return &FeedReader::parseRoutesJp;
        if (name == TripsFile)
            return &FeedReader::parseTrips;
        if (name == StopTimesFile)
            return &FeedReader::parseStopTimes;
        if (name == FaresFile)
            return &FeedReader::parseFares;
        if (name == FareRulesFile)
            return &FeedReader::parseFareRules;
        return &FeedReader::parseTranslations;
    }

    bool isCancelled() const { return control_.cancel && control_.cancel->load(); }

    // Runs `body` on each record until it or the reader fails; stops on a cancel, and tells
    // the progress now and then.
    template <typename Body> bool eachRecord(CsvReader& reader, Body body)
    {
        for (qsizetype record = 1; reader.next(); ++record) {
            if (!body() || !keepGoing(reader, record))
                return false;
        }
        return !reader.error();
    }

    // Between records: stops on a cancel, and tells the progress now and then.
    bool keepGoing(const CsvReader& reader, qsizetype record)
    {
        if (record % CheckEvery != 0)
            return true;
        if (isCancelled()) {
            cancelled_ = true;
            return false;
        }
        if (control_.progress && total_ > 0) {
            const int percent = int(qMin<qint64>(100, (done_ + reader.position()) * 100 / total_));
            if (percent != lastPercent_)
                control_.progress(lastPercent_ = percent);
        }
        return true;
    }

    // The column of a table that must be there.
    static bool required(CsvReader& reader, QLatin1StringView name, int& column)
    {
        column = reader.column(name);
        if (column < 0)
            return reader.fail(-1, QStringLiteral("見出しに列 %1 がありません").arg(name));
        return true;
    }

    // The id of a record, which may not be empty.
    static std::optional<QByteArray> id(CsvReader& reader, int column, QLatin1StringView name)
    {
        const QByteArrayView bytes = reader.bytes(column);
        if (bytes.isEmpty()) {
            reader.fail(column, QStringLiteral("%1 が空です").arg(name));
            return std::nullopt;
        }
        return bytes.toByteArray();
    }

    // The index of an id that an earlier table defined.
    static std::optional<int> reference(CsvReader& reader, const IdIndex& index, int column,
                                        QLatin1StringView name)
    {
        const auto bytes = id(reader, column, name);
        if (!bytes)
            return std::nullopt;
        const auto found = index.constFind(*bytes);
        if (found == index.cend()) {
            reader.fail(column, fieldReason(name, QString::fromUtf8(*bytes),
                                            QStringLiteral("はどの表にも定義されていません")));
            return std::nullopt;
        }
        return *found;
    }

    // Adds an id to its index; an id met twice is refused.
    static bool define(CsvReader& reader, IdIndex& index, const QByteArray& key, int column,
                       QLatin1StringView name)
    {
        const int next = int(index.size());
        if (index.constFind(key) != index.cend())
            return reader.fail(column, fieldReason(name, QString::fromUtf8(key),
                                                   QStringLiteral("が二度出てきます")));
        index.insert(key, next);
        return true;
    }

    // A whole number; an empty field gives `empty`.
    static std::optional<qint64> number(CsvReader& reader, int column, QLatin1StringView name,
                                        qint64 empty)
    {
        const QByteArrayView bytes = reader.bytes(column);
        if (bytes.isEmpty())
            return empty;
        bool ok = false;
        const qint64 value = bytes.toLongLong(&ok);
        if (!ok || value < 0) {
            reader.fail(column, fieldReason(name, QString::fromUtf8(bytes),
                                            QStringLiteral("は 0 以上の整数ではありません")));
            return std::nullopt;
        }
        return value;
    }

    int zone(QByteArrayView bytes)
    {
        if (bytes.isEmpty())
            return -1;
        const QByteArray key = bytes.toByteArray();
        const auto found = zoneIndex_.constFind(key);
        if (found != zoneIndex_.cend())
            return *found;
        feed_.zones.push_back(QString::fromUtf8(key));
        return zoneIndex_[key] = int(feed_.zones.size()) - 1;
    }

    bool parseStops(CsvReader& reader)
    {
        int idColumn = 0;
        int nameColumn = 0;
        if (!required(reader, QLatin1StringView("stop_id"), idColumn) ||
            !required(reader, QLatin1StringView("stop_name"), nameColumn))
            return false;
        const int zoneColumn = reader.column(QLatin1StringView("zone_id"));
        const int parentColumn = reader.column(QLatin1StringView("parent_station"));
        struct Parent {
            int stop;
            QByteArray id;
            int line;
        };
        std::vector<Parent> parents;
        const bool read = eachRecord(reader, [&] {
            const auto key = id(reader, idColumn, QLatin1StringView("stop_id"));
            if (!key || !define(reader, stopIndex_, *key, idColumn, QLatin1StringView("stop_id")))
                return false;
            const std::optional<QString> name = reader.text(nameColumn);
            if (!name)
                return false;
            feed_.stops.push_back(
                Stop{QString::fromUtf8(*key), *name, zone(reader.bytes(zoneColumn)), -1});
            if (!reader.bytes(parentColumn).isEmpty())
                parents.push_back(Parent{int(feed_.stops.size()) - 1,
                                         reader.bytes(parentColumn).toByteArray(), reader.line()});
            return true;
        });
        if (!read)
            return false;
        return resolveParents(reader, parents, parentColumn);
    }

    template <typename Parents>
    bool resolveParents(CsvReader& reader, const Parents& parents, int parentColumn)
    {
        for (const auto& parent : parents) {
            const auto found = stopIndex_.constFind(parent.id);
            if (found == stopIndex_.cend())
                return reader.fail(parentColumn,
                                   fieldReason(QLatin1StringView("parent_station"),
                                               QString::fromUtf8(parent.id),
                                               QStringLiteral("の停留所が stops.txt にありません")),
                                   parent.line);
            feed_.stops[size_t(parent.stop)].parent = *found;
        }
        return true;
    }

    bool parseRoutes(CsvReader& reader)
    {
        int idColumn = 0;
        if (!required(reader, QLatin1StringView("route_id"), idColumn))
            return false;
        const int shortColumn = reader.column(QLatin1StringView("route_short_name"));
        const int longColumn = reader.column(QLatin1StringView("route_long_name"));
        return eachRecord(reader, [&] {
            const auto key = id(reader, idColumn, QLatin1StringView("route_id"));
            if (!key || !define(reader, routeIndex_, *key, idColumn, QLatin1StringView("route_id")))
                return false;
            const auto shortName = reader.text(shortColumn);
            const auto longName = shortName ? reader.text(longColumn) : std::nullopt;
            if (!longName)
                return false;
            feed_.routes.push_back(
                Route{QString::fromUtf8(*key), *shortName, *longName, {}, {}, {}});
            return true;
        });
    }

    // The Japanese extension's names of a route's ends; a route the feed lacks is passed over.
    bool parseRoutesJp(CsvReader& reader)
    {
        int idColumn = 0;
        if (!required(reader, QLatin1StringView("route_id"), idColumn))
            return false;
        const int originColumn = reader.column(QLatin1StringView("origin_stop"));
        const int viaColumn = reader.column(QLatin1StringView("via_stop"));
        const int destinationColumn = reader.column(QLatin1StringView("destination_stop"));
        return eachRecord(reader, [&] {
            const auto found = routeIndex_.constFind(reader.bytes(idColumn).toByteArray());
            if (found == routeIndex_.cend())
                return true;
            Route& route = feed_.routes[size_t(*found)];
            const auto origin = reader.text(originColumn);
            const auto via = origin ? reader.text(viaColumn) : std::nullopt;
            const auto destination = via ? reader.text(destinationColumn) : std::nullopt;
            if (!destination)
                return false;
            route.origin = *origin;
            route.via = *via;
            route.destination = *destination;
            return true;
        });
    }

    bool parseTrips(CsvReader& reader)
    {
        int routeColumn = 0;
        int idColumn = 0;
        if (!required(reader, QLatin1StringView("route_id"), routeColumn) ||
            !required(reader, QLatin1StringView("trip_id"), idColumn))
            return false;
        const int directionColumn = reader.column(QLatin1StringView("direction_id"));
        const int headsignColumn = reader.column(QLatin1StringView("trip_headsign"));
        return eachRecord(reader, [&] {
            const auto route =
                reference(reader, routeIndex_, routeColumn, QLatin1StringView("route_id"));
            const auto key =
                route ? id(reader, idColumn, QLatin1StringView("trip_id")) : std::nullopt;
            if (!key || !define(reader, tripIndex_, *key, idColumn, QLatin1StringView("trip_id")))
                return false;
            const auto direction = this->direction(reader, directionColumn);
            const auto headsign = direction ? reader.text(headsignColumn) : std::nullopt;
            if (!headsign)
                return false;
            feed_.trips.push_back(Trip{QString::fromUtf8(*key), *route, *direction, *headsign});
            return true;
        });
    }

    static std::optional<int> direction(CsvReader& reader, int column)
    {
        const QByteArrayView bytes = reader.bytes(column);
        if (bytes.isEmpty())
            return -1;
        if (bytes == "0" || bytes == "1")
            return bytes == "1" ? 1 : 0;
        reader.fail(column, fieldReason(QLatin1StringView("direction_id"), QString::fromUtf8(bytes),
                                        QStringLiteral("は 0 か 1 ではありません")));
        return std::nullopt;
    }

    bool parseStopTimes(CsvReader& reader)
    {
        int tripColumn = 0;
        int stopColumn = 0;
        int sequenceColumn = 0;
        if (!required(reader, QLatin1StringView("trip_id"), tripColumn) ||
            !required(reader, QLatin1StringView("stop_id"), stopColumn) ||
            !required(reader, QLatin1StringView("stop_sequence"), sequenceColumn))
            return false;
        const int pickupColumn = reader.column(QLatin1StringView("pickup_type"));
        return eachRecord(reader, [&] {
            const auto trip =
                reference(reader, tripIndex_, tripColumn, QLatin1StringView("trip_id"));
            const auto stop =
                trip ? reference(reader, stopIndex_, stopColumn, QLatin1StringView("stop_id"))
                     : std::nullopt;
            const auto sequence =
                stop ? number(reader, sequenceColumn, QLatin1StringView("stop_sequence"), -1)
                     : std::nullopt;
            const auto pickup =
                sequence ? number(reader, pickupColumn, QLatin1StringView("pickup_type"), 0)
                         : std::nullopt;
            if (!pickup)
                return false;
            if (*sequence < 0)
                return reader.fail(sequenceColumn, QStringLiteral("stop_sequence が空です"));
            feed_.stopTimes.push_back(StopTime{*trip, *stop, *sequence, *pickup != 1});
            return true;
        });
    }

    bool parseFares(CsvReader& reader)
    {
        int idColumn = 0;
        int priceColumn = 0;
        if (!required(reader, QLatin1StringView("fare_id"), idColumn) ||
            !required(reader, QLatin1StringView("price"), priceColumn))
            return false;
        const int currencyColumn = reader.column(QLatin1StringView("currency_type"));
        return eachRecord(reader, [&] {
            const auto key = id(reader, idColumn, QLatin1StringView("fare_id"));
            if (!key || !define(reader, fareIndex_, *key, idColumn, QLatin1StringView("fare_id")))
                return false;
            feed_.fares.push_back(
                Fare{QString::fromUtf8(*key), QString::fromUtf8(reader.bytes(priceColumn)),
                     QString::fromUtf8(reader.bytes(currencyColumn)), reader.line()});
            return true;
        });
    }

    bool parseFareRules(CsvReader& reader)
    {
        int fareColumn = 0;
        if (!required(reader, QLatin1StringView("fare_id"), fareColumn))
            return false;
        const int routeColumn = reader.column(QLatin1StringView("route_id"));
        const int originColumn = reader.column(QLatin1StringView("origin_id"));
        const int destinationColumn = reader.column(QLatin1StringView("destination_id"));
        const int containsColumn = reader.column(QLatin1StringView("contains_id"));
        return eachRecord(reader, [&] {
            const auto fare =
                reference(reader, fareIndex_, fareColumn, QLatin1StringView("fare_id"));
            if (!fare)
                return false;
            feed_.fareRules.push_back(FareRule{
                *fare, ruleRoute(reader.bytes(routeColumn)), zone(reader.bytes(originColumn)),
                zone(reader.bytes(destinationColumn)), zone(reader.bytes(containsColumn))});
            return true;
        });
    }

    // A rule for a route the feed does not have applies to none.
    int ruleRoute(QByteArrayView bytes) const
    {
        if (bytes.isEmpty())
            return -1;
        return routeIndex_.value(bytes.toByteArray(), NoRoute);
    }

    // Readings of stop names in either layout of translations.txt: the older one keyed by
    // the Japanese text itself, or the standard one keyed by stop_id or the text.
    bool parseTranslations(CsvReader& reader)
    {
        if (reader.column(QLatin1StringView("trans_id")) >= 0)
            return parseTextKeyedTranslations(reader);
        if (reader.column(QLatin1StringView("table_name")) >= 0)
            return parseRecordKeyedTranslations(reader);
        return true; // a layout of neither kind holds no readings we know
    }

    static bool isReading(QByteArrayView language)
    {
        return QLatin1StringView(language).compare(QLatin1StringView("ja-Hrkt"),
                                                   Qt::CaseInsensitive) == 0;
    }

    bool parseTextKeyedTranslations(CsvReader& reader)
    {
        const int textColumn = reader.column(QLatin1StringView("trans_id"));
        const int languageColumn = reader.column(QLatin1StringView("lang"));
        const int readingColumn = reader.column(QLatin1StringView("translation"));
        return eachRecord(reader, [&] {
            if (isReading(reader.bytes(languageColumn))) {
                const auto text = reader.text(textColumn);
                const auto reading = text ? reader.text(readingColumn) : std::nullopt;
                if (!reading)
                    return false;
                if (!text->isEmpty() && !reading->isEmpty())
                    feed_.readingsByName.insert(*text, *reading);
            }
            return true;
        });
    }

    bool parseRecordKeyedTranslations(CsvReader& reader)
    {
        const int tableColumn = reader.column(QLatin1StringView("table_name"));
        const int fieldColumn = reader.column(QLatin1StringView("field_name"));
        const int languageColumn = reader.column(QLatin1StringView("language"));
        const int readingColumn = reader.column(QLatin1StringView("translation"));
        const int recordColumn = reader.column(QLatin1StringView("record_id"));
        const int valueColumn = reader.column(QLatin1StringView("field_value"));
        return eachRecord(reader, [&] {
            if (reader.bytes(tableColumn) == "stops" && reader.bytes(fieldColumn) == "stop_name" &&
                isReading(reader.bytes(languageColumn)) &&
                !addStopReading(reader, recordColumn, valueColumn, readingColumn))
                return false;
            return true;
        });
    }

    bool addStopReading(CsvReader& reader, int recordColumn, int valueColumn, int readingColumn)
    {
        const auto reading = reader.text(readingColumn);
        const auto stopId = reading ? reader.text(recordColumn) : std::nullopt;
        const auto name = stopId ? reader.text(valueColumn) : std::nullopt;
        if (!name)
            return false;
        if (reading->isEmpty())
            return true;
        if (!stopId->isEmpty())
            feed_.readingsByStopId.insert(*stopId, *reading);
        else if (!name->isEmpty())
            feed_.readingsByName.insert(*name, *reading);
        return true;
    }

    static constexpr int NoRoute = -2;

    TableSource& source_;
    const FeedLimits& limits_;
    const ReadControl& control_;
    Feed feed_;
    IdIndex stopIndex_;
    IdIndex routeIndex_;
    IdIndex tripIndex_;
    IdIndex fareIndex_;
    QHash<QByteArray, int> zoneIndex_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    qint64 read_ = 0;
    int lastPercent_ = -1;
    bool cancelled_ = false;
};

FileResult<Feed> readFrom(TableSource& source, const FeedLimits& limits, const ReadControl& control)
{
    FeedReader reader(source, limits, control);
    FileResult<Feed> feed = reader.read();
    if (feed && control.progress)
        control.progress(100);
    return feed;
}

FileResult<Feed> readZip(const ZipLibrary& zip, zip_t* archive, const FeedLimits& limits,
                         const ReadControl& control)
{
    ZipSource source(zip, archive);
    return readFrom(source, limits, control);
}

FileError noZipLibrary(const QString& path)
{
    return feedError(FileErrorKind::Unreadable, ErrorNumber::DeviceIo, path,
                     formats::zipLibraryMissingReason());
}

} // namespace

FileResult<Feed> readFeed(const QString& path, const FeedLimits& limits, const ReadControl& control)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        FolderSource source(path);
        return readFrom(source, limits, control);
    }
    if (!info.exists())
        return feedError(FileErrorKind::Missing, ErrorNumber::FileNotFound, path,
                         QStringLiteral("路線データ（zip ファイルかフォルダー）がありません"));
    ZipLibrary zip;
    if (!zip.load())
        return noZipLibrary(path);
    int code = 0;
    zip_t* archive = zip.zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t error;
        zip.zip_error_init_with_code(&error, code);
        const QString reason = zipReason(zip, &error);
        zip.zip_error_fini(&error);
        return feedError(FileErrorKind::Malformed, ErrorNumber::DeviceIo, path, reason);
    }
    return readZip(zip, archive, limits, control);
}

FileResult<Feed> readZipFeed(const QByteArray& zip, const FeedLimits& limits,
                             const ReadControl& control)
{
    ZipLibrary lib;
    if (!lib.load())
        return noZipLibrary(QString());
    zip_error_t error;
    lib.zip_error_init(&error);
    zip_source_t* source =
        lib.zip_source_buffer_create(zip.constData(), zip_uint64_t(zip.size()), 0, &error);
    zip_t* archive = source ? lib.zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive) {
        const QString reason = zipReason(lib, &error);
        if (source)
            lib.zip_source_free(source);
        lib.zip_error_fini(&error);
        return feedError(FileErrorKind::Malformed, ErrorNumber::DeviceIo, QString(), reason);
    }
    lib.zip_error_fini(&error);
    return readZip(lib, archive, limits, control);
}

FileResult<Feed> readFeedTables(const QHash<QString, QByteArray>& tables, const FeedLimits& limits,
                                const ReadControl& control)
{
    MapSource source(tables);
    return readFrom(source, limits, control);
}

} // namespace gtfs
