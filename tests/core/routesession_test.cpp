#include "core/routesession.h"
#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace
{

using namespace core;
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

// A refused load as the user is told of it: the message box's text and its details.
struct Refusal {
    RouteLoadErrorKind kind;
    QString prompt;
    QString details;
    QString file;
};

class RouteSessionTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString folder() const { return dir.path(); }

    void writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void writeRoute(const QString& routeNo, const std::vector<hy3::Record>& records)
    {
        writeFile(routeNo + QStringLiteral(".hy3"), hy3::encode(records).value());
    }

    bool load(const QString& routeText, const QString& sectionText, const QString& in)
    {
        session.enterRoute(routeText, sectionText);
        const std::optional<RouteLoadError> error = session.loadFareData(in);
        if (error)
            refusals.push_back(
                {error->kind, routeLoadMessage(*error), error->details, error->file});
        return !error;
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
        refusals.clear();
    }

    void expectPreviousRouteKept()
    {
        EXPECT_EQ(session.row(6).stopName, QStringLiteral("停留所6"));
        EXPECT_EQ(session.row(7).stopName, QString());
        EXPECT_EQ(session.stopIndex(), 2);
        EXPECT_EQ(session.lastUsableRow(), 6) << "stepping goes by the route still shown";
    }

    void expectOneMessage(const QString& text)
    {
        ASSERT_EQ(refusals.size(), 1u);
        EXPECT_EQ(refusals[0].prompt, text);
    }

    QTemporaryDir dir;
    RouteSession session;
    std::vector<Refusal> refusals;
};

TEST_F(RouteSessionTest, LoadsTheRouteIntoTheTable)
{
    writeRoute(QStringLiteral("1"), {stop(QStringLiteral("駅前"), 1, {0, 0}),
                                     stop(QStringLiteral("市役所前"), 2, {170, -1}),
                                     stop(QStringLiteral("中央公園"), 3, {180, 170})});
    ASSERT_TRUE(load(QStringLiteral("1"), QStringLiteral("2")));
    EXPECT_TRUE(refusals.empty());
    EXPECT_EQ(session.recordCount(), 3);
    EXPECT_EQ(session.stopIndex(), 1);
    EXPECT_EQ(session.row(2).stopName, QStringLiteral("市役所前"));
    EXPECT_EQ(session.row(2).ticketNo, 2);
    EXPECT_EQ(session.row(2).column(1), 170);
    EXPECT_EQ(session.row(2).column(2), -1);
    EXPECT_EQ(session.row(3).column(150), 0);
    EXPECT_EQ(session.row(4).stopName, QString());
    EXPECT_EQ(session.lastUsableRow(), 3);
}

TEST_F(RouteSessionTest, FolderWithOrWithoutSlashAndTheWorkingFolder)
{
    writeRoute(QStringLiteral("1"), stops(3));
    EXPECT_TRUE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + u'/'));
    EXPECT_TRUE(load(QStringLiteral("1"), QStringLiteral("1"), folder()));

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
    const bool fromWorkingFolder = load(QStringLiteral("1"), QStringLiteral("1"), QString());
    QDir::setCurrent(previous);
    EXPECT_TRUE(fromWorkingFolder);
    EXPECT_TRUE(refusals.empty());
}

TEST_F(RouteSessionTest, CountFiveAcceptsSectionsOneToFour)
{
    writeRoute(QStringLiteral("5"), stops(5));
    for (int section = 1; section <= 4; ++section) {
        EXPECT_TRUE(load(QStringLiteral("5"), QString::number(section))) << section;
        EXPECT_EQ(session.stopIndex(), section - 1);
    }
    EXPECT_TRUE(refusals.empty());

    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("5")));
    expectOneMessage(QStringLiteral("指定した区間はデータの数よりも多いです...\r\n"
                                    "  解決法：正しい区間を入力して下さい."));
    EXPECT_EQ(session.stopIndex(), 3); // unchanged by the refused section
    EXPECT_EQ(session.section(), 5);
}

TEST_F(RouteSessionTest, CountOneOrNegativeRefusesEverySection)
{
    loadPreviousRoute();
    writeRoute(QStringLiteral("1"), stops(1));
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1")));
    EXPECT_EQ(session.recordCount(), 1);
    expectPreviousRouteKept();

    refusals.clear();
    writeFile(QStringLiteral("2.hy3"),
              QByteArray("\xFF\xFF", 2) + hy3::encode(stops(3)).value().mid(2));
    EXPECT_FALSE(load(QStringLiteral("2"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した区間はデータの数よりも多いです...\r\n"
                                    "  解決法：正しい区間を入力して下さい."));
    EXPECT_EQ(session.recordCount(), -1);
    expectPreviousRouteKept();
}

TEST_F(RouteSessionTest, ZeroLengthFileHasNoRecords)
{
    loadPreviousRoute();
    writeFile(QStringLiteral("3.hy3"), QByteArray());
    EXPECT_FALSE(load(QStringLiteral("3"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります..."));
    EXPECT_EQ(session.recordCount(), 0);
    expectPreviousRouteKept();
}

TEST_F(RouteSessionTest, MissingFileIsReportedAndNotCreated)
{
    loadPreviousRoute();
    const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_FALSE(load(QStringLiteral("99"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(session.recordCount(), 6);
    expectPreviousRouteKept();
}

TEST_F(RouteSessionTest, MissingFolderShowsThePathError)
{
    const QString missing = folder() + QStringLiteral("/nowhere");
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), missing));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathNotFound));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(RouteSessionTest, FolderInPlaceOfTheFileShowsTheAccessError)
{
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("4.hy3")));
    EXPECT_FALSE(load(QStringLiteral("4"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
}

TEST_F(RouteSessionTest, PipeOrDeviceInPlaceOfTheFileShowsTheAccessErrorWithoutBlocking)
{
    loadPreviousRoute();
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("4.hy3"))).constData(), 0600),
              0);
    EXPECT_FALSE(load(QStringLiteral("4"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
    refusals.clear();

    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("5.hy3"))));
    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::PathFileAccess));
    expectPreviousRouteKept();
}

TEST_F(RouteSessionTest, OddFolderNamesMeetTheMissingFolderMessage)
{
    // Whatever the user typed as the folder, the answer is one message, never a crash.
    const QStringList typed = {QStringLiteral("\"quoted\""), QStringLiteral("two\nlines"),
                               QString(1000, u'x'), QStringLiteral("運賃😀データ"),
                               QStringLiteral("a") + QChar(0) + QStringLiteral("b")};
    for (const QString& name : typed) {
        refusals.clear();
        EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + u'/' + name));
        ASSERT_EQ(refusals.size(), 1u);
        EXPECT_FALSE(refusals[0].prompt.isEmpty());
    }
    // A NUL would cut the name short and open another file: the name itself is refused.
    EXPECT_EQ(refusals[0].prompt, platform::errorDescription(ErrorNumber::BadFileName));
}

TEST_F(RouteSessionTest, WindowsNamesDifferingInCaseAreFoundTheExactOneFirst)
{
    writeFile(
        QStringLiteral("12.HY3"),
        hy3::encode({stop(QStringLiteral("大文字"), 1), stop(QStringLiteral("終点"), 2)}).value());
    writeFile(
        QStringLiteral("12.Hy3"),
        hy3::encode({stop(QStringLiteral("混在"), 1), stop(QStringLiteral("終点"), 2)}).value());
    ASSERT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));
    EXPECT_EQ(session.row(1).stopName, QStringLiteral("大文字")); // "12.HY3" sorts before "12.Hy3"

    writeRoute(QStringLiteral("12"), {stop(QStringLiteral("そのまま"), 1), stop(QString(), 2)});
    ASSERT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));
    EXPECT_EQ(session.row(1).stopName, QStringLiteral("そのまま"));
    EXPECT_TRUE(refusals.empty());
}

TEST_F(RouteSessionTest, EveryMessageNamesTheFileTriedInItsDetails)
{
    const QString missing = dir.filePath(QStringLiteral("99.hy3"));
    EXPECT_FALSE(load(QStringLiteral("99"), QStringLiteral("1")));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].prompt, QStringLiteral("指定した系統のデータがありません..."));
    EXPECT_TRUE(refusals[0].details.startsWith(QStringLiteral("ファイル: ") + missing))
        << refusals[0].details.toStdString();

    // (A) and (B) name the file actually read, whatever its letter case.
    refusals.clear();
    writeFile(QStringLiteral("3.HY3"), QByteArray());
    EXPECT_FALSE(load(QStringLiteral("3"), QStringLiteral("1")));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].details,
              QStringLiteral("ファイル: ") + dir.filePath(QStringLiteral("3.HY3")));

    refusals.clear();
    writeRoute(QStringLiteral("5"), stops(5));
    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("9")));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].details,
              QStringLiteral("ファイル: ") + dir.filePath(QStringLiteral("5.hy3")));

    // (D): the error's own text, and the path in the details.
    refusals.clear();
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + QStringLiteral("/x")));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].prompt, platform::errorDescription(ErrorNumber::PathNotFound));
    EXPECT_EQ(refusals[0].details,
              QStringLiteral("ファイル: ") + folder() + QStringLiteral("/x/1.hy3"));
}

TEST_F(RouteSessionTest, AFileThatIsNoFareDataKeepsItsMessageAndSaysWhyInTheDetails)
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
    EXPECT_EQ(refusals[0].details,
              detailsStart +
                  QStringLiteral("\n運賃データ (*.hy3) ではなく、テキストファイル (UTF-8) "
                                 "です。CSV から運賃データを作るには hy3tool from-csv "
                                 "を使います"));
    expectPreviousRouteKept();

    // An ASCII header reads as a count far over 301: the error's own description.
    refusals.clear();
    writeFile(QStringLiteral("12.hy3"), QByteArray("name,no,1\r\nstation,1,0\r\n"));
    EXPECT_FALSE(load(QStringLiteral("12"), QStringLiteral("1")));
    expectOneMessage(platform::errorDescription(ErrorNumber::SubscriptOutOfRange));
    EXPECT_TRUE(refusals[0].details.endsWith(
        QStringLiteral("テキストファイル (ASCII) です。CSV から運賃データを作るには hy3tool "
                       "from-csv を使います")))
        << refusals[0].details.toStdString();
}

TEST_F(RouteSessionTest, AnEmptyFolderSettingSaysItLookedInTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder()));
    const bool loaded = load(QStringLiteral("42"), QStringLiteral("1"), QString());
    QDir::setCurrent(previous);
    EXPECT_FALSE(loaded);
    ASSERT_EQ(refusals.size(), 1u);
    const QString details = refusals[0].details;
    EXPECT_TRUE(details.contains(QDir(folder()).canonicalPath() + QStringLiteral("/42.hy3")) ||
                details.contains(folder() + QStringLiteral("/42.hy3")))
        << details.toStdString();
    EXPECT_TRUE(details.contains(QStringLiteral("作業フォルダー")));
}

TEST_F(RouteSessionTest, MoreThan301RecordsKeepsTheFirst301)
{
    writeRoute(QStringLiteral("8"), stops(302));
    EXPECT_FALSE(load(QStringLiteral("8"), QStringLiteral("10")));
    expectOneMessage(platform::errorDescription(ErrorNumber::SubscriptOutOfRange));
    EXPECT_EQ(session.recordCount(), 302);
    EXPECT_EQ(session.stopIndex(), 9);
    EXPECT_EQ(session.row(1).stopName, QStringLiteral("停留所1"));
    EXPECT_EQ(session.row(301).stopName, QStringLiteral("停留所301"));
    EXPECT_EQ(session.row(301).column(1), 3010);
    EXPECT_EQ(session.lastUsableRow(), 301);
}

TEST_F(RouteSessionTest, RouteTextNamesTheFile)
{
    writeRoute(QStringLiteral("12"), stops(4));
    EXPECT_TRUE(load(QStringLiteral("00012"), QStringLiteral("1")));
    EXPECT_EQ(session.routeText(), QStringLiteral("00012"));
    EXPECT_TRUE(load(QStringLiteral("12"), QStringLiteral("1")));

    writeRoute(QStringLiteral("0"), stops(2));
    EXPECT_TRUE(load(QString(), QStringLiteral("1")));
    EXPECT_EQ(session.recordCount(), 2);
    EXPECT_TRUE(refusals.empty());

    EXPECT_EQ(routeNoFromText(QStringLiteral("00000")), QStringLiteral("0"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("120")), QStringLiteral("120"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("../12")), QStringLiteral("0"));
    EXPECT_EQ(routeNoFromText(QStringLiteral("12/../x")), QStringLiteral("12"));
}

TEST_F(RouteSessionTest, SectionIsKeptWithinOneTo300)
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

TEST_F(RouteSessionTest, ShorterRouteAfterLongerLeavesEmptyRows)
{
    writeRoute(QStringLiteral("1"), stops(10));
    ASSERT_TRUE(load(QStringLiteral("1"), QStringLiteral("1")));
    writeRoute(QStringLiteral("2"),
               {stop(QStringLiteral("甲"), 5, {1}), stop(QStringLiteral("乙"), 6)});
    ASSERT_TRUE(load(QStringLiteral("2"), QStringLiteral("1")));
    EXPECT_EQ(session.row(2).stopName, QStringLiteral("乙"));
    for (int row : {3, 10, 301}) {
        EXPECT_EQ(session.row(row).stopName, QString()) << row;
        EXPECT_EQ(session.row(row).ticketNo, 0) << row;
        EXPECT_EQ(session.row(row).column(1), 0) << row;
        EXPECT_EQ(session.row(row).column(3), 0) << row;
    }
}

TEST_F(RouteSessionTest, TruncatedFileLoadsWithEmptyRows)
{
    const QByteArray whole = hy3::encode(stops(5)).value();
    const int recordBytes =
        hy3::FixedRecordBytes + platform::cp932Length(QStringLiteral("停留所1"));
    // Two whole records, then the third cut inside its data columns.
    writeFile(QStringLiteral("6.hy3"), whole.left(2 + 2 * recordBytes + 30));
    ASSERT_TRUE(load(QStringLiteral("6"), QStringLiteral("1")));
    EXPECT_TRUE(refusals.empty());
    EXPECT_EQ(session.recordCount(), 5);
    EXPECT_EQ(session.row(2).stopName, QStringLiteral("停留所2"));
    EXPECT_EQ(session.row(3).stopName, QStringLiteral("停留所3")); // its name was complete
    EXPECT_EQ(session.row(3).ticketNo, 3);
    EXPECT_EQ(session.row(3).column(1), 30); // whole columns before the cut are kept
    EXPECT_EQ(session.row(3).column(10), 0);
    EXPECT_EQ(session.row(4).stopName, QString());
    EXPECT_EQ(session.row(5).ticketNo, 0);

    // A count and nothing else, and a count cut in half.
    writeFile(QStringLiteral("6.hy3"), QByteArray("\x03\x00", 2));
    EXPECT_TRUE(load(QStringLiteral("6"), QStringLiteral("1")));
    writeFile(QStringLiteral("6.hy3"), QByteArray("\x03", 1));
    EXPECT_FALSE(load(QStringLiteral("6"), QStringLiteral("1")));
    expectOneMessage(QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります..."));
}

TEST_F(RouteSessionTest, FileIsClosedOnEveryPath)
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
    EXPECT_EQ(refusals.size(), 4u);
}

TEST_F(RouteSessionTest, SetFareCellChecksRowCellAndValue)
{
    EXPECT_EQ(session.setFareCell(301, 1, QStringLiteral("終点")), std::nullopt);
    EXPECT_EQ(session.setFareCell(301, 2, 7), std::nullopt);
    EXPECT_EQ(session.setFareCell(301, 152, -32768), std::nullopt);
    EXPECT_EQ(session.setFareCell(301, 3, QStringLiteral(" 120 ")), std::nullopt);
    EXPECT_EQ(session.setFareCell(1, 1, 42), std::nullopt);
    EXPECT_EQ(session.row(301).stopName, QStringLiteral("終点"));
    EXPECT_EQ(session.row(301).ticketNo, 7);
    EXPECT_EQ(session.row(301).column(150), -32768);
    EXPECT_EQ(session.row(301).column(1), 120);
    EXPECT_EQ(session.row(1).stopName, QStringLiteral("42"));

    // A bad cell is an error value, and nothing is stored.
    EXPECT_EQ(session.setFareCell(0, 1, 1), FareCellError::SubscriptOutOfRange);
    EXPECT_EQ(session.setFareCell(302, 1, 1), FareCellError::SubscriptOutOfRange);
    EXPECT_EQ(session.setFareCell(1, 0, 1), FareCellError::SubscriptOutOfRange);
    EXPECT_EQ(session.setFareCell(1, 153, 1), FareCellError::SubscriptOutOfRange);
    EXPECT_EQ(session.setFareCell(1, 3, 32768), FareCellError::Overflow);
    EXPECT_EQ(session.setFareCell(1, 3, QStringLiteral("40000")), FareCellError::Overflow);
    EXPECT_EQ(session.setFareCell(1, 2, QStringLiteral("abc")), FareCellError::TypeMismatch);
    EXPECT_EQ(session.row(1).column(1), 0);
    EXPECT_EQ(session.row(1).ticketNo, 0);
    EXPECT_EQ(int(FareCellError::Overflow), ErrorNumber::Overflow);
    EXPECT_EQ(int(FareCellError::SubscriptOutOfRange), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(int(FareCellError::TypeMismatch), ErrorNumber::TypeMismatch);

    // Reading outside the table is the caller's fault, raised as before.
    auto errorOf = [](auto&& call) {
        try {
            call();
        } catch (const platform::RuntimeError& error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf([this] { session.row(0); }), ErrorNumber::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([this] { session.row(1).column(151); }), ErrorNumber::SubscriptOutOfRange);

    session.clearTable();
    EXPECT_EQ(session.row(301).stopName, QString());
    EXPECT_EQ(session.row(301).column(150), 0);
}

TEST_F(RouteSessionTest, UnsetSectionStartsAtTheFirstStop)
{
    // No route entered yet: section 0 and route "0".
    writeRoute(QStringLiteral("0"), stops(3));
    ASSERT_EQ(session.section(), 0);
    ASSERT_EQ(session.loadFareData(folder()), std::nullopt);
    EXPECT_EQ(session.stopIndex(), 0);
}

TEST_F(RouteSessionTest, RowHelpersStayInsideTheTable)
{
    EXPECT_EQ(clampRow(0), 1);
    EXPECT_EQ(clampRow(302), 301);
    EXPECT_EQ(clampRow(5), 5);
    EXPECT_EQ(session.lastUsableRow(), 0);
    EXPECT_EQ(session.currentRow(), 1) << "an empty table still has a row to show";
    writeRoute(QStringLiteral("4"), stops(4));
    ASSERT_TRUE(load(QStringLiteral("4"), QStringLiteral("1")));
    EXPECT_EQ(session.lastUsableRow(), 4);
    session.clearTable();
    EXPECT_EQ(session.lastUsableRow(), 0);
}

TEST_F(RouteSessionTest, EveryRefusalNamesItsKindAndTheFileTried)
{
    EXPECT_FALSE(load(QStringLiteral("99"), QStringLiteral("1")));
    writeFile(QStringLiteral("3.hy3"), QByteArray());
    EXPECT_FALSE(load(QStringLiteral("3"), QStringLiteral("1")));
    writeRoute(QStringLiteral("5"), stops(5));
    EXPECT_FALSE(load(QStringLiteral("5"), QStringLiteral("9")));
    EXPECT_FALSE(load(QStringLiteral("1"), QStringLiteral("1"), folder() + QStringLiteral("/x")));
    ASSERT_EQ(refusals.size(), 4u);
    EXPECT_EQ(refusals[0].kind, RouteLoadErrorKind::NoFile);
    EXPECT_EQ(refusals[0].file, dir.filePath(QStringLiteral("99.hy3")));
    EXPECT_EQ(refusals[1].kind, RouteLoadErrorKind::NoRecords);
    EXPECT_EQ(refusals[1].file, dir.filePath(QStringLiteral("3.hy3")));
    EXPECT_EQ(refusals[2].kind, RouteLoadErrorKind::SectionTooLarge);
    EXPECT_EQ(refusals[3].kind, RouteLoadErrorKind::ReadFailed);
    EXPECT_EQ(refusals[3].file, folder() + QStringLiteral("/x/1.hy3"));
}

TEST_F(RouteSessionTest, EnteringARouteKeepsItsTextAndNormalisesTheRest)
{
    int entered = 0;
    QObject::connect(&session, &RouteSession::routeEntered, [&] { ++entered; });
    session.enterRoute(QStringLiteral("00120"), QStringLiteral("999"));
    EXPECT_EQ(session.routeText(), QStringLiteral("00120"));
    EXPECT_EQ(session.routeNo(), QStringLiteral("120"));
    EXPECT_EQ(session.section(), 300);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(session.loadedRows(), 0) << "entering loads nothing";
}

// What a session reports, in order.
struct SignalLog {
    explicit SignalLog(RouteSession& session)
    {
        QObject::connect(&session, &RouteSession::fareDataLoaded,
                         [this] { events.push_back(QStringLiteral("loaded")); });
        QObject::connect(&session, &RouteSession::stopIndexChanged, [this](int index) {
            events.push_back(QStringLiteral("stop %1").arg(index));
        });
        QObject::connect(&session, &RouteSession::displayClearedChanged, [this](bool on) {
            events.push_back(on ? QStringLiteral("cleared") : QStringLiteral("shown"));
        });
    }
    QStringList events;
};

TEST_F(RouteSessionTest, StepsStayWithinTheRowsLoaded)
{
    writeRoute(QStringLiteral("6"), stops(6));
    writeRoute(QStringLiteral("9"), stops(9));
    ASSERT_TRUE(load(QStringLiteral("6"), QStringLiteral("5")));
    SignalLog log(session);
    EXPECT_TRUE(session.step(StepDirection::Forward));
    EXPECT_EQ(session.currentRow(), 6);
    EXPECT_FALSE(session.step(StepDirection::Forward)) << "row 6 is the last stop";
    EXPECT_EQ(session.stopIndex(), 5);
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(session.step(StepDirection::Back));
    EXPECT_FALSE(session.step(StepDirection::Back)) << "row 1 is the first stop";
    EXPECT_EQ(session.stopIndex(), 0);
    EXPECT_EQ(log.events,
              QStringList({"stop 5", "stop 4", "stop 3", "stop 2", "stop 1", "stop 0"}));

    // A refused file leaves route 6 on display: stepping still ends at its last stop.
    EXPECT_FALSE(load(QStringLiteral("9"), QStringLiteral("20")));
    EXPECT_EQ(session.recordCount(), 9);
    session.setStopIndex(100);
    EXPECT_EQ(session.stopIndex(), 5) << "kept within the rows loaded";
    session.setStopIndex(-3);
    EXPECT_EQ(session.stopIndex(), 0);
}

TEST_F(RouteSessionTest, StepsOnAnEmptyTableGoNowhere)
{
    SignalLog log(session);
    EXPECT_FALSE(session.step(StepDirection::Forward));
    EXPECT_FALSE(session.step(StepDirection::Back));
    session.setStopIndex(3);
    EXPECT_EQ(session.stopIndex(), 0);
    EXPECT_TRUE(log.events.isEmpty());
}

TEST_F(RouteSessionTest, LoadingReportsTheLoadAndTheNewStop)
{
    writeRoute(QStringLiteral("6"), stops(6));
    SignalLog log(session);
    ASSERT_TRUE(load(QStringLiteral("6"), QStringLiteral("3")));
    EXPECT_EQ(log.events, QStringList({"loaded", "stop 2"}));

    log.events.clear();
    ASSERT_TRUE(load(QStringLiteral("6"), QStringLiteral("3")));
    EXPECT_EQ(log.events, QStringList({"loaded"})) << "the stop did not move";

    log.events.clear();
    EXPECT_FALSE(load(QStringLiteral("6"), QStringLiteral("6")));
    EXPECT_FALSE(load(QStringLiteral("77"), QStringLiteral("1")));
    EXPECT_TRUE(log.events.isEmpty()) << "a refusal changes nothing shown";

    // Too long a route moves the stop before it is refused: that move is reported.
    writeRoute(QStringLiteral("8"), stops(302));
    EXPECT_FALSE(load(QStringLiteral("8"), QStringLiteral("10")));
    EXPECT_EQ(log.events, QStringList({"stop 9"}));
}

TEST_F(RouteSessionTest, DisplayClearIsReportedOnlyWhenItChanges)
{
    SignalLog log(session);
    EXPECT_FALSE(session.displayCleared());
    EXPECT_TRUE(session.setDisplayCleared(true));
    EXPECT_TRUE(session.displayCleared());
    EXPECT_FALSE(session.setDisplayCleared(true));
    EXPECT_TRUE(session.setDisplayCleared(false));
    EXPECT_FALSE(session.setDisplayCleared(false));
    EXPECT_EQ(log.events, QStringList({"cleared", "shown"}));
}

TEST_F(RouteSessionTest, RenamingAStopChangesOnlyItsName)
{
    writeRoute(QStringLiteral("3"), stops(3));
    ASSERT_TRUE(load(QStringLiteral("3"), QStringLiteral("1")));
    session.renameStop(2, QStringLiteral("新名"));
    EXPECT_EQ(session.row(2).stopName, QStringLiteral("新名"));
    EXPECT_EQ(session.row(2).ticketNo, 2);
    EXPECT_EQ(session.row(2).column(1), 20);
}

} // namespace
