#pragma once

#include "formats/fileerror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <optional>
#include <vector>

// The tables of an open-data bus feed: CSV files with a header line, fields quoted RFC 4180
// style (doubled quotes, commas and line breaks inside quotes), UTF-8 with or without a
// byte-order mark, CR LF or LF line ends. Columns are found by their header name, in any
// order; columns nobody asks for are skipped.
namespace gtfs
{

// Reads one table record by record, straight from its bytes, so that a table of millions of
// lines never lives in memory twice.
class CsvReader
{
public:
    // `bytes` must outlive the reader; `file` names the table in errors ("stops.txt").
    // `maxRows` records at most are read; the next one is an error.
    CsvReader(const QByteArray& bytes, const QString& file, qsizetype maxRows);

    // Reads the header line. False, with error() saying why, for an empty file or a broken
    // header line.
    bool readHeader();

    // The field index of the column with this header name (trimmed, as written), or -1.
    int column(QLatin1StringView name) const;

    // Reads the next record, skipping blank lines. False at the end of the table, and on a
    // broken record or one record too many, when error() says why.
    bool next();

    // Field `column` of the record as stored (quotes removed, doubled quotes undone), without
    // the blanks around it; empty for column -1 or a field the record lacks.
    QByteArrayView bytes(int column) const;

    // The same field decoded; nothing, with error() set, when it is no UTF-8.
    std::optional<QString> text(int column);

    // The physical line, from 1, on which the record starts.
    int line() const { return recordLine_; }

    // How many bytes have been read, for a progress bar.
    qsizetype position() const { return pos_; }

    // Why reading stopped, if it stopped on a fault.
    const std::optional<formats::FileError>& error() const { return error_; }

    // An error about field `column` (from 0; -1 for the record as a whole) of the record, or
    // of the record on `line` when it is given.
    formats::FileError errorAt(int column, const QString& what, int line = 0) const;

    // Records `errorAt(column, what, line)` as the reader's error, unless it has one already,
    // and returns false, so that a caller can stop with `return reader.fail(...)`.
    bool fail(int column, const QString& what, int line = 0);

private:
    struct Span {
        qsizetype start = 0; // in bytes_, or in unquoted_ when inScratch
        qsizetype size = 0;
        bool inScratch = false;
    };

    bool readRecord();
    bool readField();
    bool readQuoted(Span& span);
    void readPlain(Span& span);
    bool atLineEnd() const;
    void skipLineEnd();
    void skipBlankLines();

    const QByteArray& bytes_;
    QString file_;
    qsizetype maxRows_;
    qsizetype pos_ = 0;
    int physicalLine_ = 1;
    int recordLine_ = 0;
    qsizetype records_ = 0;
    std::vector<Span> fields_;
    QByteArray unquoted_; // the fields of the record whose quotes had to be undone
    std::vector<QByteArray> header_;
    std::optional<formats::FileError> error_;
};

// The reason that names a field by its column: "stop_sequence「x」は…".
QString fieldReason(QLatin1StringView column, const QString& value, const QString& what);

} // namespace gtfs
