#include "platform/cp932.h"

#include <gtest/gtest.h>

using platform::fromCp932;
using platform::toCp932;

TEST(Cp932, WaveDashRoundTripsAsFullWidthTilde)
{
    const QString tilde = QString(QChar(0xFF5E));
    EXPECT_EQ(toCp932(tilde), QByteArray("\x81\x60"));
    EXPECT_EQ(fromCp932(QByteArray("\x81\x60")), tilde);
}

TEST(Cp932, JapaneseAndAsciiConvertBothWays)
{
    const QString text = QStringLiteral("次は 市役所前A1");
    const QByteArray bytes = toCp932(text);
    EXPECT_EQ(bytes.size(), 2 * 6 + 1 + 2);
    EXPECT_EQ(bytes.left(2), QByteArray("\x8E\x9F"));
    EXPECT_EQ(fromCp932(bytes), text);
    EXPECT_EQ(platform::cp932Length(text), 15);
    EXPECT_EQ(fromCp932("\\"), QStringLiteral("\\"));
}

TEST(Cp932, CharacterWithoutFormBecomesQuestionMark)
{
    // An emoji (surrogate pair) and a Hangul syllable have no CP932 form.
    const QString text = QStringLiteral("A") + QString::fromUcs4(U"\U0001F600") +
                         QString(QChar(0xAC00)) + QStringLiteral("B");
    EXPECT_EQ(toCp932(text), QByteArray("A??B"));
    EXPECT_FALSE(platform::isCp932Representable(text));
    EXPECT_TRUE(platform::isCp932Representable(QStringLiteral("運賃表示器")));
}

TEST(Cp932, InvalidBytesDecodeToReplacementCharacter)
{
    // A lone lead byte at the end, and 0xA0 which is unassigned.
    EXPECT_EQ(fromCp932(QByteArray("A\x82")), QStringLiteral("A") + QChar(0xFFFD));
    EXPECT_EQ(fromCp932(QByteArray("\xA0Z")), QString(QChar(0xFFFD)) + QStringLiteral("Z"));
    EXPECT_TRUE(fromCp932(QByteArray()).isEmpty());
}

TEST(Cp932, LeadBytes)
{
    EXPECT_TRUE(platform::isCp932LeadByte(0x81));
    EXPECT_TRUE(platform::isCp932LeadByte(0xE0));
    EXPECT_FALSE(platform::isCp932LeadByte(0xA1)); // half-width katakana
    EXPECT_FALSE(platform::isCp932LeadByte('A'));
}
