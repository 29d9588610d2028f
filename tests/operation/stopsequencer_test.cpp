#include "controlpaneltestsupport.h"

#include "core/routesession.h"
#include "operation/panelpicture.h"
#include "operation/stopsequencer.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using paneltest::selectDateMode;
using paneltest::selectStepSoundByColumn;
using paneltest::setStepSounds;

namespace
{

core::FareRecord rowWithColumns()
{
    core::FareRecord row;
    row.stopName = QStringLiteral("市役所前");
    row.ticketNo = 7;
    for (int i = 1; i <= 150; ++i)
        row.column(i) = qint16(i * 10);
    return row;
}

// The last value written to each element, as text.
std::map<int, QString> finalValues(const std::vector<stops::ElementWrite>& writes)
{
    std::map<int, QString> values;
    for (const auto& write : writes)
        values[write.element] = write.value.isText() ? QStringLiteral("T:") + write.value.text()
                                                     : write.value.toString();
    return values;
}

} // namespace

TEST(KeypadDigits, AppendUpToTheLimit)
{
    QString route;
    for (int i = 0; i < 6; ++i)
        route = stops::appendDigit(route, 1, stops::RouteDigits);
    EXPECT_EQ(route, QStringLiteral("11111"));
    QString section;
    for (int d : {0, 1, 2, 3})
        section = stops::appendDigit(section, d, stops::SectionDigits);
    EXPECT_EQ(section, QStringLiteral("012"));
}

TEST(NightFare, DoublesAndKeepsNoFare)
{
    EXPECT_EQ(stops::nightFare(150, true), 300);
    EXPECT_EQ(stops::nightFare(150, false), 150);
    EXPECT_EQ(stops::nightFare(-1, true), -1);
    EXPECT_EQ(stops::nightFare(16383, true), 32766);
    EXPECT_EQ(stops::nightFare(20000, true), 32767);
    EXPECT_EQ(stops::nightFare(-20000, true), -32768);
}

TEST(TicketTexts, DateAndTimeForms)
{
    EXPECT_EQ(stops::ticketDateText(QDate(2009, 1, 24)), QStringLiteral("01-24-2009"));
    EXPECT_EQ(stops::ticketTimeText(QTime(21, 5, 9)), QStringLiteral("21:05:09"));

    core::Options options;
    paneltest::setTestDefaults(options);
    const QDate today(2009, 1, 24);
    selectDateMode(options, core::TicketDateMode::EachPrint);
    EXPECT_EQ(stops::currentTicketDate(options, QStringLiteral("kept"), today),
              QStringLiteral("01-24-2009"));
    EXPECT_EQ(stops::routeSetTicketDate(options, today), QStringLiteral("01-24-2009"));
    selectDateMode(options, core::TicketDateMode::AtRouteSet);
    EXPECT_EQ(stops::currentTicketDate(options, QStringLiteral("kept"), today),
              QStringLiteral("kept"));
    selectDateMode(options, core::TicketDateMode::Fixed);
    EXPECT_EQ(stops::currentTicketDate(options, QStringLiteral("kept"), today),
              QStringLiteral("2009/01/24"));
    EXPECT_EQ(stops::routeSetTicketDate(options, today), QStringLiteral("2009/01/24"));
}

TEST(StepSound, ChosenByColumnValue)
{
    core::Options options;
    options.setStepSoundFile(QStringLiteral("always.wav"));
    const std::array<QString, 3> sounds = {QStringLiteral("one.wav"), QStringLiteral("two.wav"),
                                           QStringLiteral("three.wav")};
    setStepSounds(options, sounds);
    core::FareRecord row;
    EXPECT_EQ(stops::stepSound(options, row), QStringLiteral("always.wav"));

    selectStepSoundByColumn(options, true);
    options.setStepSoundColumn(149); // column 150
    for (int value : {1, 2, 3}) {
        row.column(150) = qint16(value);
        EXPECT_EQ(stops::stepSound(options, row), sounds[size_t(value - 1)]);
    }
    for (int value : {0, 4, -1}) {
        row.column(150) = qint16(value);
        EXPECT_TRUE(stops::stepSound(options, row).isEmpty()) << value;
    }
    options.setStepSoundColumn(-1); // nothing selected
    row.column(1) = 1;
    EXPECT_TRUE(stops::stepSound(options, row).isEmpty());
}

TEST(ElementWrites, FaresFromTheSection)
{
    core::Options options;
    const core::FareRecord row = rowWithColumns();
    auto values = finalValues(stops::stopElementWrites(row, 3, 1, false, options, "12"));
    ASSERT_EQ(values.size(), 12u);
    EXPECT_EQ(values[1], QStringLiteral("10"));
    EXPECT_EQ(values[12], QStringLiteral("120"));

    values = finalValues(stops::stopElementWrites(row, 3, 5, false, options, "12"));
    EXPECT_EQ(values.size(), 8u);
    EXPECT_EQ(values.count(4), 0u);
    EXPECT_EQ(values[5], QStringLiteral("50"));

    EXPECT_TRUE(stops::stopElementWrites(row, 3, 13, false, options, "12").empty());

    values = finalValues(stops::stopElementWrites(row, 3, 1, true, options, "12"));
    EXPECT_EQ(values[6], QStringLiteral("120"));
}

TEST(ElementWrites, InformationNumbersAndPrecedence)
{
    core::Options options;
    const core::FareRecord row = rowWithColumns();
    options.setInfoStopOrderOn(1);
    options.setInfoStopOrderCell(0);
    auto values = finalValues(stops::stopElementWrites(row, 1, 1, false, options, "00120"));
    EXPECT_EQ(values[1], QStringLiteral("1"));
    options.setInfoStopOrderFromZero(1);
    values = finalValues(stops::stopElementWrites(row, 1, 1, false, options, "00120"));
    EXPECT_EQ(values[1], QStringLiteral("0"));

    options.setInfoRouteOn(1);
    options.setInfoRouteCell(11);
    values = finalValues(stops::stopElementWrites(row, 1, 1, false, options, "00120"));
    EXPECT_EQ(values[12], QStringLiteral("T:00120"));

    // All four on one element: the data column is written last and wins.
    options.setInfoStopOrderCell(2);
    options.setInfoRouteCell(2);
    options.setInfoTicketCell(2);
    options.setInfoColumnCell(2);
    options.setInfoTicketOn(1);
    options.setInfoColumnOn(1);
    options.setInfoColumn(149);
    auto writes = stops::stopElementWrites(row, 1, 1, false, options, "00120");
    std::vector<QString> onThree;
    for (const auto& write : writes)
        if (write.element == 3)
            onThree.push_back(write.value.isText() ? write.value.text() : write.value.toString());
    EXPECT_EQ(onThree, (std::vector<QString>{"30", "0", "7", "00120", "1500"}));

    // An unselected list writes nothing.
    options.resetToDefaults();
    options.setInfoTicketOn(1);
    options.setInfoTicketCell(-1);
    EXPECT_EQ(stops::stopElementWrites(row, 1, 13, false, options, "1").size(), 0u);
}

TEST(RouteNumber, NumericValueOfTheText)
{
    EXPECT_EQ(stops::routeNumber(QStringLiteral("00120")), 120);
    EXPECT_EQ(stops::routeNumber(QString()), 0);
}

TEST(Folder, SeparatorAppendedOnce)
{
    EXPECT_EQ(stops::withTrailingSeparator(QString()), QString());
    EXPECT_EQ(stops::withTrailingSeparator(QStringLiteral("/data")), QStringLiteral("/data/"));
    EXPECT_EQ(stops::withTrailingSeparator(QStringLiteral("/data/")), QStringLiteral("/data/"));
}

TEST(BacklightMessage, DetailByErrorNumber)
{
    const QString head = QStringLiteral("エラーです。\r\n\r\nエラーコード：");
    EXPECT_EQ(backlight::errorMessage(481),
              head + "481" +
                  QStringLiteral("　指定した画像の内容が不正です。この部分では扱えません。"));
    EXPECT_TRUE(backlight::errorMessage(53).endsWith(
        QStringLiteral("画像ファイルが見つからないか、指定している場所が不正です。")));
    EXPECT_TRUE(backlight::errorMessage(68).endsWith(
        QStringLiteral("デバイスエラーもしくは準備が出来ていません。")));
    EXPECT_TRUE(backlight::errorMessage(28).endsWith(QStringLiteral("frmCtl.Option4_Click()")));
    EXPECT_EQ(backlight::errorMessage(13), head + "13");
}

TEST(BacklightPicture, ErrorNumbersAndFitting)
{
    testsupport::application();
    QTemporaryDir dir;
    auto numberOf = [](const QString& path) {
        try {
            backlight::loadPanelPicture(path);
        } catch (const platform::RuntimeError& error) {
            return error.number();
        }
        return 0;
    };
    EXPECT_EQ(numberOf(dir.filePath("missing.bmp")), 53);
    EXPECT_EQ(numberOf(dir.path()), 75);
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe.bmp"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    EXPECT_EQ(numberOf(dir.filePath("pipe.bmp")), 75);
    QFile text(dir.filePath("text.bmp"));
    text.open(QIODevice::WriteOnly);
    text.write("this is no picture");
    text.close();
    EXPECT_EQ(numberOf(text.fileName()), 481);

    QImage small(100, 50, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(dir.filePath("small.gif"), "GIF") ||
                small.save(dir.filePath("small.gif"), "BMP"));
    ASSERT_TRUE(small.save(dir.filePath("small.png"), "PNG"));
    EXPECT_EQ(numberOf(dir.filePath("small.png")), 481);
    const QImage loaded = backlight::loadPanelPicture(dir.filePath("small.gif"));
    const QImage fitted = backlight::fitToPanel(loaded, QSize(498, 248), Qt::gray).toImage();
    EXPECT_EQ(fitted.size(), QSize(498, 248));
    EXPECT_EQ(fitted.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(fitted.pixelColor(200, 10), QColor(Qt::gray));

    QImage large(600, 300, QImage::Format_RGB32);
    large.fill(Qt::blue);
    const QImage cut = backlight::fitToPanel(large, QSize(498, 248), Qt::gray).toImage();
    EXPECT_EQ(cut.size(), QSize(498, 248));
    EXPECT_EQ(cut.pixelColor(497, 247), QColor(Qt::blue));
}
