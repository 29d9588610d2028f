#pragma once

#include "formats/fileerror.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QFile;
class QIODevice;

// The binary fare data file "<route number>.hy3": a signed 16-bit record count, then the
// records back to back, each a 16-bit name length, the CP932 name, a 16-bit ticket number and
// 150 signed 16-bit data columns. Little-endian, no padding; bytes after the last record are
// ignored. The program and the hy3tool converter both read and write it through this code.
namespace hy3
{

inline constexpr int ColumnCount = 150;
inline constexpr int MaxRows = 301;
inline constexpr int MaxNameBytes = 0xFFFF;
inline constexpr int FixedRecordBytes = 2 + 2 + 2 * ColumnCount; // a record with an empty name

struct Record {
    QByteArray name; // CP932 bytes, kept as stored so that files convert back byte for byte
    qint16 ticketNo = 0;
    std::array<qint16, ColumnCount> columns{}; // column 1 first

    bool operator==(const Record&) const = default;
};

// How much of a record the file held. A field cut off by the end of the file reads as empty
// or 0, and so does every field after it. Failed: the device reported a read error
// (readError() says it as the readers' error); what was read before it is kept.
enum class ReadStatus { Complete, Truncated, PastEnd, Failed };

// The error of a device that failed while it was read (runtime error 57).
formats::FileError readError(const QIODevice& in);

// The record count at the start of the file; 0 when the file holds fewer than two bytes.
formats::FileResult<qint16> readCount(QIODevice& in);

// Reads the next record into `record` (always fully overwritten).
ReadStatus readRecord(QIODevice& in, Record& record);

// The bytes of a whole file holding the records. Refused (Unwritable, runtime error 6) when
// there are more than 32767 records or a name is longer than MaxNameBytes.
formats::FileResult<QByteArray> encode(const std::vector<Record>& records);

// "<folder>/<routeNo>.hy3": the folder gets a "/" unless it is empty or already ends in one;
// an empty folder leaves the name relative to the working folder.
QString filePath(const QString& folder, const QString& routeNo);

// Opens an existing regular file for reading; never creates one. Refusals carry the path and
// the runtime error the messages show: Missing (53), NoFolder (76), BadName (52), NotAFile
// (75), Unreadable (the number that matches the system error).
formats::FileResult<std::unique_ptr<QFile>> openExisting(const QString& path);

// How much of a file's start notFareDataReason looks at.
inline constexpr qint64 FareDataHeadBytes = 4096;

// Why a file is no fare data at all, judged by its first bytes (FareDataHeadBytes are plenty)
// and its size; empty when it may be. It is none when its count is negative, or over 301 (the
// most the program reads) in a file too short to hold that many records: what a text file
// (a CSV saved under the fare file's name), a picture or an archive gives. A file of 0..301
// records that is cut short is damaged fare data, which the readers take as far as it goes.
// The reason names text files and their encoding, and tells how to convert a CSV.
QString notFareDataReason(const QByteArray& head, qint64 size);

// The messages the program shows for a fare file it cannot use.
QString messageNoRecords();       // the count is 0
QString messageSectionTooLarge(); // the section is not below the count
QString messageNoFile();          // the file does not exist

} // namespace hy3
