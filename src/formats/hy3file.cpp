#include "formats/hy3file.h"

#include "platform/runtimeerror.h"
#include "platform/textencoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hy3
{
namespace
{

using formats::FileError;
using formats::FileErrorKind;
namespace ErrorNumber = platform::ErrorNumber;

// A read that failed on the device, told apart from a read at the end of the file.
constexpr qint64 ReadFailed = -1;

// A 16-bit field; returns the bytes the file still held for it (0..2, or ReadFailed). A
// cut-off field is 0.
qint64 readWord(QIODevice& in, quint16& value)
{
    uchar bytes[2] = {0, 0};
    const qint64 got = in.read(reinterpret_cast<char*>(bytes), 2);
    value = got == 2 ? qFromLittleEndian<quint16>(bytes) : 0;
    return got < 0 ? ReadFailed : got;
}

FileError openError(FileErrorKind kind, int number, const QString& path)
{
    return FileError{kind, number, path, 0, QString()};
}

// Text that the rule for users' text files reads cleanly, without control characters. No fare
// file starts like that: its count (0..301) has a zero or a control byte.
bool looksLikeText(const QByteArray& head)
{
    if (!platform::isReadable(platform::detectTextEncoding(head)))
        return true;
    for (const char c : head) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F)
            return false;
    }
    // A head that is not the whole file may end inside a character: only its whole lines are
    // judged.
    const qsizetype lastLineEnd = head.lastIndexOf('\n');
    const bool cut = head.size() >= FareDataHeadBytes && lastLineEnd > 0;
    const QByteArray lines = cut ? head.left(lastLineEnd + 1) : head;
    return platform::decodeUserText(lines).clean;
}

QString textFileReason(const QByteArray& head)
{
    const platform::TextEncoding encoding = platform::detectTextEncoding(head);
    QString reason = QStringLiteral("運賃データ (*.hy3) ではなく、テキストファイル (%1) です")
                         .arg(platform::encodingName(encoding));
    const qsizetype lineEnd = head.indexOf('\n');
    if (head.left(lineEnd < 0 ? head.size() : lineEnd).contains(',') ||
        !platform::isReadable(encoding))
        reason += QStringLiteral("。CSV から運賃データを作るには hy3tool from-csv を使います");
    return reason;
}

void appendWord(QByteArray& out, quint16 value)
{
    uchar bytes[2];
    qToLittleEndian(value, bytes);
    out.append(reinterpret_cast<const char*>(bytes), 2);
}

} // namespace

FileError readError(const QIODevice& in)
{
    const auto* file = qobject_cast<const QFile*>(&in);
    return FileError{FileErrorKind::Unreadable, ErrorNumber::DeviceIo,
                     file ? file->fileName() : QString(), 0, QString()};
}

formats::FileResult<qint16> readCount(QIODevice& in)
{
    quint16 count = 0;
    if (readWord(in, count) == ReadFailed)
        return readError(in);
    return static_cast<qint16>(count);
}

ReadStatus readRecord(QIODevice& in, Record& record)
{
    record = Record{};
    quint16 nameLength = 0;
    const qint64 lengthBytes = readWord(in, nameLength);
    if (lengthBytes == ReadFailed)
        return ReadStatus::Failed;
    if (lengthBytes == 0)
        return ReadStatus::PastEnd;
    if (lengthBytes < 2)
        return ReadStatus::Truncated;
    QByteArray name(nameLength, Qt::Uninitialized);
    const qint64 nameBytes = in.read(name.data(), nameLength);
    if (nameBytes < 0)
        return ReadStatus::Failed;
    if (nameBytes != nameLength)
        return ReadStatus::Truncated;
    record.name = name;

    quint16 ticketNo = 0;
    const qint64 ticketBytes = readWord(in, ticketNo);
    if (ticketBytes == ReadFailed)
        return ReadStatus::Failed;
    if (ticketBytes < 2)
        return ReadStatus::Truncated;
    record.ticketNo = static_cast<qint16>(ticketNo);

    uchar columns[2 * ColumnCount];
    const qint64 got = in.read(reinterpret_cast<char*>(columns), sizeof columns);
    if (got < 0)
        return ReadStatus::Failed;
    for (int i = 0; i < ColumnCount && 2 * i + 2 <= got; ++i)
        record.columns[i] = qFromLittleEndian<qint16>(columns + 2 * i);
    return got == sizeof columns ? ReadStatus::Complete : ReadStatus::Truncated;
}

formats::FileResult<QByteArray> encode(const std::vector<Record>& records)
{
    const auto refused = [](const QString& reason) {
        return FileError{FileErrorKind::Unwritable, ErrorNumber::Overflow, QString(), 0, reason};
    };
    if (records.size() > 0x7FFF)
        return refused(
            QStringLiteral("停留所が %1 件あり、運賃データに書ける 32767 件を超えています")
                .arg(records.size()));
    QByteArray out;
    qsizetype size = 2;
    for (const Record& record : records)
        size += FixedRecordBytes + record.name.size();
    out.reserve(size);

    appendWord(out, static_cast<quint16>(records.size()));
    for (const Record& record : records) {
        if (record.name.size() > MaxNameBytes)
            return refused(
                QStringLiteral(
                    "停留所名が %1 バイトあり、運賃データに書ける %2 バイトを超えています")
                    .arg(record.name.size())
                    .arg(MaxNameBytes));
        appendWord(out, static_cast<quint16>(record.name.size()));
        out.append(record.name);
        appendWord(out, static_cast<quint16>(record.ticketNo));
        for (qint16 value : record.columns)
            appendWord(out, static_cast<quint16>(value));
    }
    return out;
}

QString filePath(const QString& folder, const QString& routeNo)
{
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + routeNo + QStringLiteral(".hy3");
}

formats::FileResult<std::unique_ptr<QFile>> openExisting(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // The system call ends the name at a NUL, which would open another file.
    if (name.isEmpty() || name.contains('\0'))
        return openError(FileErrorKind::BadName, ErrorNumber::BadFileName, path);
    // O_RDONLY without O_CREAT: a missing file stays missing. O_NONBLOCK keeps a pipe from
    // blocking the open; it is refused below with everything else that is not a file.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        if (err != ENOENT)
            return openError(FileErrorKind::Unreadable, platform::errorNumberFromErrno(err), path);
        if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
            return openError(FileErrorKind::NoFolder, ErrorNumber::PathNotFound, path);
        return openError(FileErrorKind::Missing, ErrorNumber::FileNotFound, path);
    }
    struct stat status {
    };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return openError(FileErrorKind::NotAFile, ErrorNumber::PathFileAccess, path);
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return openError(FileErrorKind::Unreadable, ErrorNumber::DeviceIo, path);
    }
    return file;
}

QString notFareDataReason(const QByteArray& head, qint64 size)
{
    if (head.size() < 2)
        return QString();
    const auto count = static_cast<qint16>(qFromLittleEndian<quint16>(head.constData()));
    const qint64 needed = 2 + qint64(count) * FixedRecordBytes;
    if (count >= 0 && (count <= MaxRows || size >= needed))
        return QString();
    if (looksLikeText(head))
        return textFileReason(head);
    if (count < 0)
        return QStringLiteral("運賃データ (*.hy3) ではありません（先頭の件数が負の値 %1 です）")
            .arg(count);
    return QStringLiteral("運賃データ (*.hy3) ではありません（件数 %1 件なら %2 バイト以上の"
                          "はずが、%3 バイトしかありません）")
        .arg(count)
        .arg(needed)
        .arg(size);
}

QString messageNoRecords()
{
    return QStringLiteral("指定した系統はデータの数が0(未登録)の可能性があります...");
}

QString messageSectionTooLarge()
{
    return QStringLiteral("指定した区間はデータの数よりも多いです...") + QStringLiteral("\r\n") +
           QStringLiteral("  解決法：正しい区間を入力して下さい.");
}

QString messageNoFile()
{
    return QStringLiteral("指定した系統のデータがありません...");
}

} // namespace hy3
