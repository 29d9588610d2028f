#include "formats/gtfsconvert.h"

#include "platform/cp932.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace gtfs
{
namespace
{

// How many pairs without a fare the notes name one by one; the rest are counted.
constexpr int ListedMissingFares = 100;

// What the broadcast line and the reading marks around a name cannot hold.
const QString NotInAnnouncement = QStringLiteral("\"\r\n｜|《》");

constexpr int NoPrice = std::numeric_limits<int>::max();

// True when every character is a digit; with `only`, when every one is that character.
bool onlyDigits(const QString& text, QChar only = QChar())
{
    return std::all_of(text.begin(), text.end(), [only](QChar c) {
        return only.isNull() ? c >= u'0' && c <= u'9' : c == only;
    });
}

int zoneOf(const Feed& feed, int stop)
{
    const Stop& own = feed.stops[size_t(stop)];
    if (own.zone >= 0 || own.parent < 0)
        return own.zone;
    return feed.stops[size_t(own.parent)].zone;
}

// Many published feeds write readings in half-width katakana ("ﾆｼｴｷﾏｴ"), as their timetable
// systems keep them; the broadcast file gets the full-width form people read and edit. Only
// that block is changed: a full-width comma or digit in a reading stays as written.
QString withFullWidthKana(const QString& reading)
{
    QString out;
    out.reserve(reading.size());
    for (qsizetype i = 0; i < reading.size();) {
        qsizetype end = i;
        while (end < reading.size() && reading[end].unicode() >= 0xFF61 &&
               reading[end].unicode() <= 0xFF9F)
            ++end;
        if (end > i) {
            out += reading.mid(i, end - i).normalized(QString::NormalizationForm_KC);
            i = end;
        } else {
            out += reading[i++];
        }
    }
    return out;
}

// The reading of a stop's shown name: of the station for a pole, else of the stop itself;
// by its id first, then by the name.
QString readingOf(const Feed& feed, int stop)
{
    const int named = feed.stops[size_t(stop)].parent >= 0 ? feed.stops[size_t(stop)].parent : stop;
    const Stop& source = feed.stops[size_t(named)];
    const QString byId = feed.readingsByStopId.value(source.id);
    return withFullWidthKana(byId.isEmpty() ? feed.readingsByName.value(source.name) : byId);
}

// "200", or "200.0" as some producers write it; no sign, no fraction of a yen.
std::optional<qint64> wholeYen(const QString& price)
{
    const qsizetype point = price.indexOf(u'.');
    const QString whole = point < 0 ? price : price.left(point);
    const QString fraction = point < 0 ? QString() : price.mid(point + 1);
    if (whole.isEmpty() || whole.size() > 12 || !onlyDigits(whole) || !onlyDigits(fraction, u'0'))
        return std::nullopt;
    return whole.toLongLong();
}

// A plain rule's place in the tables of cheapest prices: its origin and destination zones.
qint64 zonePair(int origin, int destination)
{
    return (qint64(origin) + 1) << 32 | quint32(destination + 1);
}

// Rules with contains_id: a fare's rules for one route, origin and destination together, and
// the zones a ride must pass, exactly.
struct ContainsFare {
    bool forThisRoute = false;
    int origin = -1;
    int destination = -1;
    std::vector<int> zones; // sorted
    int price = NoPrice;
};

// The fare rules that apply to one route, made into look-up tables.
class FareTable
{
public:
    FareTable(const Feed& feed, int route, std::vector<QString>& errors)
    {
        std::vector<int> prices(feed.fares.size(), NoPrice);
        std::vector<bool> checked(feed.fares.size(), false);
        QHash<QByteArray, int> containsGroups;
        for (const FareRule& rule : feed.fareRules) {
            if (rule.route != -1 && rule.route != route)
                continue;
            if (!checked[size_t(rule.fare)]) {
                checked[size_t(rule.fare)] = true;
                prices[size_t(rule.fare)] = price(feed.fares[size_t(rule.fare)], errors);
            }
            const int price = prices[size_t(rule.fare)];
            if (price == NoPrice)
                continue;
            const bool forThisRoute = rule.route == route;
            if (rule.contains >= 0)
                addContains(rule, forThisRoute, price, containsGroups);
            else
                keepCheaper((forThisRoute ? routePrices_ : allRoutePrices_),
                            zonePair(rule.origin, rule.destination), price);
        }
        for (ContainsFare& fare : containsFares_) {
            std::sort(fare.zones.begin(), fare.zones.end());
            fare.zones.erase(std::unique(fare.zones.begin(), fare.zones.end()), fare.zones.end());
        }
    }

    bool hasContainsRules() const { return !containsFares_.empty(); }

    // The fare between two zones passing `passed` (sorted); NoPrice when no rule gives one.
    int fare(int origin, int destination, const std::vector<int>& passed) const
    {
        const int own = cheapest(routePrices_, origin, destination, passed, true);
        return own != NoPrice ? own : cheapest(allRoutePrices_, origin, destination, passed, false);
    }

private:
    static int price(const Fare& fare, std::vector<QString>& errors)
    {
        const auto refuse = [&](const QString& why) {
            errors.push_back(QStringLiteral("fare_attributes.txt %1行目: 運賃 %2 の %3")
                                 .arg(fare.line)
                                 .arg(fare.id, why));
            return NoPrice;
        };
        if (fare.currency.compare(QLatin1StringView("JPY"), Qt::CaseInsensitive) != 0)
            return refuse(QStringLiteral("通貨「%1」は円 (JPY) ではありません").arg(fare.currency));
        const std::optional<qint64> yen = wholeYen(fare.price);
        if (!yen)
            return refuse(QStringLiteral("price「%1」は円の整数ではありません").arg(fare.price));
        if (*yen > std::numeric_limits<qint16>::max())
            return refuse(QStringLiteral("price「%1」は運賃データに書ける 32767 円を超えています")
                              .arg(fare.price));
        return int(*yen);
    }

    static void keepCheaper(QHash<qint64, int>& prices, qint64 key, int price)
    {
        auto found = prices.find(key);
        if (found == prices.end())
            prices.insert(key, price);
        else
            *found = std::min(*found, price);
    }

    void addContains(const FareRule& rule, bool forThisRoute, int price,
                     QHash<QByteArray, int>& groups)
    {
        const int parts[] = {rule.fare, forThisRoute ? 1 : 0, rule.origin, rule.destination};
        const QByteArray key(reinterpret_cast<const char*>(parts), sizeof parts);
        auto found = groups.constFind(key);
        if (found == groups.cend()) {
            found = groups.insert(key, int(containsFares_.size()));
            containsFares_.push_back(
                ContainsFare{forThisRoute, rule.origin, rule.destination, {}, price});
        }
        containsFares_[size_t(*found)].zones.push_back(rule.contains);
    }

    int cheapest(const QHash<qint64, int>& prices, int origin, int destination,
                 const std::vector<int>& passed, bool forThisRoute) const
    {
        int best = NoPrice;
        for (const int from : {origin, -1}) {
            for (const int to : {destination, -1}) {
                best = std::min(best, prices.value(zonePair(from, to), NoPrice));
                if (to == -1)
                    break;
            }
            if (from == -1)
                break;
        }
        for (const ContainsFare& fare : containsFares_) {
            if (fare.forThisRoute == forThisRoute && matches(fare.origin, origin) &&
                matches(fare.destination, destination) && fare.zones == passed)
                best = std::min(best, fare.price);
        }
        return best;
    }

    static bool matches(int ruleZone, int zone) { return ruleZone == -1 || ruleZone == zone; }

    QHash<qint64, int> routePrices_;
    QHash<qint64, int> allRoutePrices_;
    std::vector<ContainsFare> containsFares_;
};

class Converter
{
public:
    Converter(const Feed& feed, const Pattern& pattern, const QString& routeNo)
        : feed_(feed), pattern_(pattern)
    {
        result_.routeNo = routeNo;
    }

    Conversion run()
    {
        collectStops();
        numberTickets();
        if (result_.ok())
            fillFares();
        if (result_.ok())
            writeAnnouncements();
        if (result_.ok())
            encode();
        return std::move(result_);
    }

private:
    void error(const QString& text) { result_.errors.push_back(text); }

    void collectStops()
    {
        if (int(pattern_.stops.size()) > hy3::MaxRows)
            error(QStringLiteral("停留所が %1 か所あり、運賃データに書ける %2 か所を超えています")
                      .arg(pattern_.stops.size())
                      .arg(hy3::MaxRows));
        for (size_t k = 0; k < pattern_.stops.size(); ++k) {
            const int stop = pattern_.stops[k];
            ConvertedStop converted{shownStopName(feed_, stop), readingOf(feed_, stop), QString(),
                                    bool(pattern_.boarding[k]), 0};
            const int zone = zoneOf(feed_, stop);
            converted.zone = zone >= 0 ? feed_.zones[size_t(zone)] : QString();
            checkName(int(k) + 1, converted.name);
            checkReading(converted);
            result_.stops.push_back(converted);
        }
    }

    void checkName(int position, const QString& name)
    {
        const QString where = QStringLiteral("%1 番目の停留所「%2」: ").arg(position).arg(name);
        if (name.isEmpty())
            error(where + QStringLiteral("停留所名が空です"));
        else if (const QString reason = platform::nonCp932Reason(name); !reason.isEmpty())
            error(where + reason);
        else if (platform::cp932Length(name) > hy3::MaxNameBytes)
            error(where +
                  QStringLiteral("停留所名が長すぎます（Shift-JIS で %1 バイト、%2 バイトまで）")
                      .arg(platform::cp932Length(name))
                      .arg(hy3::MaxNameBytes));
        else if (const QChar bad = firstOf(name, NotInAnnouncement); !bad.isNull())
            error(where +
                  QStringLiteral("放送用データに書けない文字「%1」があります").arg(printable(bad)));
    }

    // A reading the broadcast file cannot hold is left out, and said so.
    void checkReading(ConvertedStop& stop)
    {
        if (stop.reading.isEmpty())
            return;
        const bool fits = platform::nonCp932Reason(stop.reading).isEmpty() &&
                          firstOf(stop.reading, NotInAnnouncement).isNull();
        if (!fits) {
            result_.notes.push_back(
                QStringLiteral("停留所「%1」の読み「%2」は放送用データに書けない"
                               "文字を含むため、読みなしで書きました")
                    .arg(stop.name, stop.reading));
            stop.reading.clear();
        }
    }

    static QChar firstOf(const QString& text, const QString& characters)
    {
        for (const QChar c : text) {
            if (characters.contains(c))
                return c;
        }
        return QChar();
    }

    static QString printable(QChar c)
    {
        return c == u'\r' || c == u'\n' ? QStringLiteral("改行") : QString(c);
    }

    void numberTickets()
    {
        int issued = 0;
        for (ConvertedStop& stop : result_.stops) {
            if (stop.boarding)
                ++issued;
            stop.ticketNo = std::min(issued, MaxTickets);
        }
        if (issued > MaxTickets)
            error(
                QStringLiteral("乗車できる停留所が %1 か所あり、整理券番号の上限 %2 を超えています")
                    .arg(issued)
                    .arg(MaxTickets));
    }

    void fillFares()
    {
        const FareTable fares(feed_, pattern_.route, result_.errors);
        if (!result_.ok())
            return;
        result_.records.resize(result_.stops.size());
        for (size_t j = 0; j < result_.stops.size(); ++j) {
            hy3::Record& record = result_.records[j];
            record.name = platform::toCp932(result_.stops[j].name);
            record.ticketNo = qint16(result_.stops[j].ticketNo);
        }
        int ticket = 0;
        for (size_t i = 0; i < result_.stops.size(); ++i) {
            if (result_.stops[i].boarding)
                faresFrom(fares, i, ++ticket);
        }
        if (result_.missingFares > ListedMissingFares)
            result_.notes.push_back(
                QStringLiteral("ほかに %1 組の停留所の間にも運賃の規則がなく、0 にしました")
                    .arg(result_.missingFares - ListedMissingFares));
    }

    // Column `ticket` of every stop after the one it is issued at.
    void faresFrom(const FareTable& fares, size_t boardedAt, int ticket)
    {
        const int origin = zoneOf(feed_, pattern_.stops[boardedAt]);
        std::vector<int> passed;
        addZone(passed, origin);
        for (size_t j = boardedAt + 1; j < result_.stops.size(); ++j) {
            const int destination = zoneOf(feed_, pattern_.stops[j]);
            if (fares.hasContainsRules())
                addZone(passed, destination);
            const int price = fares.fare(origin, destination, passed);
            if (price == NoPrice)
                noteMissing(boardedAt, j);
            result_.records[j].columns[size_t(ticket - 1)] = qint16(price == NoPrice ? 0 : price);
        }
    }

    static void addZone(std::vector<int>& zones, int zone)
    {
        if (zone < 0)
            return;
        const auto at = std::lower_bound(zones.begin(), zones.end(), zone);
        if (at == zones.end() || *at != zone)
            zones.insert(at, zone);
    }

    void noteMissing(size_t from, size_t to)
    {
        if (++result_.missingFares > ListedMissingFares)
            return;
        const ConvertedStop& a = result_.stops[from];
        const ConvertedStop& b = result_.stops[to];
        result_.notes.push_back(QStringLiteral("整理券 %1「%2」(ゾーン %3) → %4 番目「%5」(ゾーン "
                                               "%6): 運賃の規則がなく、0 にしました")
                                    .arg(a.ticketNo)
                                    .arg(a.name, zoneText(a.zone))
                                    .arg(to + 1)
                                    .arg(b.name, zoneText(b.zone)));
    }

    static QString zoneText(const QString& zone)
    {
        return zone.isEmpty() ? QStringLiteral("なし") : zone;
    }

    void writeAnnouncements()
    {
        const size_t count = result_.stops.size();
        for (size_t j = 1; j < count; ++j) {
            const ConvertedStop& stop = result_.stops[j];
            const QString name = stop.reading.isEmpty()
                                     ? stop.name
                                     : QStringLiteral("｜%1《%2》").arg(stop.name, stop.reading);
            const bool last = j + 1 == count;
            result_.announcements.push_back(
                sound::TapeEntry{last ? QStringLiteral("次は、終点、%1です。").arg(name)
                                      : QStringLiteral("次は、%1です。").arg(name),
                                 1, last ? 3 : 2});
        }
    }

    void encode()
    {
        formats::FileResult<QByteArray> fareFile = hy3::encode(result_.records);
        if (!fareFile) {
            error(fareFile.error().description());
            return;
        }
        QString tape;
        for (const sound::TapeEntry& entry : result_.announcements)
            tape += QStringLiteral("\"%1\",%2,%3\r\n")
                        .arg(entry.text)
                        .arg(entry.stepFlag)
                        .arg(entry.soundFlag);
        const QByteArray tapeFile = platform::toCp932(tape);
        if (tapeFile.size() > sound::MaxTapeFileSize) {
            error(QStringLiteral(
                      "放送用データが %1 バイトになり、プログラムが読む %2 バイトを超えます")
                      .arg(tapeFile.size())
                      .arg(sound::MaxTapeFileSize));
            return;
        }
        result_.fareFile = *fareFile;
        result_.tapeFile = tapeFile;
    }

    const Feed& feed_;
    const Pattern& pattern_;
    Conversion result_;
};

QString inFolder(const QString& folder, const QString& name)
{
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

} // namespace

std::optional<QString> routeFileNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 5 || !onlyDigits(text))
        return std::nullopt;
    return QString::number(text.toInt());
}

Conversion convertPattern(const Feed& feed, const Pattern& pattern, const QString& routeNo)
{
    return Converter(feed, pattern, routeNo).run();
}

QString fareFileName(const Conversion& conversion)
{
    return hy3::filePath(QString(), conversion.routeNo);
}

QString tapeFileName(const Conversion& conversion)
{
    return conversion.routeNo + QStringLiteral("tp.csv");
}

std::optional<QString> writeConversion(const Conversion& conversion, const QString& fareFolder,
                                       const QString& tapeFolder)
{
    if (!conversion.ok())
        return QStringLiteral("変換に誤りがあるため書き込みません");
    QSaveFile fare(inFolder(fareFolder, fareFileName(conversion)));
    QSaveFile tape(inFolder(tapeFolder, tapeFileName(conversion)));
    // Both are written in full before either replaces its file, so that a full disk leaves
    // the old pair as it was.
    for (QSaveFile* file : {&fare, &tape}) {
        const QByteArray& bytes = file == &fare ? conversion.fareFile : conversion.tapeFile;
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size())
            return QStringLiteral("%1: 書き込めません (%2)")
                .arg(file->fileName(), file->errorString());
    }
    for (QSaveFile* file : {&fare, &tape}) {
        if (!file->commit())
            return QStringLiteral("%1: 書き込めません (%2)")
                .arg(file->fileName(), file->errorString());
    }
    return std::nullopt;
}

} // namespace gtfs
