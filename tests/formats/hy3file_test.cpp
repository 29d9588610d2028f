#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QBuffer>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace
{

hy3::Record sampleRecord()
{
    hy3::Record record;
    record.name = QByteArray("\x89\x77\x91\x4F", 4); // 駅前
    record.ticketNo = -2;
    record.columns[0] = 170;
    record.columns[149] = -32768;
    return record;
}

TEST(Hy3File, LayoutIsLittleEndianWithoutPadding)
{
    const QByteArray bytes = hy3::encode({sampleRecord(), hy3::Record{}});
    ASSERT_EQ(bytes.size(), 2 + (304 + 4) + 304); // an empty name makes a 304-byte record
    EXPECT_EQ(bytes.left(2), QByteArray("\x02\x00", 2));
    EXPECT_EQ(bytes.mid(2, 2), QByteArray("\x04\x00", 2));
    EXPECT_EQ(bytes.mid(4, 4), QByteArray("\x89\x77\x91\x4F", 4));
    EXPECT_EQ(bytes.mid(8, 2), QByteArray("\xFE\xFF", 2));
    EXPECT_EQ(bytes.mid(10, 2), QByteArray("\xAA\x00", 2));
    EXPECT_EQ(bytes.mid(10 + 298, 2), QByteArray("\x00\x80", 2));
}

TEST(Hy3File, ReadsBackWhatItWrote)
{
    QByteArray bytes = hy3::encode({sampleRecord(), hy3::Record{}});
    bytes.append("trailing bytes are ignored");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(hy3::readCount(buffer), 2);
    hy3::Record record;
    EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::Complete);
    EXPECT_EQ(record, sampleRecord());
    EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::Complete);
    EXPECT_EQ(record, hy3::Record{});
}

TEST(Hy3File, ReportsWhereTheFileEnds)
{
    QByteArray bytes = hy3::encode({sampleRecord()});
    for (int cut : {3, 6, 9}) { // inside the length, the name, the ticket number
        QByteArray part = bytes.left(cut);
        QBuffer buffer(&part);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        hy3::readCount(buffer);
        hy3::Record record = sampleRecord();
        EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::Truncated) << cut;
        EXPECT_EQ(record.ticketNo, 0) << cut;
        EXPECT_EQ(record.columns[0], 0) << cut;
    }
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    hy3::readCount(buffer);
    hy3::Record record;
    hy3::readRecord(buffer, record);
    EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::PastEnd);
    EXPECT_EQ(record, hy3::Record{});
}

TEST(Hy3File, RefusesWhatTheFormatCannotHold)
{
    hy3::Record longName;
    longName.name = QByteArray(hy3::MaxNameBytes + 1, 'a');
    EXPECT_THROW(hy3::encode({longName}), platform::RuntimeError);
    longName.name.chop(1);
    EXPECT_EQ(hy3::encode({longName}).size(), 2 + 304 + hy3::MaxNameBytes);
    EXPECT_THROW(hy3::encode(std::vector<hy3::Record>(32768)), platform::RuntimeError);
}

TEST(Hy3File, WhatIsNoFareDataAtAllIsNamed)
{
    const auto reason = [](const QByteArray& bytes) {
        return hy3::notFareDataReason(bytes.left(hy3::FareDataHeadBytes), bytes.size());
    };
    // Fare data, whole, cut short, empty or with more stops than the program reads.
    const QByteArray five = hy3::encode(std::vector<hy3::Record>(5, sampleRecord()));
    for (const QByteArray& bytes : {five, five.left(100), QByteArray(), QByteArray("\0\0", 2),
                                    hy3::encode(std::vector<hy3::Record>(302))})
        EXPECT_TRUE(reason(bytes).isEmpty()) << reason(bytes).toStdString();

    // A CSV saved under the fare file's name: its first bytes give a negative count or a huge one.
    const QString csv = QStringLiteral("停留所名,整理券番号,1\r\n駅前,1,0\r\n");
    EXPECT_EQ(reason(csv.toUtf8()),
              QStringLiteral("運賃データ (*.hy3) ではなく、テキストファイル (UTF-8) です。CSV から"
                             "運賃データを作るには hy3tool from-csv を使います"));
    EXPECT_TRUE(reason(platform::toCp932(csv)).contains(QStringLiteral("(Shift-JIS (CP932))")));
    EXPECT_TRUE(reason("name,no,1\n").contains(QStringLiteral("(ASCII)")));
    EXPECT_EQ(reason("readme\n"),
              QStringLiteral("運賃データ (*.hy3) ではなく、テキストファイル (ASCII) です"));
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    EXPECT_TRUE(
        reason("\xFF\xFE" + QByteArray(utf16.encode(csv))).contains(QStringLiteral("(UTF-16 LE)")));

    // Binary files that are no fare data: a picture, a count read as negative.
    EXPECT_EQ(
        reason(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)),
        QStringLiteral("運賃データ (*.hy3) ではありません（件数 20617 件なら 6267570 バイト以上の"
                       "はずが、16 バイトしかありません）"));
    QByteArray negative = five;
    negative[1] = '\xFF';
    EXPECT_EQ(reason(negative),
              QStringLiteral("運賃データ (*.hy3) ではありません（先頭の件数が負の値 -251 です）"));
}

TEST(Hy3File, PathsJoinWithASlash)
{
    EXPECT_EQ(hy3::filePath(QStringLiteral("/data"), QStringLiteral("12")),
              QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(hy3::filePath(QStringLiteral("/data/"), QStringLiteral("12")),
              QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(hy3::filePath(QString(), QStringLiteral("0")), QStringLiteral("0.hy3"));
}

} // namespace
