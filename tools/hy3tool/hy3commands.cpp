#include "hy3commands.h"

#include "operation/hy3csv.h"
#include "operation/hy3file.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QSaveFile>

#include <memory>
#include <vector>

namespace
{

const char* const Usage =
    "使い方:\n"
    "  hy3tool to-csv FILE.hy3             運賃データを CSV (UTF-8) で標準出力へ\n"
    "  hy3tool from-csv FILE.csv OUT.hy3   CSV から運賃データを作る\n"
    "  hy3tool check FILE.hy3              プログラムで使えるかを調べる\n"
    "CSV の 1 行目は見出し「停留所名,整理券番号,1,2,…,150」、以降 1 行が 1 停留所です。\n"
    "足りない列は 0 とみなします。\n";

void say(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8());
    device.write("\n");
}

// The records that the file holds, as the program would read them, and how many are whole.
struct FileContents {
    qint16 count = 0;
    std::vector<hy3::Record> records;
    int completeRecords = 0;
    bool truncated = false;
};

FileContents readFile(QIODevice& in)
{
    FileContents contents;
    contents.count = hy3::readCount(in);
    for (int i = 0; i < contents.count; ++i) {
        hy3::Record record;
        const hy3::ReadStatus status = hy3::readRecord(in, record);
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
        .arg(path)
        .arg(contents.count)
        .arg(contents.completeRecords);
}

// Opens the file; on failure reports the reason and returns nullptr.
std::unique_ptr<QFile> openOrReport(const QString& path, QIODevice& err)
{
    try {
        return hy3::openExisting(path);
    } catch (const platform::RuntimeError& error) {
        say(err, QStringLiteral("%1: %2").arg(path, error.description()));
        return nullptr;
    }
}

int toCsv(const QString& path, QIODevice& out, QIODevice& err)
{
    const auto file = openOrReport(path, err);
    if (!file)
        return 1;
    FileContents contents;
    try {
        contents = readFile(*file);
    } catch (const platform::RuntimeError& error) {
        say(err, QStringLiteral("%1: %2").arg(path, error.description()));
        return 1;
    }
    if (contents.count < 0)
        say(err, QStringLiteral("%1: 警告: 件数が負の値 (%2) です。停留所は出力しません。")
                     .arg(path)
                     .arg(contents.count));
    if (contents.truncated)
        say(err, truncationWarning(path, contents));
    if (contents.count > hy3::MaxRows)
        say(err,
            QStringLiteral("%1: 警告: 停留所が %2 件を超えているため、プログラムでは使えません。")
                .arg(path)
                .arg(hy3::MaxRows));
    int line = 2;
    for (const hy3::Record& record : contents.records) {
        if (platform::toCp932(platform::fromCp932(record.name)) != record.name)
            say(err, QStringLiteral("%1: 警告: %2行目の停留所名には Shift-JIS として読めないか"
                                    "別の形に戻るバイトがあり、CSV から同じバイトには戻りません。")
                         .arg(path)
                         .arg(line));
        ++line;
    }
    out.write(hy3::toCsv(contents.records));
    return 0;
}

int fromCsv(const QString& csvPath, const QString& outPath, QIODevice& out, QIODevice& err)
{
    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly)) {
        say(err, QStringLiteral("%1: 読めません (%2)").arg(csvPath, csv.errorString()));
        return 1;
    }
    const hy3::CsvResult result = hy3::fromCsv(csv.readAll());
    if (!result.errors.empty()) {
        for (const hy3::CsvError& error : result.errors)
            say(err, QStringLiteral("%1:%2").arg(csvPath, error.text()));
        say(err, QStringLiteral("%1 は書き込みませんでした。").arg(outPath));
        return 1;
    }
    // Written beside the target and renamed over it, so a failure leaves the old file intact.
    QSaveFile file(outPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(hy3::encode(result.records)) < 0 ||
        !file.commit()) {
        say(err, QStringLiteral("%1: 書き込めません (%2)").arg(outPath, file.errorString()));
        return 1;
    }
    if (result.records.empty())
        say(err, QStringLiteral(
                     "%1: 警告: 停留所が 0 件です。プログラムはこの系統を未登録とみなします。")
                     .arg(outPath));
    say(out, QStringLiteral("%1: 停留所 %2 件を書き込みました。")
                 .arg(outPath)
                 .arg(result.records.size()));
    return 0;
}

int check(const QString& path, QIODevice& out)
{
    std::unique_ptr<QFile> file;
    FileContents contents;
    try {
        file = hy3::openExisting(path);
        contents = readFile(*file);
    } catch (const platform::RuntimeError& error) {
        say(out, error.number() == platform::ErrorNumber::FileNotFound ? hy3::messageNoFile()
                                                                       : error.description());
        return 1;
    }
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

} // namespace

int runHy3Tool(const QStringList& args, QIODevice& out, QIODevice& err)
{
    const QString command = args.value(0);
    if (command == QLatin1String("to-csv") && args.size() == 2)
        return toCsv(args[1], out, err);
    if (command == QLatin1String("from-csv") && args.size() == 3)
        return fromCsv(args[1], args[2], out, err);
    if (command == QLatin1String("check") && args.size() == 2)
        return check(args[1], out);
    if (args.size() == 1 &&
        (command == QLatin1String("--help") || command == QLatin1String("-h"))) {
        out.write(Usage);
        return 0;
    }
    err.write(Usage);
    return 2;
}
