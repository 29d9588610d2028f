#include "dialogs/pickers.h"
#include "platform/cp932.h"

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

TEST(ScriptedPickers, AnswersInOrderAndRestoresRealPickersWhenGone)
{
    PickerBackend* real = &pickerBackend();
    {
        ScriptedPickers pickers;
        EXPECT_EQ(&pickerBackend(), &pickers);
        pickers.fileAnswers = {QStringLiteral("/tmp/a.wav")};
        pickers.folderAnswers = {QStringLiteral("/data")};
        pickers.colorAnswers = {platform::RGB(1, 2, 3), std::nullopt};
        pickers.dateAnswers = {QDate(2009, 3, 5)};

        EXPECT_EQ(pickFile(nullptr, 0, QByteArray("A\0*.a\0\0", 7), QString(), QStringLiteral("t")),
                  QStringLiteral("/tmp/a.wav"));
        EXPECT_TRUE(pickFile(nullptr, 0, QByteArray(), QString(), QString()).isEmpty());
        ASSERT_EQ(pickers.fileCalls.size(), 2u);
        EXPECT_EQ(pickers.fileCalls[0].title, QStringLiteral("t"));

        EXPECT_EQ(pickFolder(nullptr, QStringLiteral("f")), QStringLiteral("/data"));

        platform::BgrColor c = 0x123456;
        EXPECT_NE(pickColor(nullptr, c, customColors()), 0);
        EXPECT_EQ(c, platform::RGB(1, 2, 3));
        EXPECT_EQ(pickColor(nullptr, c, customColors()), 0);
        EXPECT_EQ(c, platform::RGB(1, 2, 3));
        EXPECT_EQ(pickers.colorsOffered, (std::vector<platform::BgrColor>{0x123456, c}));

        SystemTime date{};
        EXPECT_NE(pickDate(nullptr, date), 0);
        EXPECT_EQ(date.year, 2009);
        EXPECT_EQ(date.month, 3);
        EXPECT_EQ(date.day, 5);
        EXPECT_EQ(date.dayOfWeek, 4); // Thursday
        EXPECT_EQ(pickDate(nullptr, date), 0);
    }
    EXPECT_EQ(&pickerBackend(), real);
}

TEST(CustomColors, OneTableOfSeventeenForTheWholeRun)
{
    customColors()[16] = 0x00ABCDEF;
    EXPECT_EQ(&customColors(), &customColors());
    EXPECT_EQ(customColors().size(), 17u);
    EXPECT_EQ(customColors()[16], 0x00ABCDEF);
}
