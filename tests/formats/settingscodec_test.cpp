#include "formats/optiontable.h"
#include "formats/settingscodec.h"
#include "platform/cp932.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

SettingsRecords sampleRecords()
{
    SettingsRecords r;
    r.options.set(formats::OptionId::FareDataFolder, QStringLiteral("/home/運転士/運賃"));
    r.options.set(formats::OptionId::AutoTicketNumbers, 1);
    r.options.set(formats::OptionId::TicketColorOn1, platform::RGB(192, 255, 192));
    r.options.set(formats::OptionId::PanelOn2Picture, QStringLiteral("panel～2.bmp"));
    r.options.set(formats::OptionId::InfoColumn, 149);
    r.options.set(formats::OptionId::NextStopColor, platform::RGB(255, 192, 128));
    r.options.set(formats::OptionId::PreBroadcastSound3, QStringLiteral("chime.mid"));
    r.options.set(formats::OptionId::FixedDate, QStringLiteral("2009/01/24"));
    r.controlPanel.ScrollSpeed = 1500;
    r.controlPanel.Top = -30;
    r.displayPosition.left = 7470;
    r.customColors[16] = 0x123456;
    r.digitRules[11] = {2, 3, 1};
    return r;
}

qint16 i16At(const QByteArray& b, qsizetype pos)
{
    return qFromLittleEndian<qint16>(b.constData() + pos);
}

} // namespace

TEST(ControlPanelStateRecord, TwentyTwoLittleEndianBytes)
{
    ControlPanelState info{1, 2000, 3000, 1, 1, -15, 4500};
    const QByteArray bytes = info.toBytes();
    ASSERT_EQ(bytes.size(), ControlPanelState::Size);
    EXPECT_EQ(bytes.left(6), QByteArray::fromHex("0100d0070000"));
    EXPECT_EQ(bytes.mid(14, 4), QByteArray::fromHex("f1ffffff"));
    EXPECT_EQ(ControlPanelState::fromBytes(bytes), info);
    EXPECT_FALSE(ControlPanelState::fromBytes(bytes.left(21)).has_value());
}

TEST(SettingsCodec, AllEmptyTextsGive320BytesWithTheTailLaidOut)
{
    SettingsRecords r;
    r.controlPanel.PanelMode = 1;
    r.digitRules[0] = {1, 2, 3};
    const QByteArray bytes = encodeSettings(r);
    ASSERT_EQ(bytes.size(), 320);
    // The count 12 sits 74 bytes before the end; the first digit record follows it.
    EXPECT_EQ(i16At(bytes, bytes.size() - 74), 12);
    EXPECT_EQ(i16At(bytes, bytes.size() - 72), 1);
    EXPECT_EQ(i16At(bytes, bytes.size() - 70), 2);
    EXPECT_EQ(i16At(bytes, bytes.size() - 68), 3);
    // The control panel's record opens the 172-byte tail.
    EXPECT_EQ(bytes.mid(bytes.size() - 172, 22), r.controlPanel.toBytes());
}

TEST(SettingsCodec, TextsAreCountedInCp932Bytes)
{
    SettingsRecords r;
    r.options.set(formats::OptionId::FareDataFolder,
                  QStringLiteral("運賃データ")); // 5 full-width characters
    const QByteArray bytes = encodeSettings(r);
    EXPECT_EQ(bytes.size(), 330);
    EXPECT_EQ(i16At(bytes, 0), 10);
    EXPECT_EQ(bytes.mid(2, 10), platform::toCp932(QStringLiteral("運賃データ")));
}

TEST(SettingsCodec, RoundTripKeepsEveryField)
{
    const SettingsRecords original = sampleRecords();
    const QByteArray bytes = encodeSettings(original);
    SettingsRecords read;
    EXPECT_TRUE(decodeSettings(bytes, read));
    EXPECT_EQ(read, original);
    EXPECT_EQ(encodeSettings(read), bytes);
}

TEST(SettingsCodec, CountFieldOtherThan12StillReadsTwelveRecords)
{
    SettingsRecords r = sampleRecords();
    QByteArray bytes = encodeSettings(r);
    qToLittleEndian<qint16>(3, bytes.data() + bytes.size() - 74);
    SettingsRecords read;
    EXPECT_TRUE(decodeSettings(bytes, read));
    EXPECT_EQ(read.digitRules, r.digitRules);
}

TEST(SettingsCodec, ShortFileKeepsWhatItDoesNotReach)
{
    const SettingsRecords full = sampleRecords();
    const QByteArray bytes = encodeSettings(full);

    SettingsRecords before;
    before.displayPosition.left = 999;
    before.digitRules[11] = {7, 7, 7};
    SettingsRecords read = before;
    // Cut inside the display window's record: the control panel's record is whole.
    const QByteArray cut = bytes.left(bytes.size() - 172 + 22 + 2);
    EXPECT_FALSE(decodeSettings(cut, read));
    EXPECT_EQ(read.options, full.options);
    EXPECT_EQ(read.controlPanel, full.controlPanel);
    EXPECT_EQ(read.displayPosition.left, 999);
    EXPECT_EQ(read.digitRules[11], (DigitRules{7, 7, 7}));
}

TEST(SettingsCodec, BytesAfterTheRecordAreCountedNotRead)
{
    const SettingsRecords full = sampleRecords();
    const QByteArray bytes = encodeSettings(full);
    SettingsRecords read;
    EXPECT_TRUE(decodeSettingsRecord(bytes, read).whole());

    // A newer version's file: our record, then fields of its own.
    const QByteArray newer = bytes + QByteArray("\x05\x00extra", 7);
    read = {};
    const SettingsDecoding decoding = decodeSettingsRecord(newer, read);
    EXPECT_TRUE(decoding.complete);
    EXPECT_EQ(decoding.bytesBeyond, 7);
    EXPECT_FALSE(decoding.whole());
    EXPECT_EQ(read, full);

    // A short file is not whole either, and nothing lies beyond it.
    const SettingsDecoding cut = decodeSettingsRecord(bytes.left(100), read);
    EXPECT_FALSE(cut.complete);
    EXPECT_EQ(cut.bytesBeyond, 0);
    EXPECT_FALSE(decodeSettingsRecord(QByteArray(), read).whole());
}

TEST(SettingsCodec, TextRunningPastTheEndIsCutThere)
{
    QByteArray bytes;
    bytes.append("\x10\x00", 2); // claims 16 bytes
    bytes.append("/data");
    SettingsRecords read;
    read.options.set(formats::OptionId::BroadcastDataFolder, QStringLiteral("kept"));
    EXPECT_FALSE(decodeSettings(bytes, read));
    EXPECT_EQ(read.options.text(formats::OptionId::FareDataFolder), QStringLiteral("/data"));
    EXPECT_EQ(read.options.text(formats::OptionId::BroadcastDataFolder), QStringLiteral("kept"));
}

TEST(SettingsCodec, AnyBytesDecodeWithoutCrash)
{
    const QByteArray full = encodeSettings(sampleRecords());
    for (qsizetype n = 0; n <= full.size(); ++n) {
        SettingsRecords read;
        decodeSettings(full.left(n), read);
    }
    QByteArray noise(4096, '\xFF');
    SettingsRecords read;
    EXPECT_FALSE(decodeSettings(noise, read));
}

namespace
{

// The file's layout written out field by field, independently of the codec's field list.
class Layout
{
public:
    Layout& i16(qint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
        return *this;
    }
    Layout& i32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
        return *this;
    }
    Layout& text(const char* ascii)
    {
        i16(static_cast<qint16>(qstrlen(ascii)));
        bytes.append(ascii);
        return *this;
    }
    QByteArray bytes;
};

} // namespace

// Reading and writing share one field list, so a swapped pair of fields would pass every
// round trip: this pins each field to its offset. Every field holds a value of its own.
TEST(SettingsCodec, EveryFieldSitsAtItsOffset)
{
    SettingsRecords r;
    r.options.set(formats::OptionId::FareDataFolder, QStringLiteral("fare"));
    r.options.set(formats::OptionId::BroadcastDataFolder, QStringLiteral("tape"));
    r.options.set(formats::OptionId::AutoTicketNumbers, 101);
    r.options.set(formats::OptionId::TicketColorOff, 0x010203);
    r.options.set(formats::OptionId::TicketColorOn1, 0x040506);
    r.options.set(formats::OptionId::TicketColorOn2, 0x070809);
    r.options.set(formats::OptionId::TicketNumberMode, 102);
    r.options.set(formats::OptionId::TicketZeroPad, 103);
    r.options.set(formats::OptionId::PanelAuto, 104);
    r.options.set(formats::OptionId::PanelIndividual, 105);
    r.options.set(formats::OptionId::PanelOffBuiltin, 106);
    r.options.set(formats::OptionId::PanelOffUser, 107);
    r.options.set(formats::OptionId::PanelOn1Builtin, 108);
    r.options.set(formats::OptionId::PanelOn1User, 109);
    r.options.set(formats::OptionId::PanelOn2Builtin, 110);
    r.options.set(formats::OptionId::PanelOn2User, 111);
    r.options.set(formats::OptionId::PanelOffPicture, QStringLiteral("off"));
    r.options.set(formats::OptionId::PanelOn1Picture, QStringLiteral("on1"));
    r.options.set(formats::OptionId::PanelOn2Picture, QStringLiteral("on2"));
    r.options.set(formats::OptionId::DigitBackColor, 0x0A0B0C);
    r.options.set(formats::OptionId::DigitUnlitColor, 0x0D0E0F);
    r.options.set(formats::OptionId::DigitLitColor, 0x101112);
    r.options.set(formats::OptionId::InfoStopOrderOn, 201);
    r.options.set(formats::OptionId::InfoStopOrderCell, 202);
    r.options.set(formats::OptionId::InfoStopOrderFromZero, 203);
    r.options.set(formats::OptionId::InfoTicketOn, 204);
    r.options.set(formats::OptionId::InfoTicketCell, 205);
    r.options.set(formats::OptionId::InfoRouteOn, 206);
    r.options.set(formats::OptionId::InfoRouteCell, 207);
    r.options.set(formats::OptionId::InfoColumnOn, 208);
    r.options.set(formats::OptionId::InfoColumn, 209);
    r.options.set(formats::OptionId::InfoColumnCell, 210);
    r.options.set(formats::OptionId::StopNameBackColor, 0x131415);
    r.options.set(formats::OptionId::StopNameForeColor, 0x161718);
    r.options.set(formats::OptionId::StopNameFontMode, 301);
    r.options.set(formats::OptionId::StopNameBold, 302);
    r.options.set(formats::OptionId::NextStopMode, 303);
    r.options.set(formats::OptionId::NextStopColor, 0x191A1B);
    r.options.set(formats::OptionId::NextStopFontMode, 304);
    r.options.set(formats::OptionId::NextStopBold, 305);
    r.options.set(formats::OptionId::RouteSetSound, QStringLiteral("route"));
    r.options.set(formats::OptionId::ResetSound, QStringLiteral("reset"));
    r.options.set(formats::OptionId::StepSoundAlways, 401);
    r.options.set(formats::OptionId::StepSoundByColumn, 402);
    r.options.set(formats::OptionId::StepSoundWait, 403);
    r.options.set(formats::OptionId::StepSoundNoWait, 404);
    r.options.set(formats::OptionId::StepSoundFile, QStringLiteral("step"));
    r.options.set(formats::OptionId::StepSoundColumn, 405);
    r.options.set(formats::OptionId::StepSound1, QStringLiteral("s1"));
    r.options.set(formats::OptionId::StepSound2, QStringLiteral("s2"));
    r.options.set(formats::OptionId::StepSound3, QStringLiteral("s3"));
    r.options.set(formats::OptionId::PreBroadcastAlways, 406);
    r.options.set(formats::OptionId::PreBroadcastByFlag, 407);
    r.options.set(formats::OptionId::PreBroadcastWait, 408);
    r.options.set(formats::OptionId::PreBroadcastNoWait, 409);
    r.options.set(formats::OptionId::PreBroadcastFile, QStringLiteral("pre"));
    r.options.set(formats::OptionId::PreBroadcastSound1, QStringLiteral("p1"));
    r.options.set(formats::OptionId::PreBroadcastSound2, QStringLiteral("p2"));
    r.options.set(formats::OptionId::PreBroadcastSound3, QStringLiteral("p3"));
    r.options.set(formats::OptionId::UseTicketPreview, 501);
    r.options.set(formats::OptionId::TicketPluginPath, QStringLiteral("plugin"));
    r.options.set(formats::OptionId::DateEachPrint, 502);
    r.options.set(formats::OptionId::DateAtRouteSet, 503);
    r.options.set(formats::OptionId::DateFixed, 504);
    r.options.set(formats::OptionId::FixedDate, QStringLiteral("2009/01/24"));
    ControlPanelState& c = r.controlPanel;
    c.PanelMode = 601;
    c.ScrollSpeed = 0x1C1D1E;
    c.ScrollInterval = 0x1F2021;
    c.NightFare = 602;
    c.PreviewShown = 603;
    c.Left = 0x222324;
    c.Top = 0x252627;
    r.displayPosition = {0x28292A, 0x2B2C2D};
    for (int i = 0; i < 17; ++i)
        r.customColors[i] = 0x300000 + i;
    for (int i = 0; i < 12; ++i)
        r.digitRules[i] = {qint16(700 + 3 * i), qint16(701 + 3 * i), qint16(702 + 3 * i)};

    Layout expected;
    expected.text("fare").text("tape");
    expected.i16(101).i32(0x010203).i32(0x040506).i32(0x070809);
    for (qint16 v = 102; v <= 111; ++v)
        expected.i16(v);
    expected.text("off").text("on1").text("on2");
    expected.i32(0x0A0B0C).i32(0x0D0E0F).i32(0x101112);
    for (qint16 v = 201; v <= 210; ++v)
        expected.i16(v);
    expected.i32(0x131415).i32(0x161718).i16(301).i16(302).i16(303).i32(0x191A1B).i16(304).i16(305);
    expected.text("route").text("reset").i16(401).i16(402).i16(403).i16(404).text("step").i16(405);
    expected.text("s1").text("s2").text("s3").i16(406).i16(407).i16(408).i16(409);
    expected.text("pre").text("p1").text("p2").text("p3");
    expected.i16(501).text("plugin").i16(502).i16(503).i16(504).text("2009/01/24");
    expected.i16(601).i32(0x1C1D1E).i32(0x1F2021).i16(602).i16(603).i32(0x222324).i32(0x252627);
    expected.i32(0x28292A).i32(0x2B2C2D);
    for (int i = 0; i < 17; ++i)
        expected.i32(0x300000 + i);
    expected.i16(12);
    for (qint16 v = 700; v < 736; ++v)
        expected.i16(v);

    EXPECT_EQ(encodeSettings(r).toHex(' ').toStdString(), expected.bytes.toHex(' ').toStdString());
    SettingsRecords read;
    ASSERT_TRUE(decodeSettings(expected.bytes, read));
    EXPECT_EQ(read, r);
}
