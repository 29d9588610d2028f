#include "formats/optiontable.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

using formats::OptionId;
using formats::OptionStore;

TEST(OptionTable, ListsTheSettingsFileInItsOrderThenThePreferences)
{
    const auto& table = formats::optionTable();
    EXPECT_STREQ(table.front().name, "FareDataFolder");
    EXPECT_STREQ(table[formats::SettingsFileOptionCount - 1].name, "FixedDate");
    EXPECT_STREQ(formats::optionRow(OptionId::PreBroadcastWait).name, "PreBroadcastWait");
    std::set<std::string> names;
    std::set<std::string> keys;
    for (const auto& row : table) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        if (row.store == OptionStore::Preferences)
            EXPECT_TRUE(keys.insert(row.preferencesKey).second) << row.preferencesKey;
        else
            EXPECT_EQ(row.preferencesKey, nullptr) << row.name;
        OptionId found{};
        ASSERT_TRUE(formats::optionByName(QString::fromLatin1(row.name), &found));
        EXPECT_EQ(found, row.id);
    }
    OptionId unused{};
    EXPECT_FALSE(formats::optionByName(QStringLiteral("NoSuchOption"), &unused));
}

TEST(OptionTable, RangesComeFromTheKindAndTheListLength)
{
    const auto& check = formats::optionRow(OptionId::UseTicketPreview);
    EXPECT_EQ(check.low, 0);
    EXPECT_EQ(check.high, 2);
    const auto& modes = formats::optionRow(OptionId::TicketNumberMode);
    EXPECT_EQ(modes.low, -1);
    EXPECT_EQ(modes.high, 11);
    EXPECT_EQ(formats::optionRow(OptionId::InfoColumn).high, 149);
    EXPECT_EQ(formats::optionRow(OptionId::NextStopMode).high, 2);
    const auto& zoom = formats::optionRow(OptionId::DisplayZoom);
    EXPECT_EQ(zoom.store, OptionStore::Preferences);
    EXPECT_STREQ(zoom.preferencesKey, "Display/Zoom");
    EXPECT_EQ(zoom.low, 0); // 0: the largest size the monitor holds
    EXPECT_EQ(zoom.high, 4);
    const auto& fullScreen = formats::optionRow(OptionId::DisplayFullScreen);
    EXPECT_EQ(fullScreen.kind, formats::OptionKind::Check);
    EXPECT_EQ(fullScreen.high, 1);
    const auto& monitor = formats::optionRow(OptionId::DisplayMonitor);
    EXPECT_EQ(monitor.kind, formats::OptionKind::Text);
    EXPECT_STREQ(monitor.preferencesKey, "Display/Monitor");
}

TEST(OptionFileValues, StartEmptyInTheFilesTypesAndConvertWhatTheyAreGiven)
{
    formats::OptionFileValues values;
    EXPECT_EQ(values[OptionId::FareDataFolder], formats::OptionFileValue(QString()));
    EXPECT_EQ(values[OptionId::DigitLitColor], formats::OptionFileValue(qint32(0)));
    EXPECT_EQ(values[OptionId::PanelAuto], formats::OptionFileValue(qint16(0)));
    values.set(OptionId::InfoColumn, 0x12345); // cut to 16 bits as the file would
    EXPECT_EQ(values[OptionId::InfoColumn], formats::OptionFileValue(qint16(0x2345)));
    values.set(OptionId::InfoColumn, QStringLiteral("no text here"));
    EXPECT_EQ(values.number(OptionId::InfoColumn), 0x2345);
    values.set(OptionId::FixedDate, 5);
    EXPECT_EQ(values.text(OptionId::FixedDate), QString());
}
