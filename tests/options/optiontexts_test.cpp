#include "options/optiontexts.h"
#include "platform/cp932.h"
#include "tickets/ticketplugin.h"

#include <gtest/gtest.h>

TEST(OptionTexts, NumberingModesAsTheListShowsThem)
{
    const QStringList items = ticketNumberModeItems();
    ASSERT_EQ(items.size(), 12);
    EXPECT_EQ(items[0], QStringLiteral("1,2,3... 12 （既定の表示）"));
    EXPECT_EQ(items[1], QStringLiteral("0,1,2... 11"));
    EXPECT_EQ(items[2], QStringLiteral("「なし」、1,2... 11"));
    EXPECT_EQ(items[7], QStringLiteral("「券なし」、2,3... 12"));
    EXPECT_EQ(items[9], QStringLiteral("「券無し」、2,3... 12"));
    EXPECT_EQ(items[11], QStringLiteral("(無地)、2,3... 12"));
}

TEST(OptionTexts, NumberWithSignBlankPutsABlankBeforeNonNegativeNumbers)
{
    EXPECT_EQ(numberWithSignBlank(12), QStringLiteral(" 12"));
    EXPECT_EQ(numberWithSignBlank(0), QStringLiteral(" 0"));
    EXPECT_EQ(numberWithSignBlank(-1), QStringLiteral("-1"));
}

TEST(OptionTexts, FontAndPrefixListsAndNumbers)
{
    EXPECT_EQ(stopNameFontItems().size(), 5);
    EXPECT_EQ(stopNameFontItems()[4], QStringLiteral("英数字はゴシック、それ以外は明朝"));
    EXPECT_EQ(nextStopFontItems()[3], QStringLiteral("「は」だけゴシック体"));
    EXPECT_EQ(nextStopModeItems()[1], QStringLiteral("「次は」を表示（「は」が小さい）"));
    const QStringList columns = numberItems(150);
    ASSERT_EQ(columns.size(), 150);
    EXPECT_EQ(columns.first(), QStringLiteral("1"));
    EXPECT_EQ(columns.last(), QStringLiteral("150"));
}

TEST(OptionTexts, FixedDatePadsMonthAndDayOnly)
{
    EXPECT_EQ(fixedDateText(2009, 3, 5), QStringLiteral("2009/03/05"));
    EXPECT_EQ(fixedDateText(QDate(2009, 1, 24)), QStringLiteral("2009/01/24"));
    EXPECT_EQ(fixedDateText(999, 12, 31), QStringLiteral("999/12/31"));
}

TEST(OptionTexts, PickerFiltersAreNulSeparatedCp932)
{
    QByteArray expected = platform::toCp932(QStringLiteral("整理券プラグイン(*.4SP)"));
    expected.append('\0').append("*.4SP").append('\0').append('\0');
    EXPECT_EQ(pluginFilter(), expected);
    EXPECT_EQ(soundFilter().count('\0'), 7);
    EXPECT_TRUE(
        panelPictureFilter().contains(platform::toCp932(QStringLiteral("JPEG画像(*.jpg)"))));
}

namespace
{

PluginInfo info(std::initializer_list<std::pair<int, int>> values)
{
    PluginInfo p;
    for (const auto& [index, value] : values)
        p[index] = value;
    return p;
}

} // namespace

TEST(PluginProperties, WithoutBarcodesSixLines)
{
    const QStringList lines = pluginPropertyLines(info({{PluginInfo::CanPrintDate, 1},
                                                        {PluginInfo::CanPrintStopName, 1},
                                                        {PluginInfo::BarcodeCount, 4}}));
    const QStringList expected = {
        QStringLiteral("日付の印字 ---> 可能"),     QStringLiteral("時刻の印字 ---> 不可"),
        QStringLiteral("系統番号の印字 ---> 不可"), QStringLiteral("停名の印字 ---> 可能"),
        QStringLiteral("バーコード印字 ---> 不可"), QStringLiteral("社名切り替え:---> 不可")};
    EXPECT_EQ(lines, expected);
}

TEST(PluginProperties, WithBarcodesTenLinesInOrder)
{
    const QStringList lines = pluginPropertyLines(info({{PluginInfo::CanPrintBarcode, 1},
                                                        {PluginInfo::BarcodeCount, 2},
                                                        {PluginInfo::RouteMax, 999},
                                                        {PluginInfo::BarcodeRouteMode, 0},
                                                        {PluginInfo::StopRangeFrom, 1},
                                                        {PluginInfo::StopRangeTo, 99},
                                                        {PluginInfo::CompanySwitch, 3}}));
    ASSERT_EQ(lines.size(), 10);
    EXPECT_EQ(lines[4], QStringLiteral("バーコード印字 ---> 可能"));
    EXPECT_EQ(lines[5], QStringLiteral("バーコード本数 ---> 2"));
    EXPECT_EQ(lines[6], QStringLiteral("バーコード系統方式 ---> 系統番号＋往復フラグ"));
    EXPECT_EQ(lines[7], QStringLiteral("設定可能な系統範囲 ---> 1 ～ 999"));
    EXPECT_EQ(lines[8], QStringLiteral("停留所認識範囲 ---> 1 ～ 99"));
    EXPECT_EQ(lines[9], QStringLiteral("社名切り替え:---> 可能"));
    // The tilde is the full-width one.
    EXPECT_TRUE(lines[7].contains(QChar(0xFF5E)));
}

TEST(PluginProperties, OnlyOneCountsAsSupportedAndNumbersAreUnpadded)
{
    const QStringList lines = pluginPropertyLines(info({{PluginInfo::CanPrintDate, 2},
                                                        {PluginInfo::CanPrintTime, -1},
                                                        {PluginInfo::CanPrintBarcode, 1},
                                                        {PluginInfo::BarcodeCount, -1},
                                                        {PluginInfo::BarcodeRouteMode, 1},
                                                        {PluginInfo::StopRangeFrom, -1},
                                                        {PluginInfo::CompanySwitch, 1}}));
    EXPECT_EQ(lines[0], QStringLiteral("日付の印字 ---> 不可"));
    EXPECT_EQ(lines[1], QStringLiteral("時刻の印字 ---> 不可"));
    EXPECT_EQ(lines[5], QStringLiteral("バーコード本数 ---> -1"));
    EXPECT_EQ(lines[6], QStringLiteral("バーコード系統方式 ---> 連番式"));
    EXPECT_EQ(lines[8], QStringLiteral("停留所認識範囲 ---> -1 ～ 0"));
    EXPECT_EQ(lines[9], QStringLiteral("社名切り替え:---> 可能"));
}
