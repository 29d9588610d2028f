#include "formats/hy3file.h"
#include "platform/cp932.h"
#include "platform/runtimeerror.h"

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstring>

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
    const QByteArray bytes = hy3::encode({sampleRecord(), hy3::Record{}}).value();
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
    QByteArray bytes = hy3::encode({sampleRecord(), hy3::Record{}}).value();
    bytes.append("trailing bytes are ignored");
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(hy3::readCount(buffer).value(), 2);
    hy3::Record record;
    EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::Complete);
    EXPECT_EQ(record, sampleRecord());
    EXPECT_EQ(hy3::readRecord(buffer, record), hy3::ReadStatus::Complete);
    EXPECT_EQ(record, hy3::Record{});
}

TEST(Hy3File, ReportsWhereTheFileEnds)
{
    QByteArray bytes = hy3::encode({sampleRecord()}).value();
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
    const auto tooLong = hy3::encode({longName});
    ASSERT_FALSE(tooLong.ok());
    EXPECT_EQ(tooLong.error().kind, formats::FileErrorKind::Unwritable);
    EXPECT_EQ(tooLong.error().number, platform::ErrorNumber::Overflow);
    EXPECT_TRUE(tooLong.error().reason.contains(QStringLiteral("65536 バイト")));
    longName.name.chop(1);
    EXPECT_EQ(hy3::encode({longName}).value().size(), 2 + 304 + hy3::MaxNameBytes);
    const auto tooMany = hy3::encode(std::vector<hy3::Record>(32768));
    ASSERT_FALSE(tooMany.ok());
    EXPECT_EQ(tooMany.error().number, platform::ErrorNumber::Overflow);
    EXPECT_TRUE(tooMany.error().reason.contains(QStringLiteral("32768 件")));
}

// A device whose reads fail from byte `good` on, as a disk error would. Unbuffered, so that
// each field is one read.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QByteArray bytes, qint64 good) : bytes_(std::move(bytes)), good_(good)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

protected:
    qint64 readData(char* data, qint64 size) override
    {
        if (at_ >= good_)
            return -1;
        const qint64 n = qMin(size, good_ - at_);
        std::memcpy(data, bytes_.constData() + at_, size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
    bool isSequential() const override { return true; }

private:
    QByteArray bytes_;
    qint64 good_;
    qint64 at_ = 0;
};

TEST(Hy3File, AReadErrorIsToldApartFromTheEndOfTheFile)
{
    const QByteArray bytes = hy3::encode({sampleRecord(), sampleRecord()}).value();
    FailingDevice atStart(bytes, 0);
    const auto count = hy3::readCount(atStart);
    ASSERT_FALSE(count.ok());
    EXPECT_EQ(count.error().kind, formats::FileErrorKind::Unreadable);
    EXPECT_EQ(count.error().number, platform::ErrorNumber::DeviceIo);

    // At the name, the ticket number, the columns and the second record (4-byte names).
    for (const qint64 good : {4, 8, 10, 2 + hy3::FixedRecordBytes + 4}) {
        FailingDevice in(bytes, good);
        ASSERT_EQ(hy3::readCount(in).value(), 2);
        hy3::Record record;
        hy3::ReadStatus status = hy3::readRecord(in, record);
        if (status == hy3::ReadStatus::Complete)
            status = hy3::readRecord(in, record);
        EXPECT_EQ(status, hy3::ReadStatus::Failed) << good;
    }
}

TEST(Hy3File, OpeningSaysWhyAFileCannotBeRead)
{
    QTemporaryDir dir;
    const QString fare = dir.filePath(QStringLiteral("1.hy3"));
    QFile file(fare);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hy3::encode({sampleRecord()}).value());
    file.close();
    const auto opened = hy3::openExisting(fare);
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(hy3::readCount(**opened).value(), 1);

    const struct {
        QString path;
        formats::FileErrorKind kind;
        int number;
    } refusals[] = {
        {dir.filePath(QStringLiteral("2.hy3")), formats::FileErrorKind::Missing, 53},
        {dir.filePath(QStringLiteral("none/1.hy3")), formats::FileErrorKind::NoFolder, 76},
        {QString(), formats::FileErrorKind::BadName, 52},
        {fare + QChar(0) + QStringLiteral("x"), formats::FileErrorKind::BadName, 52},
        {dir.path(), formats::FileErrorKind::NotAFile, 75},
        {fare + QStringLiteral("/1.hy3"), formats::FileErrorKind::Unreadable, 76},
    };
    for (const auto& refusal : refusals) {
        const auto result = hy3::openExisting(refusal.path);
        ASSERT_FALSE(result.ok()) << refusal.path.toStdString();
        EXPECT_EQ(result.error().kind, refusal.kind) << refusal.path.toStdString();
        EXPECT_EQ(result.error().number, refusal.number) << refusal.path.toStdString();
        EXPECT_EQ(result.error().file, refusal.path);
        EXPECT_EQ(result.error().description(), platform::errorDescription(refusal.number));
    }
}

TEST(Hy3File, WhatIsNoFareDataAtAllIsNamed)
{
    const auto reason = [](const QByteArray& bytes) {
        return hy3::notFareDataReason(bytes.left(hy3::FareDataHeadBytes), bytes.size());
    };
    // Fare data, whole, cut short, empty or with more stops than the program reads.
    const QByteArray five = hy3::encode(std::vector<hy3::Record>(5, sampleRecord())).value();
    for (const QByteArray& bytes : {five, five.left(100), QByteArray(), QByteArray("\0\0", 2),
                                    hy3::encode(std::vector<hy3::Record>(302)).value()})
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
