#include "dialogs/pickers.h"
#include "platform/cp932.h"
#include "support/scriptedpickers.h"

#include <gtest/gtest.h>

TEST(PickerFilter, BuildsNulSeparatedCp932List)
{
    const QByteArray filter =
        pickerFilter({QStringLiteral("整理券プラグイン(*.4SP)"), QStringLiteral("*.4SP")});
    QByteArray expected = platform::toCp932(QStringLiteral("整理券プラグイン(*.4SP)"));
    expected += '\0';
    expected += "*.4SP";
    expected += '\0';
    expected += '\0';
    EXPECT_EQ(filter, expected);
}

TEST(PickerFilter, QtFiltersKeepDescriptionAndOfferBothCases)
{
    const QStringList filters =
        qtNameFilters(pickerFilter({QStringLiteral("Waveサウンド(*.wav)"), QStringLiteral("*.wav"),
                                    QStringLiteral("MP3サウンド(*.mp3)"), QStringLiteral("*.mp3"),
                                    QStringLiteral("画像"), QStringLiteral("*.bmp;*.GIF")}));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], QStringLiteral("Waveサウンド (*.wav *.WAV)"));
    EXPECT_EQ(filters[1], QStringLiteral("MP3サウンド (*.mp3 *.MP3)"));
    EXPECT_EQ(filters[2], QStringLiteral("画像 (*.bmp *.BMP *.GIF *.gif)"));
}

TEST(PickerFilter, OddOrUnterminatedListsDoNotOverrun)
{
    EXPECT_TRUE(qtNameFilters(QByteArray()).isEmpty());
    EXPECT_TRUE(qtNameFilters(QByteArray("\0\0", 2)).isEmpty());
    // A description without its pattern is dropped; a missing final NUL is tolerated.
    EXPECT_TRUE(qtNameFilters(QByteArray("Text")).isEmpty());
    EXPECT_EQ(qtNameFilters(QByteArray("Text\0*.txt", 10)),
              QStringList{QStringLiteral("Text (*.txt *.TXT)")});
}

TEST(ScriptedPickers, AnswerInOrderAndRecordEveryCall)
{
    testsupport::ScriptedPickers scripted;
    Pickers& pickers = scripted;
    scripted.fileAnswers = {QStringLiteral("/tmp/a.wav")};
    scripted.folderAnswers = {QStringLiteral("/data")};
    scripted.colorAnswers = {platform::RGB(1, 2, 3), std::nullopt};
    scripted.dateAnswers = {QDate(2009, 3, 5)};

    EXPECT_EQ(
        pickers.pickFile(nullptr, 0, QByteArray("A\0*.a\0\0", 7), QString(), QStringLiteral("t")),
        QStringLiteral("/tmp/a.wav"));
    EXPECT_TRUE(pickers.pickFile(nullptr, 0, QByteArray(), QString(), QString()).isEmpty());
    ASSERT_EQ(scripted.fileCalls.size(), 2u);
    EXPECT_EQ(scripted.fileCalls[0].title, QStringLiteral("t"));

    EXPECT_EQ(pickers.pickFolder(nullptr, QStringLiteral("f")), QStringLiteral("/data"));

    CustomColorTable custom{};
    platform::BgrColor c = 0x123456;
    EXPECT_NE(pickers.pickColor(nullptr, c, custom), 0);
    EXPECT_EQ(c, platform::RGB(1, 2, 3));
    EXPECT_EQ(pickers.pickColor(nullptr, c, custom), 0);
    EXPECT_EQ(c, platform::RGB(1, 2, 3));
    EXPECT_EQ(scripted.colorsOffered, (std::vector<platform::BgrColor>{0x123456, c}));

    const std::optional<QDate> date = pickers.pickDate(nullptr, QDate());
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(*date, QDate(2009, 3, 5));
    EXPECT_EQ(date->dayOfWeek(), Qt::Thursday);
    EXPECT_FALSE(pickers.pickDate(nullptr, *date).has_value());
    EXPECT_EQ(scripted.datesOffered, (std::vector<QDate>{QDate(), QDate(2009, 3, 5)}));
}
