#include "formats/hy3file.h"
#include "operation/faredata.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace
{

using platform::MessageBoxRecorder;
namespace ErrorNumber = platform::ErrorNumber;

hy3::Record stop(const QString& name, int ticketNo, std::initializer_list<int> columns = {})
{
    hy3::Record record;
    record.name = platform::toCp932(name);
    record.ticketNo = qint16(ticketNo);
    int i = 0;
    for (int value : columns)
        record.columns[i++] = qint16(value);
    return record;
}

std::vector<hy3::Record> stops(int count)
{
    std::vector<hy3::Record> records;
    for (int i = 1; i <= count; ++i)
        records.push_back(stop(QStringLiteral("停留所%1").arg(i), i, {i * 10, -1, 32767}));
    return records;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size());
}

class FareDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        clearFareTable();
        route() = RouteState{};
    }

    QString folder() const { return dir.path(); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writeRoute(const QString& routeNo, const std::vector<hy3::Record>& records)
    {
        writeFile(routeNo + QStringLiteral(".hy3"), hy3::encode(records));
    }

    bool load(const QString& routeText, const QString& sectionText, const QString& in)
    {
        route().routeText = routeText;
        route().routeNo = routeNoFromText(routeText);
        route().section = normaliseSection(sectionText);
        return loadFareFile(in);
    }

    bool load(const QString& routeText, const QString& sectionText)
    {
        return load(routeText, sectionText, folder());
    }

    // A loaded route 7 of six stops, the state the failures below must leave alone.
    void loadPreviousRoute()
    {
        writeRoute(QStringLiteral("7"), stops(6));
        ASSERT_TRUE(load(QStringLiteral("7"), QStringLiteral("3")));
        messages.clear();
    }

    void expectPreviousRouteKept()
    {
        EXPECT_EQ(fareRow(6).stopName, QStringLiteral("停留所6"));
        EXPECT_EQ(fareRow(7).stopName, QString());
        EXPECT_EQ(route().stopIndex, 2);
        EXPECT_EQ(lastUsableRow(), 6) << "stepping goes by the route still shown";
    }

    void expectOneMessage(const QString& text)
    {
        ASSERT_EQ(messages.calls().size(), 1u);
        EXPECT_EQ(messages.calls()[0].prompt, text);
        EXPECT_EQ(messages.calls()[0].buttons, platform::MessageBox::OKOnly);
    }

    QTemporaryDir dir;
    MessageBoxRecorder messages;
};

TEST_F(FareDataTest, LoadsTheRouteIntoTheTable)
{
    writeRoute(QStringLiteral("1"), {stop(QStringLiteral("駅前"), 1, {0, 0}),
                                     stop(QStringLiteral("市役所前"), 2, {170, -1}),
                                     stop(QStringLiteral("中央公園"), 3, {180, 170})});
    ASSERT_TRUE(load(QStringLiteral("1"), QStringLiteral("2")));
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(route().recordCount, 3);
    EXPECT_EQ(route().stopIndex, 1);
    EXPECT_EQ(fareRow(2).stopName, QStringLiteral("市役所前"));
    EXPECT_EQ(fareRow(2).ticketNo, 2);
    EXPECT_EQ(fareRow(2).column(1), 170);
    EXPECT_EQ(fareRow(2).column(2), -1);
    EXPECT_EQ(fareRow(3).column(150), 0);
    EXPECT_EQ(fareRow(4).stopName, QString());
    EXPECT_EQ(lastUsableRow(), 3);
}

TEST_F(FareDataTest, FolderWithOrWithoutSlashAndTheWorkingFolder)
{
    writeRoute(QStringLiteral("1"), stops(3));
    EXPECT_TRUE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + u'/'));
    EXPECT_TRUE(load(QStringLiteral("1"), QStringLiteral("1"), folder()));

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
    const bool fromWorkingFolder = load(QStringLiteral("1"), QStringLiteral("1"), QString());
    QDir::setCurrent(previous);
    EXPECT_TRUE(fromWorkingFolder);
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(FareDataTest, CountFiveAcceptsSectionsOneToFour)
{
    writeRoute(QStringLiteral("5"), stops(5));
    for (int section = 1; section <= 4; ++section) {
        EXPECT_TRUE(load(QStringLiteral("5"), QString::number(section))) << section;
        EXPECT_EQ(route().stopIndex, section - 1);
    }
    EXPECT_TRUE(messages.calls().empty());

    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("5")));
    expectOneMessage(QStringLiteral("指定した区間はデータの数よりも多いです...\r\n"
                                    "  解決法：正しい区間を入力して下さい."));
    EXPECT_EQ(route().stopIndex, 3); // unchanged by the refused section
    EXPECT_EQ(route().section, 5);
}

TEST_F(FareDataTest, CountOneOrNegativeRefusesEverySection)
{
    loadPreviousRoute();
    writeRoute(QStringLiteral("1"), stops(1));
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1")));
    EXPECT_EQ(route().recordCount, 1);
    expectPreviousRouteKept();

    messages.clear();
    writeFile(QStringLiteral("2.hy3"), QByteArray("\xFF\xFF", 2) + hy3::encode(stops(3)).mid(2));
    EXPECT_FALSE(load(QStringLiteral("2"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した区間はデータの数よりも多いです...\r\n"
                                    "  解決法：正しい区間を入力して下さい."));
    EXPECT_EQ(route().recordCount, -1);
    expectPreviousRouteKept();
}

TEST_F(FareDataTest, ZeroLengthFileHasNoRecords)
{
    loadPreviousRoute();
    writeFile(QStringLiteral("3.hy3"), QByteArray());
    EXPECT_FALSE(load(QStringLiteral("3"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります..."));
    EXPECT_EQ(route().recordCount, 0);
    expectPreviousRouteKept();
}

TEST_F(FareDataTest, MissingFileIsReportedAndNotCreated)
{
    loadPreviousRoute();
    const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_FALSE(load(QStringLiteral("99"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(route().recordCount, 6);
    expectPreviousRouteKept();
}

TEST_F(FareDataTest, MissingFolderShowsThePathError)
{
    const QString missing = folder() + QStringLiteral("/nowhere");
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), missing));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathNotFound));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(FareDataTest, FolderInPlaceOfTheFileShowsTheAccessError)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("4.hy3")));
    EXPECT_FALSE(load(QStringLiteral("4"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
}

TEST_F(FareDataTest, PipeOrDeviceInPlaceOfTheFileShowsTheAccessErrorWithoutBlocking)
{
    loadPreviousRoute();
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("4.hy3"))).constData(), 0600),
              0);
    EXPECT_FALSE(load(QStringLiteral("4"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
    messages.clear();

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("5.hy3"))));
    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
    expectPreviousRouteKept();
}

TEST_F(FareDataTest, OddFolderNamesMeetTheMissingFolderMessage)
{
    // Whatever the user typed as the folder, the answer is one message, never a crash.
    const QStringList typed = {QStringLiteral("\"quoted\""), QStringLiteral("two\nlines"),
                               QString(1000, u'x'), QStringLiteral("運賃😀データ"),
                               QStringLiteral("a") + QChar(0) + QStringLiteral("b")};
    for (const QString& name : typed) {
        messages.clear();
        EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + u'/' + name));
        ASSERT_EQ(messages.calls().size(), 1u);
        EXPECT_FALSE(messages.calls()[0].prompt.isEmpty());
    }
    // A NUL would cut the name short and open another file: the name itself is refused.
    EXPECT_EQ(messages.calls()[0].prompt, platform::errorDescription(ErrorNumber::BadFileName));
}

TEST_F(FareDataTest, WindowsNamesDifferingInCaseAreFoundTheExactOneFirst)
{
    writeFile(QStringLiteral("12.HY3"),
              hy3::encode({stop(QStringLiteral("大文字"), 1), stop(QStringLiteral("終点"), 2)}));
    writeFile(QStringLiteral("12.Hy3"),
              hy3::encode({stop(QStringLiteral("混在"), 1), stop(QStringLiteral("終点"), 2)}));
    ASSERT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));
    EXPECT_EQ(fareRow(1).stopName, QStringLiteral("大文字")); // "12.HY3" sorts before "12.Hy3"

    writeRoute(QStringLiteral("12"), {stop(QStringLiteral("そのまま"), 1), stop(QString(), 2)});
    ASSERT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));
    EXPECT_EQ(fareRow(1).stopName, QStringLiteral("そのまま"));
    EXPECT_TRUE(messages.calls().empty());
}

TEST_F(FareDataTest, EveryMessageNamesTheFileTriedInItsDetails)
{
    const QString missing = dir.filePath(QStringLiteral("99.hy3"));
    EXPECT_FALSE(load(QStringLiteral("99"), QStringLiteral("1")));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].prompt, QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_TRUE(messages.calls()[0].details.startsWith(QStringLiteral("ファイル: ") + missing))
        << messages.calls()[0].details.toStdString();

    // (A) and (B) name the file actually read, whatever its letter case.
    messages.clear();
    writeFile(QStringLiteral("3.HY3"), QByteArray());
    EXPECT_FALSE(load(QStringLiteral("3"), QStringLiteral("1")));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].details,
              QStringLiteral("ファイル: ") + dir.filePath(QStringLiteral("3.HY3")));

    messages.clear();
    writeRoute(QStringLiteral("5"), stops(5));
    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("9")));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].details,
              QStringLiteral("ファイル: ") + dir.filePath(QStringLiteral("5.hy3")));

    // (D): the error's own text, and the path in the details.
    messages.clear();
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + QStringLiteral("/x")));
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].prompt, platform::errorDescription(ErrorNumber::PathNotFound));
    EXPECT_EQ(messages.calls()[0].details,
              QStringLiteral("ファイル: ") + folder() + QStringLiteral("/x/1.hy3"));
}

TEST_F(FareDataTest, AFileThatIsNoFareDataKeepsItsMessageAndSaysWhyInTheDetails)
{
    loadPreviousRoute();
    const QString detailsStart =
        QStringLiteral("ファイル: ") + dir.filePath(QStringLiteral("12.hy3"));
    // A spreadsheet's CSV saved under the fare file's name: its first bytes read as a negative
    // count, which the program answers with the section message.
    writeFile(QStringLiteral("12.hy3"),
              QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n本町,2,170\r\n").toUtf8());
    EXPECT_FALSE(load(QStringLiteral("12"), QStringLiteral("1")));
    expectOneMessage(hy3::messageSectionTooLarge());
    EXPECT_EQ(messages.calls()[0].details,
              detailsStart +
                  QStringLiteral("\n運賃データ (*.hy3) ではなく、テキストファイル (UTF-8) "
                                 "です。CSV から運賃データを作るには hy3tool from-csv "
                                 "を使います"));
    expectPreviousRouteKept();

    // An ASCII header reads as a count far over 301: the error's own description.
    messages.clear();
    writeFile(QStringLiteral("12.hy3"), QByteArray("name,no,1\r\nstation,1,0\r\n"));
    EXPECT_FALSE(load(QStringLiteral("12"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::SubscriptOutOfRange));
    EXPECT_TRUE(messages.calls()[0].details.endsWith(
        QStringLiteral("テキストファイル (ASCII) です。CSV から運賃データを作るには hy3tool "
                       "from-csv を使います")))
        << messages.calls()[0].details.toStdString();
}

TEST_F(FareDataTest, AnEmptyFolderSettingSaysItLookedInTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
    const bool loaded = load(QStringLiteral("42"), QStringLiteral("1"), QString());
    QDir::setCurrent(previous);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(messages.calls().size(), 1u);
    const QString details = messages.calls()[0].details;
    EXPECT_TRUE(details.contains(QDir(folder()).canonicalPath() + QStringLiteral("/42.hy3")) ||
                details.contains(folder() + QStringLiteral("/42.hy3")))
        << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("作業フォルダー")));
}

TEST_F(FareDataTest, MoreThan301RecordsKeepsTheFirst301)
{
    writeRoute(QStringLiteral("8"), stops(302));
    EXPECT_FALSE(load(QStringLiteral("8"), QStringLiteral("10")));
    expectOneMessage(platform::errorDescription(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(route().recordCount, 302);
    EXPECT_EQ(route().stopIndex, 9);
    EXPECT_EQ(fareRow(1).stopName, QStringLiteral("停留所1"));
    EXPECT_EQ(fareRow(301).stopName, QStringLiteral("停留所301"));
    EXPECT_EQ(fareRow(301).column(1), 3010);
    EXPECT_EQ(lastUsableRow(), 301);
}

TEST_F(FareDataTest, RouteTextNamesTheFile)
{
    writeRoute(QStringLiteral("12"), stops(4));
    EXPECT_TRUE(load(QStringLiteral("00012"), QStringLiteral("1")));
    EXPECT_EQ(route().routeText, QStringLiteral("00012"));
    EXPECT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));

    writeRoute(QStringLiteral("0"), stops(2));
    EXPECT_TRUE(load(QString(), QStringLiteral("1")));
    EXPECT_EQ(route().recordCount, 2);
    EXPECT_TRUE(messages.calls().empty());

    EXPECT_EQ(routeNoFromText(QStringLiteral("00000")), QStringLiteral("0"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("120")), QStringLiteral("120"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("../12")), QStringLiteral("0"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("12/../x")), QStringLiteral("12"));
}

TEST_F(FareDataTest, SectionIsKeptWithinOneTo300)
{
    EXPECT_EQ(normaliseSection(QStringLiteral("000")), 1);
    EXPECT_EQ(normaliseSection(QStringLiteral("0")), 1);
    EXPECT_EQ(normaliseSection(QString()), 1);
    EXPECT_EQ(normaliseSection(QStringLiteral("007")), 7);
    EXPECT_EQ(normaliseSection(QStringLiteral("300")), 300);
    EXPECT_EQ(normaliseSection(QStringLiteral("999")), 300);
    EXPECT_EQ(normaliseSection(QStringLiteral("99999")), 300); // no 16-bit overflow
    EXPECT_EQ(normaliseSection(QStringLiteral("2.5")), 2);     // halves round to even
    EXPECT_EQ(normaliseSection(QStringLiteral("-4")), 1);
}

TEST_F(FareDataTest, ShorterRouteAfterLongerLeavesEmptyRows)
{
    writeRoute(QStringLiteral("1"), stops(10));
    ASSERT_TRUE(load(QStringLiteral("1"), QStringLiteral("1")));
    writeRoute(QStringLiteral("2"),
               {stop(QStringLiteral("甲"), 5, {1}), stop(QStringLiteral("乙"), 6)});
    ASSERT_TRUE(load(QStringLiteral("2"), QStringLiteral("1")));
    EXPECT_EQ(fareRow(2).stopName, QStringLiteral("乙"));
    for (int row : {3, 10, 301}) {
        EXPECT_EQ(fareRow(row).stopName, QString()) << row;
        EXPECT_EQ(fareRow(row).ticketNo, 0) << row;
        EXPECT_EQ(fareRow(row).column(1), 0) << row;
        EXPECT_EQ(fareRow(row).column(3), 0) << row;
    }
}

TEST_F(FareDataTest, TruncatedFileLoadsWithEmptyRows)
{
    const QByteArray whole = hy3::encode(stops(5));
    const int recordBytes =
        hy3::FixedRecordBytes + platform::cp932Length(QStringLiteral("停留所1"));
    // Two whole records, then the third cut inside its data columns.
    writeFile(QStringLiteral("6.hy3"), whole.left(2 + 2 * recordBytes + 30));
    ASSERT_TRUE(load(QStringLiteral("6"), QStringLiteral("1")));
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(route().recordCount, 5);
    EXPECT_EQ(fareRow(2).stopName, QStringLiteral("停留所2"));
    EXPECT_EQ(fareRow(3).stopName, QStringLiteral("停留所3")); // its name was complete
    EXPECT_EQ(fareRow(3).ticketNo, 3);
    EXPECT_EQ(fareRow(3).column(1), 30); // whole columns before the cut are kept
    EXPECT_EQ(fareRow(3).column(10), 0);
    EXPECT_EQ(fareRow(4).stopName, QString());
    EXPECT_EQ(fareRow(5).ticketNo, 0);

    // A count and nothing else, and a count cut in half.
    writeFile(QStringLiteral("6.hy3"), QByteArray("\x03\x00", 2));
    EXPECT_TRUE(load(QStringLiteral("6"), QStringLiteral("1")));
    writeFile(QStringLiteral("6.hy3"), QByteArray("\x03", 1));
    EXPECT_FALSE(load(QStringLiteral("6"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります..."));
}

TEST_F(FareDataTest, FileIsClosedOnEveryPath)
{
    writeRoute(QStringLiteral("1"), stops(5));
    writeRoute(QStringLiteral("2"), stops(1));
    writeRoute(QStringLiteral("3"), stops(302));
    writeFile(QStringLiteral("4.hy3"), QByteArray());
    const int before = openDescriptors();
    load(QStringLiteral("1"), QStringLiteral("2"));
    load(QStringLiteral("2"), QStringLiteral("1"));
    load(QStringLiteral("3"), QStringLiteral("1"));
    load(QStringLiteral("4"), QStringLiteral("1"));
    load(QStringLiteral("5"), QStringLiteral("1"));
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(messages.calls().size(), 4u);
}

TEST_F(FareDataTest, SetFareCellChecksRowCellAndValue)
{
    setFareCell(301, 1, QStringLiteral("終点"));
    setFareCell(301, 2, 7);
    setFareCell(301, 152, -32768);
    setFareCell(301, 3, QStringLiteral(" 120 "));
    setFareCell(1, 1, 42);
    EXPECT_EQ(fareRow(301).stopName, QStringLiteral("終点"));
    EXPECT_EQ(fareRow(301).ticketNo, 7);
    EXPECT_EQ(fareRow(301).column(150), -32768);
    EXPECT_EQ(fareRow(301).column(1), 120);
    EXPECT_EQ(fareRow(1).stopName, QStringLiteral("42"));

    auto errorOf = [](auto&& call) {
        try {
            call();
        } catch (const platform::RuntimeError& error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf([] { setFareCell(0, 1, 1); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { setFareCell(302, 1, 1); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { setFareCell(1, 0, 1); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { setFareCell(1, 153, 1); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { setFareCell(1, 3, 32768); }), ErrorNumber::Overflow);
    EXPECT_EQ(errorOf([] { setFareCell(1, 2, QStringLiteral("abc")); }), ErrorNumber::TypeMismatch);
    EXPECT_EQ(errorOf([] { fareRow(0); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([] { fareRow(1).column(151); }), ErrorNumber::SubscriptOutOfRange);

    clearFareTable();
    EXPECT_EQ(fareRow(301).stopName, QString());
    EXPECT_EQ(fareRow(301).column(150), 0);
}

TEST_F(FareDataTest, UnsetSectionStartsAtTheFirstStop)
{
    writeRoute(QStringLiteral("1"), stops(3));
    route().routeNo = QStringLiteral("1");
    route().section = 0;
    route().stopIndex = 2;
    ASSERT_TRUE(loadFareFile(folder()));
    EXPECT_EQ(route().stopIndex, 0);
}

TEST_F(FareDataTest, RowHelpersStayInsideTheTable)
{
    EXPECT_EQ(clampRow(0), 1);
    EXPECT_EQ(clampRow(302), 301);
    EXPECT_EQ(clampRow(5), 5);
    route().loadedRows = 32767;
    EXPECT_EQ(lastUsableRow(), 301);
    route().loadedRows = -5;
    EXPECT_EQ(lastUsableRow(), 0);
    route().loadedRows = 4;
    clearFareTable();
    EXPECT_EQ(lastUsableRow(), 0);
}

} // namespace
