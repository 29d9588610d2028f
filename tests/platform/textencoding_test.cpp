#include "platform/cp932.h"
#include "platform/textencoding.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

using platform::decodeUserText;
using platform::TextEncoding;

namespace
{

const QString Announcement = QStringLiteral("次は、市役所前です。");

} // namespace

TEST(UserTextEncoding, EachOfTheThreeFormsReadsToTheSameText)
{
    const QByteArray sjis = platform::toCp932(Announcement);
    const QByteArray utf8 = Announcement.toUtf8();
    const QByteArray withBom = "\xEF\xBB\xBF" + utf8;

    const platform::DecodedText fromSjis = decodeUserText(sjis);
    EXPECT_EQ(fromSjis.encoding, TextEncoding::Cp932);
    EXPECT_EQ(fromSjis.text, Announcement);
    EXPECT_TRUE(fromSjis.clean);

    const platform::DecodedText fromUtf8 = decodeUserText(utf8);
    EXPECT_EQ(fromUtf8.encoding, TextEncoding::Utf8);
    EXPECT_EQ(fromUtf8.text, Announcement);

    const platform::DecodedText fromBom = decodeUserText(withBom);
    EXPECT_EQ(fromBom.encoding, TextEncoding::Utf8WithBom);
    EXPECT_EQ(fromBom.text, Announcement); // the mark is not part of the text
}

TEST(UserTextEncoding, PureAsciiIsTheSameInEveryEncoding)
{
    const QByteArray ascii("Next stop,1,2\r\n");
    const platform::DecodedText decoded = decodeUserText(ascii);
    EXPECT_EQ(decoded.encoding, TextEncoding::Ascii);
    EXPECT_EQ(decoded.text, QString::fromLatin1(ascii));
    EXPECT_EQ(decoded.text, platform::fromCp932(ascii));
    EXPECT_EQ(decodeUserText(QByteArray()).encoding, TextEncoding::Ascii);
    // The mark alone is still UTF-8 by its mark.
    EXPECT_EQ(decodeUserText("\xEF\xBB\xBF").encoding, TextEncoding::Utf8WithBom);
    EXPECT_TRUE(decodeUserText("\xEF\xBB\xBF").text.isEmpty());
}

TEST(UserTextEncoding, BytesValidInBothReadAsUtf8)
{
    // "縺ゅ＞" in Shift-JIS is, byte for byte, "あい" in UTF-8: the rule reads UTF-8.
    const QByteArray both("\xE3\x81\x82\xE3\x81\x84");
    ASSERT_EQ(platform::fromCp932(both), QStringLiteral("縺ゅ＞"));
    const platform::DecodedText decoded = decodeUserText(both);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decoded.text, QStringLiteral("あい"));
    // Ordinary Shift-JIS kana and kanji start with bytes that cannot start UTF-8.
    EXPECT_EQ(decodeUserText(platform::toCp932(QStringLiteral("ｶﾞｸｴﾝﾏｴ 学園前"))).encoding,
              TextEncoding::Cp932);
}

TEST(UserTextEncoding, ShiftJisKeepsEveryCharacterItHas)
{
    // Characters whose Shift-JIS bytes include ASCII-looking trail bytes ("\", "|", "@").
    const QString tricky = QStringLiteral("表示ソ能～①Ⅱ㈱髙");
    const platform::DecodedText decoded = decodeUserText(platform::toCp932(tricky));
    EXPECT_EQ(decoded.encoding, TextEncoding::Cp932);
    EXPECT_EQ(decoded.text, tricky);
}

TEST(UserTextEncoding, UnreadableBytesAreMarked)
{
    // Neither UTF-8 nor complete Shift-JIS: a lead byte without its trail at the end.
    const platform::DecodedText cut = decodeUserText(QByteArray("\x8E\x9F\x82"));
    EXPECT_EQ(cut.encoding, TextEncoding::Cp932);
    EXPECT_FALSE(cut.clean);
    EXPECT_EQ(cut.text, QStringLiteral("次") + QChar(QChar::ReplacementCharacter));

    // A byte-order mark followed by something that is not UTF-8.
    const platform::DecodedText bad = decodeUserText(QByteArray("\xEF\xBB\xBF\x8E\x9F"));
    EXPECT_EQ(bad.encoding, TextEncoding::Utf8WithBom);
    EXPECT_FALSE(bad.clean);
}

TEST(UserTextEncoding, Utf16IsRecognisedOnlyToBeRefusedByName)
{
    // Notepad's "Unicode": little-endian with a mark; other editors leave the mark out.
    const QString csv = QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n本町,2,170\r\n");
    QStringEncoder le(QStringEncoder::Utf16LE);
    QStringEncoder be(QStringEncoder::Utf16BE);
    const QByteArray little = le.encode(csv);
    const QByteArray big = be.encode(csv);
    EXPECT_EQ(platform::detectTextEncoding("\xFF\xFE" + little), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(platform::detectTextEncoding(little), TextEncoding::Utf16LittleEndian);
    EXPECT_EQ(platform::detectTextEncoding("\xFE\xFF" + big), TextEncoding::Utf16BigEndian);
    EXPECT_EQ(platform::detectTextEncoding(big), TextEncoding::Utf16BigEndian);

    const platform::DecodedText decoded = decodeUserText(little);
    EXPECT_FALSE(platform::isReadable(decoded.encoding));
    EXPECT_FALSE(decoded.clean);
    EXPECT_TRUE(decoded.text.isEmpty());
    EXPECT_TRUE(platform::unreadableEncodingReason(decoded.encoding)
                    .startsWith(QStringLiteral("UTF-16 LE のテキストは読めません。")));
    EXPECT_TRUE(platform::unreadableEncodingReason(TextEncoding::Cp932).isEmpty());

    // Mostly kanji, with a character whose low byte is zero (一, U+4E00), is still UTF-16.
    EXPECT_EQ(platform::detectTextEncoding(le.encode(QStringLiteral("一丁目前,1\r\n"))),
              TextEncoding::Utf16LittleEndian);
    // Zero bytes alone make no UTF-16: a fare file or a picture is not text at all.
    EXPECT_EQ(
        platform::detectTextEncoding(QByteArray("\x02\x00\x04\x00\x89\x77\x91\x4F\x01\x00", 10)),
        TextEncoding::Cp932);
    EXPECT_TRUE(platform::isReadable(platform::detectTextEncoding(QByteArray(64, '\0'))));
}

TEST(UserTextEncoding, NamesForTheUser)
{
    EXPECT_EQ(platform::encodingName(TextEncoding::Cp932), QStringLiteral("Shift-JIS (CP932)"));
    EXPECT_EQ(platform::encodingName(TextEncoding::Utf8), QStringLiteral("UTF-8"));
    EXPECT_EQ(platform::encodingName(TextEncoding::Utf8WithBom),
              QStringLiteral("UTF-8 (BOM 付き)"));
}

TEST(Cp932, OnlyTextsThatComeBackSurviveStorage)
{
    EXPECT_TRUE(platform::survivesCp932(QStringLiteral("/home/運行/データ")));
    EXPECT_FALSE(platform::survivesCp932(QStringLiteral("/home/Müller/data")));
    EXPECT_FALSE(platform::survivesCp932(QString::fromUcs4(U"/tmp/\U0001F68C")));
    // A character with a form that reads back as another one.
    EXPECT_FALSE(platform::survivesCp932(QString(QChar(0x301C))));
}
