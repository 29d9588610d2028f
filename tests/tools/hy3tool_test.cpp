#include "hy3commands.h"

#include "formats/hy3csv.h"
#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/version.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace
{

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
    QByteArray outBytes;
};

// Runs the tool in-process; `input` is what standard input holds.
ToolRun hy3tool(const QStringList& args, const QByteArray& input = QByteArray())
{
    QBuffer in;
    QBuffer out;
    QBuffer err;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ToolRun run;
    run.status = runHy3Tool(args, in, out, err);
    run.outBytes = out.data();
    run.out = QString::fromUtf8(out.data());
    run.err = QString::fromUtf8(err.data());
    return run;
}

class Hy3ToolTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static std::vector<hy3::Record> stops(int count)
    {
        std::vector<hy3::Record> records(count);
        for (int i = 0; i < count; ++i) {
            records[i].name = platform::toCp932(QStringLiteral("停留所%1").arg(i + 1));
            records[i].ticketNo = qint16(i + 1);
            records[i].columns[0] = qint16(170 + 10 * i);
        }
        return records;
    }

    QTemporaryDir dir;
};

TEST_F(Hy3ToolTest, RoundTripGivesTheSameBytes)
{
    std::vector<hy3::Record> records = stops(3);
    records[1].name = platform::toCp932(QStringLiteral("市役所前, \"本庁舎\"\r\n東口"));
    records[2].name.clear();
    records[2].columns[149] = -32768;
    const QByteArray original = hy3::encode(records).value();
    write(QStringLiteral("1.hy3"), original);

    const ToolRun csv = hy3tool({QStringLiteral("to-csv"), path(QStringLiteral("1.hy3"))});
    ASSERT_EQ(csv.status, 0);
    EXPECT_TRUE(csv.err.isEmpty()) << csv.err.toStdString();
    write(QStringLiteral("1.csv"), csv.out.toUtf8());

    const ToolRun back = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("1.csv")),
                                  path(QStringLiteral("copy.hy3"))});
    ASSERT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_EQ(read(QStringLiteral("copy.hy3")), original);
}

TEST_F(Hy3ToolTest, ErrorLeavesTheOutputUntouched)
{
    write(QStringLiteral("out.hy3"), QByteArray("old contents"));
    write(QStringLiteral("bad.csv"),
          QStringLiteral("停留所名,整理券番号,1\n駅前,1,170\n本町,2,70000\n").toUtf8());
    const ToolRun run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("bad.csv")),
                                 path(QStringLiteral("out.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("bad.csv:3行目 3列目: 「70000」は")))
        << run.err.toStdString();
    EXPECT_EQ(read(QStringLiteral("out.hy3")), QByteArray("old contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left

    const ToolRun missing = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("none.csv")),
                                     path(QStringLiteral("out.hy3"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(read(QStringLiteral("out.hy3")), QByteArray("old contents"));

    const ToolRun unwritable = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("bad.csv")),
                                        path(QStringLiteral("no/such/folder.hy3"))});
    EXPECT_EQ(unwritable.status, 1);
}

TEST_F(Hy3ToolTest, CheckSaysWhetherTheProgramCanUseTheFile)
{
    write(QStringLiteral("5.hy3"), hy3::encode(stops(5)).value());
    ToolRun run = hy3tool({QStringLiteral("check"), path(QStringLiteral("5.hy3"))});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("停留所 5 件。区間は 1〜4 を指定できます。")))
        << run.out.toStdString();

    write(QStringLiteral("cut.hy3"), hy3::encode(stops(5)).value().left(200));
    run = hy3tool({QStringLiteral("check"), path(QStringLiteral("cut.hy3"))});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("欠けずに揃った停留所が 0 件しか")));

    write(QStringLiteral("1.hy3"), hy3::encode(stops(1)).value());
    run = hy3tool({QStringLiteral("check"), path(QStringLiteral("1.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(QStringLiteral("指定した区間はデータの数よりも多いです...")));

    write(QStringLiteral("0.hy3"), QByteArray());
    run = hy3tool({QStringLiteral("check"), path(QStringLiteral("0.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(hy3::messageNoRecords()));

    write(QStringLiteral("302.hy3"), hy3::encode(stops(302)).value());
    run = hy3tool({QStringLiteral("check"), path(QStringLiteral("302.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(QStringLiteral("インデックスが有効範囲にありません。")));

    run = hy3tool({QStringLiteral("check"), path(QStringLiteral("none.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.contains(hy3::messageNoFile()));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("none.hy3"))));
}

TEST_F(Hy3ToolTest, ToCsvWarnsAboutWhatWillNotConvertBack)
{
    std::vector<hy3::Record> records = stops(2);
    records[1].name = QByteArray("\x82", 1); // a lead byte without its second half
    QByteArray bytes = hy3::encode(records).value();
    bytes[0] = 3; // promises a third record that is not there
    write(QStringLiteral("odd.hy3"), bytes);
    const ToolRun run = hy3tool({QStringLiteral("to-csv"), path(QStringLiteral("odd.hy3"))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.count(u'\n'), 3); // header and the two records present
    EXPECT_TRUE(run.err.contains(QStringLiteral("3行目の停留所名")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("件数は 3 件")));
}

TEST_F(Hy3ToolTest, ADashReadsStandardInputAndWritesStandardOutput)
{
    const QByteArray fareFile = hy3::encode(stops(3)).value();
    const ToolRun csv = hy3tool({QStringLiteral("to-csv"), QStringLiteral("-")}, fareFile);
    ASSERT_EQ(csv.status, 0) << csv.err.toStdString();
    EXPECT_TRUE(csv.out.startsWith(hy3::csvHeader()));

    const ToolRun back = hy3tool(
        {QStringLiteral("from-csv"), QStringLiteral("-"), QStringLiteral("-")}, csv.outBytes);
    ASSERT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_EQ(back.outBytes, fareFile); // only the data on standard output
    EXPECT_TRUE(back.err.contains(QStringLiteral("停留所 3 件を書き込みました")));

    const ToolRun toFile = hy3tool(
        {QStringLiteral("to-csv"), QStringLiteral("-"), path(QStringLiteral("3.csv"))}, fareFile);
    EXPECT_EQ(toFile.status, 0);
    EXPECT_TRUE(toFile.out.isEmpty());
    EXPECT_EQ(read(QStringLiteral("3.csv")), csv.outBytes);

    const ToolRun checked = hy3tool({QStringLiteral("check"), QStringLiteral("-")}, fareFile);
    EXPECT_EQ(checked.status, 0);
    EXPECT_TRUE(checked.out.contains(QStringLiteral("区間は 1〜2")));
}

TEST_F(Hy3ToolTest, FromCsvReadsShiftJisAndSaysSo)
{
    write(QStringLiteral("sjis.csv"),
          platform::toCp932(QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,170\r\n"
                                           ",,\r\n本町,2,180\r\n,,\r\n")));
    const ToolRun run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("sjis.csv")),
                                 path(QStringLiteral("2.hy3"))});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("停留所 2 件を書き込みました（CSV は "
                                                "Shift-JIS (CP932) として読みました）")))
        << run.out.toStdString();
    EXPECT_EQ(run.err.trimmed(),
              path(QStringLiteral("sjis.csv")) +
                  QStringLiteral(": 警告: 空の行を読み飛ばしました（3, 5行目）"));
    std::vector<hy3::Record> expected = stops(2);
    expected[0].name = platform::toCp932(QStringLiteral("駅前"));
    expected[1].name = platform::toCp932(QStringLiteral("本町"));
    expected[1].columns[0] = 180;
    EXPECT_EQ(read(QStringLiteral("2.hy3")), hy3::encode(expected).value());
}

TEST_F(Hy3ToolTest, FromCsvNamesTheWrongHeaderAndTheMissingTicketNumber)
{
    write(QStringLiteral("bad.csv"), QByteArray("name,no,1\n"));
    ToolRun run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("bad.csv")),
                           path(QStringLiteral("x.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith(path(QStringLiteral("bad.csv")) +
                                   QStringLiteral(":1行目 1列目: 見出しが正しくありません。")))
        << run.err.toStdString();

    write(QStringLiteral("name.csv"),
          QStringLiteral("停留所名,整理券番号\n駅前,1\n本町\n").toUtf8());
    run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("name.csv")),
                   path(QStringLiteral("x.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral(":3行目 2列目: 停留所名があるのに整理券番号がありません")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x.hy3"))));
}

TEST_F(Hy3ToolTest, CheckTapeListsTheAnnouncementsAndTheEncoding)
{
    write(QStringLiteral("12tp.csv"),
          QStringLiteral("\"次は、市役所前です。\",1,2\n案内,0,0\n").toUtf8());
    ToolRun run = hy3tool({QStringLiteral("check-tape"), path(QStringLiteral("12tp.csv"))});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], path(QStringLiteral("12tp.csv")) + QStringLiteral(": UTF-8、放送 2 件"));
    EXPECT_EQ(lines[2], QStringLiteral("   1     1   2  次は、市役所前です。"));
    EXPECT_EQ(lines[3], QStringLiteral("   2     0   0  案内"));
    EXPECT_TRUE(run.err.isEmpty());

    // A line short of a field: named, with what it lacks, though the reader only stumbled on
    // the next line's text.
    run = hy3tool({QStringLiteral("check-tape"), QStringLiteral("-")},
                  platform::toCp932(QStringLiteral("一,0\n二,0,0\n")));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("(標準入力):1行目: 音フラグがありません（各行は「放送の文,"
                             "送りフラグ,音フラグ」の 3 項目です）（このままではプログラムで"
                             "放送が使えません）\n"));

    run = hy3tool({QStringLiteral("check-tape"), QStringLiteral("-")},
                  platform::toCp932(QStringLiteral("一,0,0\n二,0,3\n")));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("(標準入力): Shift-JIS (CP932)、放送 2 件\n")));
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("   2     0   3  二\n")));

    run = hy3tool({QStringLiteral("check-tape"), path(QStringLiteral("none.csv"))});
    EXPECT_EQ(run.status, 1);
}

TEST_F(Hy3ToolTest, CheckTapeShowsWhatIsSpokenUnderALineWithReadings)
{
    const ToolRun run =
        hy3tool({QStringLiteral("check-tape"), QStringLiteral("-")},
                platform::toCp932(QStringLiteral("\"次は、富岸《とんけし》です。\",1,2\n"
                                                 "｜母恋駅《ぼこいえき》前,0,0\n"
                                                 "富岸《とんけし,0,0\n")));
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.section(u'\n', 2),
              QStringLiteral("   1     1   2  次は、富岸です。\n"
                             "                読み: 次は、とんけしです。\n"
                             "   2     0   0  母恋駅前\n"
                             "                読み: ぼこいえき前\n"
                             "   3     0   0  富岸《とんけし\n"));
}

TEST_F(Hy3ToolTest, CheckTapeNamesUtf16AndRefusesWhatIsTooLarge)
{
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    ToolRun run = hy3tool({QStringLiteral("check-tape"), QStringLiteral("-")},
                          "\xFF\xFE" + QByteArray(utf16.encode(QStringLiteral("案内,0,0\r\n"))));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.err.startsWith(QStringLiteral("(標準入力): UTF-16 LE のテキストは読めません。")))
        << run.err.toStdString();

    const QByteArray line("\"annai\",0,0\r\n");
    QByteArray big;
    while (big.size() <= 1 << 20)
        big += line;
    write(QStringLiteral("big.csv"), big);
    run = hy3tool({QStringLiteral("check-tape"), path(QStringLiteral("big.csv"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              path(QStringLiteral("big.csv")) +
                  QStringLiteral(": ファイルが大きすぎます（%1 バイト。放送用データは "
                                 "1048576 バイト (1 MiB) までです）（このままではプログラムで"
                                 "放送が使えません）\n")
                      .arg(big.size()));
    run = hy3tool({QStringLiteral("check-tape"), QStringLiteral("-")}, big);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.err.startsWith(QStringLiteral("(標準入力): ファイルが大きすぎます（放送用データは")));
}

TEST_F(Hy3ToolTest, AFileThatIsNoFareDataIsNamedAsSuch)
{
    const QString csv = QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n本町,2,170\r\n");
    write(QStringLiteral("12.hy3"), platform::toCp932(csv));
    ToolRun run = hy3tool({QStringLiteral("check"), path(QStringLiteral("12.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              QStringLiteral("運賃データ (*.hy3) ではなく、テキストファイル (Shift-JIS (CP932)) "
                             "です。CSV から運賃データを作るには hy3tool from-csv を使います\n"));

    run = hy3tool({QStringLiteral("to-csv"), path(QStringLiteral("12.hy3"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(
        run.err.startsWith(path(QStringLiteral("12.hy3")) +
                           QStringLiteral(": 運賃データ (*.hy3) ではなく、テキストファイル")))
        << run.err.toStdString();
}

TEST_F(Hy3ToolTest, FromCsvWarnsOfARowShortOfFaresAndNamesUtf16Once)
{
    write(QStringLiteral("short.csv"),
          QStringLiteral("停留所名,整理券番号,1,2,3\n駅前,1\n本町,2,170\n県庁前,4,240,210\n")
              .toUtf8());
    ToolRun run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("short.csv")),
                           path(QStringLiteral("4.hy3"))});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, path(QStringLiteral("short.csv")) +
                           QStringLiteral(":4行目: 警告: 整理券番号 4 の停留所なのに運賃が 2 個しか"
                                          "ありません（それより前の整理券の運賃が 3 個いります）。"
                                          "足りない分は 0 になります\n"));

    QStringEncoder utf16(QStringEncoder::Utf16LE);
    write(QStringLiteral("notepad.csv"),
          "\xFF\xFE" +
              QByteArray(utf16.encode(QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n"))));
    run = hy3tool({QStringLiteral("from-csv"), path(QStringLiteral("notepad.csv")),
                   path(QStringLiteral("5.hy3"))});
    EXPECT_EQ(run.status, 1);
    const QStringList lines = run.err.trimmed().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(path(QStringLiteral("notepad.csv")) +
                                    QStringLiteral(": UTF-16 LE のテキストは読めません。")));
    EXPECT_EQ(lines[1],
              path(QStringLiteral("5.hy3")) + QStringLiteral(" は書き込みませんでした。"));
}

TEST_F(Hy3ToolTest, CheckPluginGivesTheParsersLineAndReason)
{
    const QByteArray plugin("4SP-TICKET-PLUGIN 1\n[Info]\nPreviewWidth=1500\nPreviewHeight=750\n"
                            "[Field]\nField=TicketNo\nRect=0,0,1500,750\n");
    write(QStringLiteral("ok.4SP"), plugin);
    ToolRun run = hy3tool({QStringLiteral("check-plugin"), path(QStringLiteral("ok.4SP"))});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("整理券プラグインとして使えます（ASCII、1500×750 twips")))
        << run.out.toStdString();

    QByteArray broken = plugin;
    broken.replace("Rect=0,0,1500,750", "Rect=0,0,1600,750");
    write(QStringLiteral("wide.4SP"), broken);
    run = hy3tool({QStringLiteral("check-plugin"), path(QStringLiteral("wide.4SP"))});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.trimmed(), path(QStringLiteral("wide.4SP")) +
                                     QStringLiteral(":7行目: Rect reaches beyond the paper"));
    EXPECT_TRUE(run.out.isEmpty());

    run = hy3tool({QStringLiteral("check-plugin"), QStringLiteral("-")}, broken);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("(標準入力):7行目:")));
}

TEST_F(Hy3ToolTest, WrongArgumentsShowTheUsage)
{
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("to-csv")},
          QStringList{QStringLiteral("from-csv"), QStringLiteral("a.csv")},
          QStringList{QStringLiteral("convert"), QStringLiteral("a"), QStringLiteral("b")}}) {
        const ToolRun run = hy3tool(args);
        EXPECT_EQ(run.status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("使い方:")));
    }
    EXPECT_EQ(hy3tool({QStringLiteral("--help")}).status, 0);
    EXPECT_EQ(hy3tool({QStringLiteral("check-plugin")}).status, 2);
    const ToolRun version = hy3tool({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out,
              QStringLiteral("hy3tool (ファレット) %1\n").arg(QLatin1String(platform::Version)));
}

TEST_F(Hy3ToolTest, TheProgramReportsThroughItsExitStatus)
{
    write(QStringLiteral("5.hy3"), hy3::encode(stops(5)).value());
    QProcess process;
    process.start(QStringLiteral(HY3TOOL_PATH),
                  {QStringLiteral("check"), path(QStringLiteral("5.hy3"))});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(
        QString::fromUtf8(process.readAllStandardOutput()).contains(QStringLiteral("1〜4")));

    process.start(QStringLiteral(HY3TOOL_PATH), {QStringLiteral("bogus")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);

    process.start(QStringLiteral(HY3TOOL_PATH),
                  {QStringLiteral("check"), path(QStringLiteral("missing.hy3"))});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);

    // Standard input, and the reason on standard error.
    process.start(QStringLiteral(HY3TOOL_PATH),
                  {QStringLiteral("check-plugin"), QStringLiteral("-")});
    ASSERT_TRUE(process.waitForStarted(10000));
    process.write("4SP-TICKET-PLUGIN 2\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
              QStringLiteral("(標準入力):1行目: format version 2 is not supported\n"));
}

// A pipe hands its bytes over a chunk at a time, and a single read stops at the first.
class Pipe : public QIODevice
{
public:
    explicit Pipe(const QByteArray& data) : data_(data) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* to, qint64 size) override
    {
        const qint64 chunk = std::min<qint64>({size, 4096, data_.size() - at_});
        std::copy_n(data_.constData() + at_, chunk, to);
        at_ += chunk;
        return chunk;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data_;
    qint64 at_ = 0;
};

TEST_F(Hy3ToolTest, CheckPluginReadsAWholePipe)
{
    const QByteArray plugin("4SP-TICKET-PLUGIN 1\n[Info]\nPreviewWidth=1500\nPreviewHeight=750\n"
                            "[Field]\nField=TicketNo\nRect=0,0,1500,750\n");
    const auto check = [](const QByteArray& input) {
        Pipe in(input);
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int status =
            runHy3Tool({QStringLiteral("check-plugin"), QStringLiteral("-")}, in, out, err);
        return std::pair{status, QString::fromUtf8(err.data())};
    };
    // 200 KB of remarks after a valid plug-in: whole, and with a fault on its last line.
    QByteArray remarks;
    while (remarks.size() < 200 * 1024)
        remarks += "; 注釈は何行あってもかまいません。\n";
    auto [status, err] = check(plugin + remarks);
    EXPECT_EQ(status, 0) << err.toStdString();
    std::tie(status, err) = check(plugin + remarks + "[Info]\n");
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(err.endsWith(QStringLiteral("行目: this section is given twice\n")))
        << err.toStdString();
    // More than the limit is refused, however valid its start.
    std::tie(status, err) = check(plugin + remarks.repeated(10));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, QStringLiteral("(標準入力): the file is larger than 1048576 bytes\n"));
}

// ---- open-data bus feeds ---------------------------------------------------------------

TEST_F(Hy3ToolTest, GtfsListShowsEveryPatternOfTheSampleFeed)
{
    const ToolRun run = hy3tool({QStringLiteral("gtfs-list"), QStringLiteral(GTFS_SAMPLE_ZIP)});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1],
              QStringLiteral("   1  1 港北駅前～緑ヶ丘団地, 市役所経由  港北駅前 → 緑ヶ丘団地  "
                             "停留所 6  便 2"));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral("緑ヶ丘団地 → 港北駅前  停留所 6  便 2")));

    write(QStringLiteral("feed.zip"), QByteArray("no zip"));
    const ToolRun broken = hy3tool({QStringLiteral("gtfs-list"), path(QStringLiteral("feed.zip"))});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.err.startsWith(path(QStringLiteral("feed.zip")) + QStringLiteral(": zip")))
        << broken.err.toStdString();
}

TEST_F(Hy3ToolTest, FromGtfsWritesTheFareAndBroadcastData)
{
    const ToolRun run =
        hy3tool({QStringLiteral("from-gtfs"), QStringLiteral(GTFS_SAMPLE_DIR),
                 QStringLiteral("--route"), QStringLiteral("07"), QStringLiteral("--out"),
                 dir.path(), QStringLiteral("--pattern"), QStringLiteral("3")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains(QStringLiteral("   5       4  市役所前（しやくしょまえ）  乗車なし")))
        << run.out.toStdString();
    const hy3::CsvResult fares =
        hy3::fromCsv(hy3tool({QStringLiteral("to-csv"), path(QStringLiteral("7.hy3"))}).outBytes);
    ASSERT_EQ(fares.records.size(), 6u);
    // The route's own rule (250) for the whole way; the last stop keeps ticket 4.
    EXPECT_EQ(fares.records[5].ticketNo, 4);
    EXPECT_EQ(fares.records[5].columns[0], 250);
    EXPECT_EQ(fares.records[2].columns[1], 220);
    const ToolRun tape = hy3tool({QStringLiteral("check-tape"), path(QStringLiteral("7tp.csv"))});
    ASSERT_EQ(tape.status, 0) << tape.err.toStdString();
    EXPECT_TRUE(tape.out.contains(QStringLiteral("Shift-JIS (CP932)、放送 5 件")));
    // The name is shown and its reading spoken.
    EXPECT_TRUE(tape.out.contains(
        QStringLiteral("   5     1   3  次は、終点、港北駅前です。\n"
                       "                読み: 次は、終点、こうほくえきまえです。")))
        << tape.out.toStdString();
}

TEST_F(Hy3ToolTest, FromGtfsRefusesWrongArgumentsAndPatterns)
{
    const QString feed = QStringLiteral(GTFS_SAMPLE_DIR);
    const auto run = [&](const QStringList& args) {
        return hy3tool(QStringList{QStringLiteral("from-gtfs")} + args);
    };
    EXPECT_EQ(run({feed, QStringLiteral("--pattern"), QStringLiteral("1")}).status, 2);
    EXPECT_EQ(run({feed, QStringLiteral("--pattern"), QStringLiteral("1"),
                   QStringLiteral("--route"), QStringLiteral("123456")})
                  .status,
              2);
    EXPECT_EQ(run({feed, QStringLiteral("--pattern"), QStringLiteral("1"),
                   QStringLiteral("--route"), QStringLiteral("1"), QStringLiteral("--bogus")})
                  .status,
              2);
    const ToolRun unknown =
        run({feed, QStringLiteral("--pattern"), QStringLiteral("9"), QStringLiteral("--route"),
             QStringLiteral("1"), QStringLiteral("--out"), dir.path()});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("系統パターン「9」はありません（1〜3")))
        << unknown.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

} // namespace
