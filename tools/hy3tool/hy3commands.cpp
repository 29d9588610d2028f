#include "hy3commands.h"

#include "formats/gtfsconvert.h"
#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"
#include "formats/hy3csv.h"
#include "formats/hy3file.h"
#include "formats/rubytext.h"
#include "formats/tapefile.h"
#include "formats/ticketpluginformat.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"
#include "platform/textencoding.h"
#include "platform/version.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace
{

const char* const Usage =
    "使い方:\n"
    "  hy3tool to-csv FILE.hy3 [OUT.csv]    運賃データを CSV (UTF-8) にする（OUT "
    "を省くと標準出力）\n"
    "  hy3tool from-csv FILE.csv OUT.hy3    CSV (UTF-8 か Shift-JIS) から運賃データを作る\n"
    "  hy3tool check FILE.hy3               プログラムで使えるか、どの区間を指定できるかを調べる\n"
    "  hy3tool check-tape FILE              放送用データ (*tp.csv) "
    "の放送とフラグ、文字コードを示す\n"
    "  hy3tool check-plugin FILE.4SP        整理券プラグインを調べ、使えないときは行と理由を示す\n"
    "  hy3tool gtfs-list FEED               路線データ (GTFS-JP の zip かフォルダー) "
    "の系統パターンを一覧にする\n"
    "  hy3tool from-gtfs FEED --pattern ID --route N [--out DIR]\n"
    "                                       系統パターン ID から運賃データ N.hy3 と"
    "放送用データ Ntp.csv を作る\n"
    "  hy3tool --help | --version\n"
    "FILE を - にすると標準入力から読み、OUT を - にすると標準出力へ書きます。\n"
    "CSV の 1 行目は見出し「停留所名,整理券番号,1,2,…,150」、以降 1 行が 1 停留所です。\n"
    "足りない列は 0 とみなします。\n"
    "終了ステータス: 0 成功、1 読めない・使えない・誤りがある、2 使い方の誤り。\n";

const QString StandardStream = QStringLiteral("-");

void say(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
    device.write("\n");
}

// How the file is named in messages.
QString shownName(const QString& path)
{
    return path == StandardStream ? QStringLiteral("(標準入力)") : path;
}

// Up to `limit` bytes of the device, however it hands them out: a pipe gives one chunk per
// read, so a single read would stop at the first.
QByteArray readUpTo(QIODevice& device, qint64 limit)
{
    QByteArray bytes;
    while (bytes.size() < limit) {
        const QByteArray chunk = device.read(limit - bytes.size());
        if (chunk.isEmpty())
            break; // the end of the file or of the pipe
        bytes += chunk;
    }
    return bytes;
}

// The bytes of a text file, or of standard input for "-". `limit` bytes at most, when given
// (a larger file reads one byte over, for the caller to see). Reports a failure and returns
// nothing.
std::optional<QByteArray> readInput(const QString& path, QIODevice& in, QIODevice& err,
                                    qint64 limit = -1)
{
    if (path == StandardStream)
        return limit < 0 ? in.readAll() : readUpTo(in, limit + 1);
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        say(err, QStringLiteral("%1: 読めません (%2)")
                     .arg(path, QFileInfo(path).isDir() ? QStringLiteral("フォルダーです")
                                                        : file.errorString()));
        return std::nullopt;
    }
    return limit < 0 ? file.readAll() : readUpTo(file, limit + 1);
}

// The size of the input that turned out too large, when it can be known.
qint64 inputSize(const QString& path)
{
    return path == StandardStream ? -1 : QFileInfo(path).size();
}

// Writes the bytes to OUT, or to standard output for "-". A file is written beside the
// target and renamed over it, so a failure leaves the old file intact.
bool writeOutput(const QString& path, const QByteArray& bytes, QIODevice& out, QIODevice& err)
{
    if (path == StandardStream)
        return out.write(bytes) == bytes.size();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit()) {
        say(err, QStringLiteral("%1: 書き込めません (%2)").arg(path, file.errorString()));
        return false;
    }
    return true;
}

// A fare file opened as the program opens it, or standard input for "-".
formats::FileResult<std::unique_ptr<QIODevice>> openFareFile(const QString& path, QIODevice& in)
{
    if (path != StandardStream) {
        auto file = hy3::openExisting(path);
        if (!file)
            return file.error();
        return std::unique_ptr<QIODevice>(std::move(*file));
    }
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(in.readAll());
    buffer->open(QIODevice::ReadOnly);
    return std::unique_ptr<QIODevice>(std::move(buffer));
}

// ---- fare data -------------------------------------------------------------------------

// The records that the file holds, as the program would read them, and how many are whole.
struct FileContents {
    qint16 count = 0;
    std::vector<hy3::Record> records;
    int completeRecords = 0;
    bool truncated = false;
};

formats::FileResult<FileContents> readFile(QIODevice& in)
{
    FileContents contents;
    const formats::FileResult<qint16> count = hy3::readCount(in);
    if (!count)
        return count.error();
    contents.count = *count;
    for (int i = 0; i < contents.count; ++i) {
        hy3::Record record;
        const hy3::ReadStatus status = hy3::readRecord(in, record);
        if (status == hy3::ReadStatus::Failed)
            return hy3::readError(in);
        if (status == hy3::ReadStatus::PastEnd) {
            contents.truncated = true;
            break;
        }
        contents.records.push_back(record);
        if (status == hy3::ReadStatus::Complete)
            ++contents.completeRecords;
        if (status == hy3::ReadStatus::Truncated) {
            contents.truncated = true;
            break;
        }
    }
    return contents;
}

QString truncationWarning(const QString& path, const FileContents& contents)
{
    return QStringLiteral(
               "%1: 警告: 件数は %2 件ですが、ファイルには欠けずに揃った停留所が %3 件しか"
               "ありません。欠けた分はプログラムでは空欄になります。")
        .arg(shownName(path))
        .arg(contents.count)
        .arg(contents.completeRecords);
}

// Why the open file is no fare data at all; empty when it may be.
QString notFareData(QIODevice& file)
{
    return hy3::notFareDataReason(file.peek(hy3::FareDataHeadBytes), file.size());
}

void warnAboutContents(const QString& path, const FileContents& contents, QIODevice& err)
{
    const QString name = shownName(path);
    if (contents.truncated)
        say(err, truncationWarning(path, contents));
    if (contents.count > hy3::MaxRows)
        say(err,
            QStringLiteral("%1: 警告: 停留所が %2 件を超えているため、プログラムでは使えません。")
                .arg(name)
                .arg(hy3::MaxRows));
    int line = 2;
    for (const hy3::Record& record : contents.records) {
        if (platform::toCp932(platform::fromCp932(record.name)) != record.name)
            say(err, QStringLiteral("%1: 警告: %2行目の停留所名には Shift-JIS として読めないか"
                                    "別の形に戻るバイトがあり、CSV から同じバイトには戻りません。")
                         .arg(name)
                         .arg(line));
        ++line;
    }
}

// The fare file's contents, or why it cannot be read: a refused file, or the reason why it
// is no fare data at all.
std::variant<FileContents, QString> readFareFile(const QString& path, QIODevice& in)
{
    const auto file = openFareFile(path, in);
    if (!file)
        return file.error().description();
    if (const QString reason = notFareData(**file); !reason.isEmpty())
        return reason;
    auto contents = readFile(**file);
    if (!contents)
        return contents.error().description();
    return std::move(*contents);
}

int toCsv(const QString& path, const QString& outPath, QIODevice& in, QIODevice& out,
          QIODevice& err)
{
    const auto read = readFareFile(path, in);
    if (const auto* problem = std::get_if<QString>(&read)) {
        say(err, QStringLiteral("%1: %2").arg(shownName(path), *problem));
        return 1;
    }
    const auto& contents = std::get<FileContents>(read);
    warnAboutContents(path, contents, err);
    return writeOutput(outPath, hy3::toCsv(contents.records), out, err) ? 0 : 1;
}

// "3, 7, 12" for the lines.
QString lineList(const std::vector<int>& lines)
{
    QStringList numbers;
    for (int line : lines)
        numbers << QString::number(line);
    return numbers.join(QStringLiteral(", "));
}

int fromCsv(const QString& csvPath, const QString& outPath, QIODevice& in, QIODevice& out,
            QIODevice& err)
{
    const std::optional<QByteArray> bytes = readInput(csvPath, in, err);
    if (!bytes)
        return 1;
    const QString csvName = shownName(csvPath);
    const hy3::CsvResult result = hy3::fromCsv(*bytes);
    if (!result.skippedLines.empty())
        say(err, QStringLiteral("%1: 警告: 空の行を読み飛ばしました（%2行目）")
                     .arg(csvName, lineList(result.skippedLines)));
    for (const hy3::CsvError& warning : result.warnings)
        say(err,
            QStringLiteral("%1:%2行目: 警告: %3").arg(csvName).arg(warning.line).arg(warning.what));
    if (!result.errors.empty()) {
        for (const hy3::CsvError& error : result.errors)
            say(err, (error.line > 0 ? QStringLiteral("%1:%2") : QStringLiteral("%1: %2"))
                         .arg(csvName, error.text()));
        say(err, platform::isReadable(result.encoding)
                     ? QStringLiteral("%1 は書き込みませんでした（CSV は %2 として読みました）。")
                           .arg(outPath, platform::encodingName(result.encoding))
                     : QStringLiteral("%1 は書き込みませんでした。").arg(outPath));
        return 1;
    }
    const formats::FileResult<QByteArray> encoded = hy3::encode(result.records);
    if (!encoded) {
        say(err, QStringLiteral("%1: %2").arg(csvName, encoded.error().description()));
        say(err, QStringLiteral("%1 は書き込みませんでした。").arg(outPath));
        return 1;
    }
    if (!writeOutput(outPath, *encoded, out, err))
        return 1;
    // With the data on standard output, the report goes to the error stream.
    QIODevice& report = outPath == StandardStream ? err : out;
    if (result.records.empty())
        say(err, QStringLiteral(
                     "%1: 警告: 停留所が 0 件です。プログラムはこの系統を未登録とみなします。")
                     .arg(outPath));
    say(report, QStringLiteral("%1: 停留所 %2 件を書き込みました（CSV は %3 として読みました）。")
                    .arg(outPath)
                    .arg(result.records.size())
                    .arg(platform::encodingName(result.encoding)));
    return 0;
}

int check(const QString& path, QIODevice& in, QIODevice& out)
{
    const auto file = openFareFile(path, in);
    if (!file) {
        say(out, file.error().kind == formats::FileErrorKind::Missing ? hy3::messageNoFile()
                                                                      : file.error().description());
        return 1;
    }
    // The program would show one of its fixed messages; this says what the file is.
    if (const QString reason = notFareData(**file); !reason.isEmpty()) {
        say(out, reason);
        return 1;
    }
    const auto read = readFile(**file);
    if (!read) {
        say(out, read.error().description());
        return 1;
    }
    const FileContents& contents = *read;
    if (contents.count == 0) {
        say(out, hy3::messageNoRecords());
        return 1;
    }
    if (contents.count - 1 < 1) {
        say(out, QStringLiteral("停留所 %1 件: 受け付ける区間がありません。").arg(contents.count));
        say(out,
            hy3::messageSectionTooLarge().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        return 1;
    }
    if (contents.count > hy3::MaxRows) {
        say(out, QStringLiteral("停留所 %1 件: %2 件を超えるため読み込めません。")
                     .arg(contents.count)
                     .arg(hy3::MaxRows));
        say(out, platform::errorDescription(platform::ErrorNumber::SubscriptOutOfRange));
        return 1;
    }
    say(out, QStringLiteral("停留所 %1 件。区間は 1〜%2 を指定できます。")
                 .arg(contents.count)
                 .arg(contents.count - 1));
    if (contents.truncated)
        say(out, truncationWarning(path, contents));
    return 0;
}

// ---- broadcast data --------------------------------------------------------------------

int checkTape(const QString& path, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const std::optional<QByteArray> bytes = readInput(path, in, err, sound::MaxTapeFileSize);
    if (!bytes)
        return 1;
    const QString name = shownName(path);
    platform::DecodedText decoded;
    const sound::TapeResult entries = bytes->size() > sound::MaxTapeFileSize
                                          ? sound::tooLargeError(path, inputSize(path))
                                          : sound::parseTapeBytes(*bytes, &decoded);
    if (!entries) {
        const formats::FileError& error = entries.error();
        const QString where =
            error.line > 0 ? QStringLiteral("%1:%2行目").arg(name).arg(error.line) : name;
        say(err, QStringLiteral("%1: %2（このままではプログラムで放送が使えません）")
                     .arg(where, error.reason));
        return 1;
    }
    say(out, QStringLiteral("%1: %2、放送 %3 件")
                 .arg(name, platform::encodingName(decoded.encoding))
                 .arg(entries->size()));
    if (!decoded.clean)
        say(err, QStringLiteral("%1: 警告: 読めないバイトがあり、その文字は「%2」になります。")
                     .arg(name, QString(QChar(QChar::ReplacementCharacter))));
    say(out, QStringLiteral("番号  送り  音  放送"));
    int number = 1;
    for (const sound::TapeEntry& entry : *entries) {
        // The text as the console shows it; what the voice says instead, under it.
        const formats::RubyText readings = formats::splitReadings(entry.text);
        const QString columns = QStringLiteral("%1 %2 %3  ")
                                    .arg(number++, 4)
                                    .arg(entry.stepFlag, 5)
                                    .arg(entry.soundFlag, 3);
        say(out, columns + readings.shown);
        if (readings.hasReadings)
            say(out, QString(columns.size(), u' ') + QStringLiteral("読み: ") + readings.spoken);
    }
    return 0;
}

// ---- ticket plug-ins -------------------------------------------------------------------

int checkPlugin(const QString& path, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const std::optional<QByteArray> bytes = readInput(path, in, err, tickets::MaxFileSize);
    if (!bytes)
        return 1;
    const QString name = shownName(path);
    const tickets::ParseResult result = tickets::parseTicketPlugin(*bytes);
    if (!result) {
        say(err, (result.line > 0 ? QStringLiteral("%1:%2") : QStringLiteral("%1: %2"))
                     .arg(name, result.diagnosis()));
        return 1;
    }
    const tickets::TicketPlugin& plugin = *result.plugin;
    say(out, QStringLiteral("%1: 整理券プラグインとして使えます（%2、%3×%4 twips、項目 %5 個、"
                            "社名 %6 件）")
                 .arg(name, platform::encodingName(platform::detectTextEncoding(*bytes)))
                 .arg(plugin.paperWidth())
                 .arg(plugin.paperHeight())
                 .arg(plugin.items.size())
                 .arg(plugin.companies.size()));
    return 0;
}

// ---- open-data bus feeds ---------------------------------------------------------------

// The feed, or nothing after saying why it cannot be read.
std::optional<gtfs::Feed> readFeed(const QString& path, QIODevice& err)
{
    formats::FileResult<gtfs::Feed> feed = gtfs::readFeed(path);
    if (!feed) {
        const formats::FileError& error = feed.error();
        const QString where = error.file.isEmpty() || error.file == path
                                  ? path
                                  : QStringLiteral("%1: %2").arg(path, error.file);
        say(err, QStringLiteral("%1: %2").arg(where, error.description()));
        return std::nullopt;
    }
    return std::move(*feed);
}

QString patternLine(const gtfs::Feed& feed, const gtfs::Pattern& pattern)
{
    return QStringLiteral("%1  %2  %3 → %4  停留所 %5  便 %6")
        .arg(pattern.id, 4)
        .arg(gtfs::routeName(feed.routes[size_t(pattern.route)]),
             gtfs::shownStopName(feed, pattern.stops.front()),
             gtfs::shownStopName(feed, pattern.stops.back()))
        .arg(pattern.stops.size())
        .arg(pattern.trips.size());
}

int gtfsList(const QString& path, QIODevice& out, QIODevice& err)
{
    const std::optional<gtfs::Feed> feed = readFeed(path, err);
    if (!feed)
        return 1;
    const std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(*feed);
    if (patterns.empty()) {
        say(err, QStringLiteral("%1: 停留所が 2 か所以上ある便がなく、系統パターンがありません")
                     .arg(path));
        return 1;
    }
    say(out, QStringLiteral("  ID  系統名  起点 → 終点  停留所数  便数"));
    for (const gtfs::Pattern& pattern : patterns)
        say(out, patternLine(*feed, pattern));
    return 0;
}

struct FromGtfsArgs {
    QString feed;
    QString pattern;
    QString route;
    QString outDir;
};

// FEED --pattern ID --route N [--out DIR], the options in any order; nothing when the
// arguments are wrong.
std::optional<FromGtfsArgs> fromGtfsArgs(const QStringList& args)
{
    FromGtfsArgs parsed;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        QString* option = arg == QLatin1String("--pattern") ? &parsed.pattern
                          : arg == QLatin1String("--route") ? &parsed.route
                          : arg == QLatin1String("--out")   ? &parsed.outDir
                                                            : nullptr;
        if (option && i + 1 < args.size() && option->isEmpty())
            *option = args[++i];
        else if (!option && !arg.startsWith(QLatin1String("--")) && parsed.feed.isEmpty())
            parsed.feed = arg;
        else
            return std::nullopt;
    }
    if (parsed.feed.isEmpty() || parsed.pattern.isEmpty() || parsed.route.isEmpty())
        return std::nullopt;
    return parsed;
}

void reportStops(const gtfs::Conversion& conversion, QIODevice& out)
{
    say(out, QStringLiteral("  順  整理券  停留所（読み）"));
    int position = 1;
    for (const gtfs::ConvertedStop& stop : conversion.stops) {
        QString name = stop.name;
        if (!stop.reading.isEmpty())
            name += QStringLiteral("（%1）").arg(stop.reading);
        if (!stop.boarding)
            name += QStringLiteral("  乗車なし");
        say(out, QStringLiteral("%1  %2  %3").arg(position++, 4).arg(stop.ticketNo, 6).arg(name));
    }
}

int fromGtfs(const FromGtfsArgs& args, QIODevice& out, QIODevice& err)
{
    const std::optional<QString> routeNo = gtfs::routeFileNumber(args.route);
    if (!routeNo) {
        say(err, QStringLiteral("--route %1: 系統番号は 5 桁までの数字です").arg(args.route));
        return 2;
    }
    const std::optional<gtfs::Feed> feed = readFeed(args.feed, err);
    if (!feed)
        return 1;
    const std::vector<gtfs::Pattern> patterns = gtfs::findPatterns(*feed);
    bool isNumber = false;
    const int id = args.pattern.toInt(&isNumber);
    if (!isNumber || id < 1 || id > int(patterns.size())) {
        say(err,
            QStringLiteral("%1: 系統パターン「%2」はありません（1〜%3。gtfs-list で一覧できます）")
                .arg(args.feed, args.pattern)
                .arg(patterns.size()));
        return 1;
    }
    const gtfs::Pattern& pattern = patterns[size_t(id - 1)];
    const gtfs::Conversion conversion = gtfs::convertPattern(*feed, pattern, *routeNo);
    say(out, QStringLiteral("%1: 系統パターン %2（%3、%4 → %5）を系統 %6 にします")
                 .arg(args.feed)
                 .arg(pattern.id)
                 .arg(gtfs::routeName(feed->routes[size_t(pattern.route)]),
                      gtfs::shownStopName(*feed, pattern.stops.front()),
                      gtfs::shownStopName(*feed, pattern.stops.back()), *routeNo));
    reportStops(conversion, out);
    for (const QString& note : conversion.notes)
        say(err, QStringLiteral("警告: %1").arg(note));
    for (const QString& error : conversion.errors)
        say(err, QStringLiteral("%1: %2").arg(args.feed, error));
    if (!conversion.ok()) {
        say(err, QStringLiteral("%1 と %2 は書き込みませんでした。")
                     .arg(gtfs::fareFileName(conversion), gtfs::tapeFileName(conversion)));
        return 1;
    }
    if (const auto failed = gtfs::writeConversion(conversion, args.outDir, args.outDir)) {
        say(err, *failed);
        return 1;
    }
    const QDir folder(args.outDir.isEmpty() ? QStringLiteral(".") : args.outDir);
    say(out, QStringLiteral("%1: 停留所 %2 件、整理券番号 %3 まで、運賃の規則がない組 %4")
                 .arg(folder.filePath(gtfs::fareFileName(conversion)))
                 .arg(conversion.records.size())
                 .arg(conversion.stops.back().ticketNo)
                 .arg(conversion.missingFares));
    say(out, QStringLiteral("%1: 放送 %2 件")
                 .arg(folder.filePath(gtfs::tapeFileName(conversion)))
                 .arg(conversion.announcements.size()));
    return 0;
}

} // namespace

int runHy3Tool(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err)
{
    const QString command = args.value(0);
    const auto is = [&](const char* name, int minArgs, int maxArgs) {
        return command == QLatin1String(name) && args.size() - 1 >= minArgs &&
               args.size() - 1 <= maxArgs;
    };
    if (is("to-csv", 1, 2))
        return toCsv(args[1], args.value(2, StandardStream), in, out, err);
    if (is("from-csv", 2, 2))
        return fromCsv(args[1], args[2], in, out, err);
    if (is("check", 1, 1))
        return check(args[1], in, out);
    if (is("check-tape", 1, 1))
        return checkTape(args[1], in, out, err);
    if (is("check-plugin", 1, 1))
        return checkPlugin(args[1], in, out, err);
    if (is("gtfs-list", 1, 1))
        return gtfsList(args[1], out, err);
    if (command == QLatin1String("from-gtfs")) {
        if (const auto parsed = fromGtfsArgs(args))
            return fromGtfs(*parsed, out, err);
    }
    if (is("--help", 0, 0) || is("-h", 0, 0)) {
        out.write(Usage);
        return 0;
    }
    if (is("--version", 0, 0)) {
        say(out, QStringLiteral("hy3tool (ファレット) %1").arg(QLatin1String(platform::Version)));
        return 0;
    }
    err.write(Usage);
    return 2;
}
