#include "operation/hy3file.h"
#include "platform/runtimeerror.h"

#include <QBuffer>

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

TEST(Hy3File, PathsJoinWithASlash)
{
    EXPECT_EQ(hy3::filePath(QStringLiteral("/data"), QStringLiteral("12")),
              QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(hy3::filePath(QStringLiteral("/data/"), QStringLiteral("12")),
              QStringLiteral("/data/12.hy3"));
    EXPECT_EQ(hy3::filePath(QString(), QStringLiteral("0")), QStringLiteral("0.hy3"));
}

} // namespace
