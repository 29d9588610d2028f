#include "formats/hy3csv.h"
#include "platform/cp932.h"

#include <QStringEncoder>
#include <QStringList>

#include <gtest/gtest.h>

namespace
{

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

hy3::Record named(const QString& name, int ticketNo = 0)
{
    hy3::Record record;
    record.name = platform::toCp932(name);
    record.ticketNo = qint16(ticketNo);
    return record;
}

// The one error of a CSV text, as "<line>行目 <column>列目: ...".
QString onlyError(const QString& csv)
{
    const hy3::CsvResult result = hy3::fromCsv(utf8(csv));
    if (result.errors.size() != 1)
        return QStringLiteral("%1 errors").arg(result.errors.size());
    return result.errors[0].text();
}

TEST(Hy3Csv, WritesAHeaderAndQuotesOnlyWhereNeeded)
{
    hy3::Record plain = named(QStringLiteral("駅前"), 1);
    plain.columns[0] = 170;
    plain.columns[149] = -1;
    const hy3::Record awkward = named(QStringLiteral("A,\"B\"\r\nC"), 2);
    const QString csv = QString::fromUtf8(hy3::toCsv({plain, awkward}));
    const QStringList lines = csv.split(u'\n');
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("停留所名,整理券番号,1,2,3,")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(",149,150")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("駅前,1,170,0,")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",0,-1")));
    EXPECT_EQ(lines[1].count(u','), 151);
    EXPECT_TRUE(csv.contains(QStringLiteral("\"A,\"\"B\"\"\r\nC\",2,0")));
}

TEST(Hy3Csv, ReadsBackWhatItWrote)
{
    hy3::Record first = named(QStringLiteral("A,\"B\"\r\nC"), -7);
    first.columns[0] = 32767;
    first.columns[149] = -32768;
    // A zero byte inside a name is no sign of a binary file.
    hy3::Record zero;
    zero.name = QByteArray("A\0B", 3);
    const std::vector<hy3::Record> records{first, named(QString()), named(QStringLiteral(" 空白 ")),
                                           zero};
    const hy3::CsvResult result = hy3::fromCsv(hy3::toCsv(records));
    ASSERT_TRUE(result.errors.empty()) << result.errors[0].text().toStdString();
    EXPECT_EQ(result.records, records);
}

TEST(Hy3Csv, AcceptsWhatSpreadsheetsWrite)
{
    const QByteArray bom("\xEF\xBB\xBF");
    const hy3::CsvResult result = hy3::fromCsv(
        bom + utf8(QStringLiteral(
                  "停留所名,整理券番号,1,2\r\n駅前,1\r\n\r\n市役所前, 2 ,170, 0 ,+5,,,\r\n")));
    ASSERT_TRUE(result.errors.empty());
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0], named(QStringLiteral("駅前"), 1));
    EXPECT_EQ(result.records[1].name, platform::toCp932(QStringLiteral("市役所前")));
    EXPECT_EQ(result.records[1].ticketNo, 2);
    EXPECT_EQ(result.records[1].columns[0], 170);
    EXPECT_EQ(result.records[1].columns[1], 0);
    EXPECT_EQ(result.records[1].columns[2], 5);

    EXPECT_EQ(result.skippedLines, std::vector<int>{3});

    // Without a header every line is a stop; a last line without a line end counts.
    const hy3::CsvResult bare = hy3::fromCsv(utf8(QStringLiteral("駅前,1\n本町,2")));
    ASSERT_TRUE(bare.errors.empty());
    EXPECT_EQ(bare.records.size(), 2u);
}

TEST(Hy3Csv, ShiftJisFromASpreadsheetKeepsItsBytes)
{
    // "纊" has two Shift-JIS forms (ED40 and FA5C); the file's own form goes into the fare file.
    const QByteArray csv =
        platform::toCp932(QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,170\r\n")) +
        QByteArray("\xED\x40,2,180\r\n");
    const hy3::CsvResult result = hy3::fromCsv(csv);
    ASSERT_TRUE(result.errors.empty()) << result.errors[0].text().toStdString();
    EXPECT_EQ(result.encoding, platform::TextEncoding::Cp932);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[0].name, platform::toCp932(QStringLiteral("駅前")));
    EXPECT_EQ(result.records[1].name, QByteArray("\xED\x40"));
    EXPECT_EQ(result.records[1].columns[0], 180);

    EXPECT_EQ(hy3::fromCsv(utf8(QStringLiteral("駅前,1\n"))).encoding,
              platform::TextEncoding::Utf8);
    EXPECT_EQ(hy3::fromCsv("\xEF\xBB\xBF" + utf8(QStringLiteral("駅前,1\n"))).encoding,
              platform::TextEncoding::Utf8WithBom);
}

TEST(Hy3Csv, AWrongHeaderIsReportedAsSuch)
{
    const QString expected = QStringLiteral("（見出しは「停留所名,整理券番号,1,2,…,150」）");
    EXPECT_EQ(onlyError(QStringLiteral("name,no,1\n駅前,1,170\n")),
              QStringLiteral(
                  "1行目 1列目: 見出しが正しくありません。「name」のところは「停留所名」です") +
                  expected);
    EXPECT_EQ(onlyError(QStringLiteral("停留所名,整理券番号,1,3\n駅前,1,170\n")),
              QStringLiteral("1行目 4列目: 見出しが正しくありません。「3」のところは「2」です") +
                  expected);
    // A header may stop early or end in empty cells.
    EXPECT_TRUE(
        hy3::fromCsv(utf8(QStringLiteral("停留所名,整理券番号,1,,\n駅前,1,170\n"))).errors.empty());
    QString wide = hy3::csvHeader() + QStringLiteral(",151\n");
    EXPECT_EQ(onlyError(wide),
              QStringLiteral(
                  "1行目 153列目: 見出しが正しくありません。「151」のところは「（なし）」です") +
                  expected);
}

TEST(Hy3Csv, EmptyRowsAreSkippedAndNamedAndANameNeedsItsTicketNumber)
{
    const hy3::CsvResult result = hy3::fromCsv(utf8(
        QStringLiteral("停留所名,整理券番号,1\n駅前,1,170\n,,\n\n\"\", ,\n本町,2,180\n,,,\n")));
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.skippedLines, (std::vector<int>{3, 4, 5, 7}));

    EXPECT_EQ(onlyError(QStringLiteral("駅前,1\n本町\n")),
              QStringLiteral("2行目 2列目: 停留所名があるのに整理券番号がありません"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1\n本町,,170\n")),
              QStringLiteral("2行目 2列目: 停留所名があるのに整理券番号がありません"));
    // A stop without a name is a stop all the same.
    EXPECT_TRUE(hy3::fromCsv(utf8(QStringLiteral("駅前,1\n,2,170\n"))).errors.empty());
}

TEST(Hy3Csv, ErrorsNameLineAndColumn)
{
    EXPECT_EQ(onlyError(QStringLiteral("停留所名\n駅前,1,170\n本町,2,180,32768\n")),
              QStringLiteral("3行目 4列目: 「32768」は -32768〜32767 の範囲を外れています"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1,-32769\n")),
              QStringLiteral("1行目 3列目: 「-32769」は -32768〜32767 の範囲を外れています"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1,99999999999999999999\n")),
              QStringLiteral(
                  "1行目 3列目: 「99999999999999999999」は -32768〜32767 の範囲を外れています"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1\n本町,一\n")),
              QStringLiteral("2行目 2列目: 「一」は整数ではありません"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1\n\"複数\n行\",2,1.5\n")),
              QStringLiteral("3行目 3列目: 「1.5」は整数ではありません"));
    EXPECT_EQ(
        onlyError(QStringLiteral("駅前,1\n𠮷野家前,2\n")),
        QStringLiteral("2行目 1列目: 「𠮷」(U+20BB7) は Shift-JIS (CP932) で表せない文字です"));
    EXPECT_EQ(onlyError(QStringLiteral("駅前,1,\"2\n")),
              QStringLiteral("1行目 3列目: 引用符 \" が閉じられないままファイルが終わっています"));
    EXPECT_EQ(
        onlyError(QStringLiteral("駅\"前,1\n")),
        QStringLiteral(
            "1行目 1列目: 引用符 \" を含む欄は全体を \" で囲み、\" は \"\" と書いてください"));
    EXPECT_EQ(onlyError(QStringLiteral("\"駅\"前,1\n")),
              QStringLiteral("1行目 1列目: 閉じた引用符 \" の後に , か改行以外の文字があります"));

    QString tooWide = QStringLiteral("駅前,1") + QString(151, u',') + QStringLiteral("1\n");
    EXPECT_EQ(
        onlyError(tooWide),
        QStringLiteral(
            "1行目 153列目: 列が多すぎます（停留所名、整理券番号、データ 150 列の計 152 列まで）"));
    EXPECT_TRUE(
        hy3::fromCsv(utf8(QStringLiteral("駅前,1") + QString(160, u',') + u'\n')).errors.empty());

    const QString longName(hy3::MaxNameBytes / 2 + 1, QChar(0x99C5)); // 駅, two bytes each
    EXPECT_EQ(
        onlyError(longName + QStringLiteral(",1\n")),
        QStringLiteral(
            "1行目 1列目: 停留所名が長すぎます（Shift-JIS で 65536 バイト、65535 バイトまで）"));

    // After a byte-order mark the file must be UTF-8; without one, Shift-JIS is the fallback.
    const QByteArray badUtf8("\xEF\xBB\xBF\xE9\xA7\x2C\x31\x0A", 8);
    EXPECT_EQ(hy3::fromCsv(badUtf8).errors.at(0).text(),
              QStringLiteral("1行目 1列目: UTF-8 として読めないバイトがあります"));
    const QByteArray badBoth("\x82\x2C\x31\x0A", 4);
    EXPECT_EQ(hy3::fromCsv(badBoth).errors.at(0).text(),
              QStringLiteral("1行目 1列目: Shift-JIS (CP932) として読めないバイトがあります"));
}

TEST(Hy3Csv, AFareLeftOutBetweenOthersIsAnError)
{
    // The 240 of ticket 2 forgotten: 210 would stand in ticket 3's column either way.
    EXPECT_EQ(onlyError(QStringLiteral("停留所名,整理券番号,1,2,3\n駅前,1\n本町,2,170\n"
                                       "県庁前,4,260, ,210\n")),
              QStringLiteral("4行目 4列目: 運賃が空欄です。この後の運賃が別の整理券番号の列に"
                             "ずれていないか確かめてください（0 なら 0 と書きます）"));
    // Empty cells after the fares, or beyond the twelve fare columns, are no fares left out.
    QString wide = QStringLiteral("駅前,1,0,0,0,0,0,0,0,0,0,0,0,0");
    wide += QString(138, u',') + QStringLiteral("2\n");
    const hy3::CsvResult result = hy3::fromCsv(utf8(QStringLiteral("本町,2,170,,,\n") + wide));
    EXPECT_TRUE(result.errors.empty()) << result.errors[0].text().toStdString();
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records[1].columns[149], 2);
}

TEST(Hy3Csv, ARowShortOfItsFaresIsAWarningNamingTheLine)
{
    // "Delete cells, shift left" in a spreadsheet: the fares of tickets 2 and 3 moved to 1 and 2.
    const hy3::CsvResult result = hy3::fromCsv(utf8(QStringLiteral(
        "停留所名,整理券番号,1,2,3\n駅前,1\n本町,2,170\n県庁前,4,240,210\n終点,4,260,0,0\n")));
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(result.records.size(), 4u);
    ASSERT_EQ(result.warnings.size(), 1u);
    EXPECT_EQ(result.warnings[0].text(),
              QStringLiteral("4行目: 整理券番号 4 の停留所なのに運賃が 2 個しかありません（それより"
                             "前の整理券の運賃が 3 個いります）。足りない分は 0 になります"));
    // The twelve fare elements show at most twelve fares, whatever the ticket number.
    const QString twelve = QStringLiteral(",1,1,1,1,1,1,1,1,1,1,1,1");
    EXPECT_TRUE(hy3::fromCsv(utf8(QStringLiteral("遠く,40") + twelve)).warnings.empty());
    EXPECT_EQ(hy3::fromCsv(utf8(QStringLiteral("遠く,40") + twelve.chopped(2))).warnings.size(),
              1u);
}

TEST(Hy3Csv, Utf16AndBinaryFilesAreOneErrorEach)
{
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray notepad =
        "\xFF\xFE" +
        QByteArray(utf16.encode(QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n")));
    const hy3::CsvResult result = hy3::fromCsv(notepad);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(result.errors[0].line, 0);
    EXPECT_TRUE(
        result.errors[0].text().startsWith(QStringLiteral("UTF-16 LE のテキストは読めません")))
        << result.errors[0].text().toStdString();
    EXPECT_TRUE(result.records.empty());

    hy3::Record stop = named(QStringLiteral("駅前"), 1);
    const hy3::CsvResult binary = hy3::fromCsv(hy3::encode({stop}).value());
    ASSERT_EQ(binary.errors.size(), 1u);
    EXPECT_TRUE(binary.errors[0].text().startsWith(QStringLiteral("CSV ではありません")));
}

TEST(Hy3Csv, AtMost301Stops)
{
    QString csv = hy3::csvHeader() + u'\n';
    for (int i = 1; i <= 301; ++i)
        csv += QStringLiteral("停留所%1,%1\n").arg(i);
    const hy3::CsvResult full = hy3::fromCsv(utf8(csv));
    EXPECT_TRUE(full.errors.empty());
    EXPECT_EQ(full.records.size(), 301u);

    csv += QStringLiteral("停留所302,302\n");
    EXPECT_EQ(onlyError(csv),
              QStringLiteral("303行目 1列目: 停留所が 301 件を超えています（この行が 302 件目）"));
}

TEST(Hy3Csv, ReportsEveryProblemAtOnce)
{
    const hy3::CsvResult result =
        hy3::fromCsv(utf8(QStringLiteral("駅前,1\n本町,x\n本町,1,40000\n市役所,1,2,y\n")));
    ASSERT_EQ(result.errors.size(), 3u);
    EXPECT_EQ(result.errors[0].line, 2);
    EXPECT_EQ(result.errors[1].line, 3);
    EXPECT_EQ(result.errors[2].column, 4);
}

} // namespace
