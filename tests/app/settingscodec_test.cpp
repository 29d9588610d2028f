#include "app/settingscodec.h"
#include "platform/cp932.h"

#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

SettingsRecords sampleRecords()
{
    SettingsRecords r;
    r.options.Folders.FareDataFolder = QStringLiteral("/home/運転士/運賃");
    r.options.Panel.AutoTicketNumbers = 1;
    r.options.Panel.TicketColorOn1 = platform::RGB(192, 255, 192);
    r.options.Panel.PanelOn2Picture = QStringLiteral("panel～2.bmp");
    r.options.Digits.InfoColumn = 149;
    r.options.StopName.NextStopColor = platform::RGB(255, 192, 128);
    r.options.Sounds.PreBroadcastSound3 = QStringLiteral("chime.mid");
    r.options.Ticket.FixedDate = QStringLiteral("2009/01/24");
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
    r.options.Folders.FareDataFolder = QStringLiteral("運賃データ"); // 5 full-width characters
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

TEST(SettingsCodec, TextRunningPastTheEndIsCutThere)
{
    QByteArray bytes;
    bytes.append("\x10\x00", 2); // claims 16 bytes
    bytes.append("/data");
    SettingsRecords read;
    read.options.Folders.BroadcastDataFolder = QStringLiteral("kept");
    EXPECT_FALSE(decodeSettings(bytes, read));
    EXPECT_EQ(read.options.Folders.FareDataFolder, QStringLiteral("/data"));
    EXPECT_EQ(read.options.Folders.BroadcastDataFolder, QStringLiteral("kept"));
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
